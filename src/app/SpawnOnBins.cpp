// SPDX-License-Identifier: MIT
#include "app/SpawnOnBins.h"

#include "compiled/BinCompiler.h"

#include <algorithm>
#include <map>
#include <strings.h>

namespace tolmere {
namespace {

constexpr const char* kCheckedTables[] = {"Properties", "ItemStatCost"};

std::string Stem(const std::string& fileName) {
    return fileName.substr(0, fileName.rfind('.'));
}

bool SameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

struct Job {
    const CTxtTable* table = nullptr;
    const BinLayout* layout = nullptr;
    std::string binName;
    std::string shipped; // the .bin the game has now
};

// The tables the compile links to: those being written, else the game's.
class LinkSource {
public:
    LinkSource(const CArchiveBridge& bridge, const std::vector<SpawnTable>& written,
               const CStringTables& strings)
        : bridge_(bridge), written_(written), strings_(strings) {}

    // Extracts the game's copies of every table named, in one run of the tool.
    std::string Fetch(const std::vector<std::string>& fileNames) {
        std::vector<CTxtTable> tables;
        const std::string error = bridge_.ExtractTables(fileNames, tables);
        for (std::size_t i = 0; i < fileNames.size() && error.empty(); ++i)
            game_[fileNames[i]] = std::move(tables[i]);
        return error;
    }

    const CTxtTable* Table(const std::string& fileName) const {
        for (const SpawnTable& table : written_)
            if (SameName(table.fileName, fileName))
                return table.table;
        const auto it = game_.find(fileName);
        return it == game_.end() || it->second.RowCount() == 0 ? nullptr : &it->second;
    }

    // The links `layout` needs; empty when they are all there, otherwise why not.
    std::string Fill(const BinLayout& layout, CBinLinks& links) const {
        for (BinLink link : layout.Links()) {
            const CTxtTable* table = Table(BinLinkFile(link));
            if (!table)
                return std::string("none of the game's archives holds ") + BinLinkFile(link);
            const std::string error = links.Add(link, *table);
            if (!error.empty())
                return error;
        }
        if (!layout.NeedsStrings())
            return std::string();
        const std::pair<StringSource, CTblKeys*> sources[] = {
            {StringSource::kPatch, &links.Strings().patch},
            {StringSource::kExpansion, &links.Strings().expansion},
            {StringSource::kBase, &links.Strings().base}};
        for (const auto& [source, keys] : sources) {
            CStrTbl copy = strings_.Table(source); // writing sorts the entries
            std::string bytes;
            if (copy.EntryCount() > 0 && copy.Serialize(bytes))
                keys->Parse(std::move(bytes));
        }
        return std::string();
    }

private:
    const CArchiveBridge& bridge_;
    const std::vector<SpawnTable>& written_;
    const CStringTables& strings_;
    std::map<std::string, CTxtTable> game_;
};

// Empty when the game's own .bin of the table is what its .txt compiles to (or the
// game has no such .bin); otherwise why not.
std::string CheckGameBin(const CArchiveBridge& bridge, const LinkSource& source,
                         const std::string& name, const std::string& game) {
    std::string shipped;
    const CArchiveBridge::Extraction got = bridge.FetchBytes(name + ".bin", shipped);
    if (got.status == CArchiveBridge::Extraction::Status::kAbsent)
        return std::string();
    if (!got.Ok())
        return "the game's " + name + ".bin could not be read: " + got.reason;
    const BinLayout* layout = FindBinLayout(name, game);
    const CTxtTable* table = source.Table(name + ".txt");
    if (!layout || !table)
        return "the game's " + name + ".bin cannot be checked against its " + name + ".txt";
    CBinLinks links;
    std::string compiled;
    std::string error = source.Fill(*layout, links);
    if (error.empty())
        error = CompileBin(*table, *layout, links, compiled);
    if (!error.empty())
        return "the game's " + name + ".bin cannot be checked: " + error;
    const BinDifference difference = FirstBinDifference(*layout, shipped, compiled);
    if (difference.found)
        return "the game's " + name + ".bin is not what its " + name + ".txt compiles to (" +
               difference.Describe() +
               "); a compiled table would link to other rows than the game's";
    return std::string();
}

} // namespace

SpawnOnBins CompileForSpawnOn(const CArchiveBridge& bridge, const std::vector<SpawnTable>& tables,
                              const CStringTables& strings) {
    SpawnOnBins result;
    std::vector<Job> jobs;
    for (const SpawnTable& table : tables) {
        const BinLayout* layout = FindBinLayout(*table.table);
        if (!layout || !SameName(layout->table, Stem(table.fileName)))
            continue;
        Job job{table.table, layout, layout->table + ".bin", {}};
        const CArchiveBridge::Extraction got = bridge.FetchBytes(job.binName, job.shipped);
        if (got.status == CArchiveBridge::Extraction::Status::kAbsent)
            continue; // the game compiles this table from its .txt
        if (!got.Ok()) {
            result.note = "no .bin was written: whether the game reads " + job.binName +
                          " could not be told: " + got.reason;
            return result;
        }
        jobs.push_back(std::move(job));
    }
    if (jobs.empty())
        return result;

    std::string names;
    for (const Job& job : jobs)
        names += (names.empty() ? "" : " and ") + job.binName;
    const auto holdBack = [&](const std::string& why) {
        result.note = names + " not written: " + why;
        return result;
    };

    LinkSource source(bridge, tables, strings);
    std::vector<std::string> wanted;
    for (const char* checked : kCheckedTables)
        wanted.push_back(std::string(checked) + ".txt");
    for (const Job& job : jobs)
        for (BinLink link : job.layout->Links())
            wanted.push_back(BinLinkFile(link));
    for (const char* checked : kCheckedTables)
        for (BinLink link : FindBinLayout(checked, "1.10+")->Links())
            wanted.push_back(BinLinkFile(link));
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    std::string error = source.Fetch(wanted);
    if (!error.empty())
        return holdBack("the tables it links to could not be read: " + error);

    for (const char* checked : kCheckedTables) {
        error = CheckGameBin(bridge, source, checked, jobs.front().layout->game);
        if (!error.empty())
            return holdBack(error);
    }
    for (const Job& job : jobs) {
        CBinLinks links;
        CompiledUpload upload{job.binName, {}};
        error = source.Fill(*job.layout, links);
        if (error.empty())
            error = CompileBin(*job.table, *job.layout, links, upload.bytes);
        if (!error.empty())
            return holdBack(error);
        result.files.push_back(std::move(upload));
    }
    return result;
}

} // namespace tolmere
