// SPDX-License-Identifier: MIT
// tolmere-cli lint: the editor's checks over tables on disk, one problem a line.
#include "cli/Commands.h"

#include "base/Services.h"
#include "items/UniqueLayout.h"
#include "lint/Lint.h"
#include "sets/SetTree.h"
#include "tables/ColumnFinder.h"
#include "tables/TableFile.h"

#include <cstdio>
#include <sys/stat.h>

namespace tolmere {
namespace {

constexpr int kLintClean = 0;
constexpr int kLintErrors = 1;
constexpr int kLintBadArguments = 2;

const char kLintUsage[] = "lint [--game-data DIR] [--strings DIR] [--json] TABLE... | "
                          "lint [--strings DIR] [--json] GAMEDIR_OR_EXCEL_DIR";

struct LintFiles {
    CTxtTable uniqueItems, setItems, sets;
    GameTables gameTables;
    CGameData game;
    CStringTables strings;
};

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// `dir`/a/b/... with each name found without regard to case; empty when one is missing.
std::string FindPath(std::string dir, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const std::string entry = EntryIgnoringCase(dir, name);
        if (entry.empty())
            return std::string();
        dir += "/" + entry;
    }
    return dir;
}

// Which of the item tables a loaded table is, by its header.
CTxtTable* Slot(const CTxtTable& table, LintFiles& files) {
    const CColumnFinder find(table);
    if (find.Find("FCode1") >= 0 && find.Find("set") < 0)
        return &files.sets;
    if (RecogniseUniqueItems(table).Editable())
        return &files.uniqueItems;
    if (BuildSetTree(table, nullptr).Editable())
        return &files.setItems;
    return nullptr;
}

bool LoadNamedTables(const std::vector<std::string>& paths, LintFiles& files) {
    for (const std::string& path : paths) {
        CTxtTable table;
        if (!LoadTable(path, table))
            return false;
        CTxtTable* slot = Slot(table, files);
        if (!slot) {
            Fail(path + ": not a UniqueItems.txt, SetItems.txt or Sets.txt by its header");
            return false;
        }
        if (slot->RowCount() > 0) {
            Fail(path + ": a second table of the same kind");
            return false;
        }
        *slot = std::move(table);
    }
    // A set's items are in SetItems.txt: alone, its bonuses have nothing to be checked by.
    if (files.sets.RowCount() > 0 && files.setItems.RowCount() == 0) {
        Fail("a Sets.txt is checked with its SetItems.txt; name both");
        return false;
    }
    return true;
}

// The game's tables that lie in `dir`; none of them is required.
bool LoadGameTables(const std::string& dir, LintFiles& files) {
    const auto& names = GameTables::FileNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string path = FindPath(dir, {names[i]});
        if (!path.empty() && !LoadTable(path, files.gameTables[i]))
            return false;
    }
    files.game.Assign(files.gameTables);
    return true;
}

// A game folder's English string tables, when it holds them loose; "" when not.
std::string GameStringsDir(const std::string& dir) {
    const std::string lng = FindPath(dir, {"data", "local", "lng", "eng"});
    for (StringSource source : CStringTables::kLookupOrder) {
        if (!lng.empty() && !FindPath(lng, {CStringTables::FileName(source)}).empty())
            return lng;
    }
    return std::string();
}

// A folder of tables: the folder itself, or a game folder's data/global/excel.
bool LoadFolder(const std::string& dir, LintFiles& files) {
    std::string excel = dir;
    if (FindPath(dir, {"UniqueItems.txt"}).empty() && FindPath(dir, {"SetItems.txt"}).empty())
        excel = FindPath(dir, {"data", "global", "excel"});
    if (excel.empty()) {
        Fail(dir + " holds no UniqueItems.txt or SetItems.txt, nor data/global/excel");
        return false;
    }
    const std::pair<const char*, CTxtTable*> tables[] = {{"UniqueItems.txt", &files.uniqueItems},
                                                         {"SetItems.txt", &files.setItems},
                                                         {"Sets.txt", &files.sets}};
    for (const auto& [name, table] : tables) {
        const std::string path = FindPath(excel, {name});
        if (!path.empty() && !LoadTable(path, *table))
            return false;
    }
    return LoadGameTables(excel, files);
}

} // namespace

int LintCommand(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--game-data", "--strings"}, {"--json"}, parsed))
        return kLintBadArguments;
    if (parsed.positional.empty()) {
        Fail(std::string("lint needs tables or a folder: ") + kLintUsage);
        return kLintBadArguments;
    }
    LintFiles files;
    const bool folder = parsed.positional.size() == 1 && IsDirectory(parsed.positional.front());
    if (folder && !parsed.Option("--game-data").empty()) {
        Fail("lint takes --game-data with tables, not with a folder, which holds them");
        return kLintBadArguments;
    }
    const bool loaded = folder ? LoadFolder(parsed.positional.front(), files)
                               : LoadNamedTables(parsed.positional, files) &&
                                     (parsed.Option("--game-data").empty() ||
                                      LoadGameTables(parsed.Option("--game-data"), files));
    std::string stringsDir = parsed.Option("--strings");
    if (folder && stringsDir.empty())
        stringsDir = GameStringsDir(parsed.positional.front());
    if (!loaded || (!stringsDir.empty() && !LoadStringFolder(stringsDir, files.strings)))
        return kLintBadArguments;

    const Problems problems =
        LintTables({&files.uniqueItems, &files.setItems, &files.sets, &files.game, &files.strings});
    std::string out;
    if (parsed.Flag("--json")) {
        out = ProblemsJson(problems);
    } else {
        for (const Problem& problem : problems)
            out += ProblemLine(problem) + "\n";
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return Fail("cannot write the problems to standard output");
    return CountOf(problems, Severity::kError) > 0 ? kLintErrors : kLintClean;
}

} // namespace tolmere
