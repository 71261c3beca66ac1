// SPDX-License-Identifier: MIT
#include "app/Changes.h"

#include "app/SpawnPreview.h"
#include "tables/ColumnFinder.h"
#include "tables/TableFile.h"

namespace tolmere {

ChangesReport CompareWithBase(const CArchiveBridge* bridge, const ChangesBase& base,
                              const ChangesRequest& request) {
    ChangesReport report;
    CTxtTable before;
    std::string why;
    if (!base.file.empty()) {
        if (!LoadTableFile(base.file, before, why))
            return report.problem = "Cannot compare with " + base.file + ": " + why, report;
    } else if (!bridge) {
        return report.problem = "No game is open: choose a file to compare with.", report;
    } else {
        const BaseFetch fetch = FetchBaseTable(*bridge, request.fileName, base.source, before);
        const std::string where = base.source == BaseSource::kPatchArchive
                                      ? kPatchArchive
                                      : std::string("the game's own archives");
        if (!fetch.found)
            return report.problem = fetch.Absent() ? request.fileName + " is not in " + where
                                                   : "Cannot compare: " + fetch.problem,
                   report;
    }
    const TableDiff diff = DiffTables(before, *request.table);
    report.summary = TableSummary(request.fileName, diff);
    report.lines = ChangeList(request.fileName, before, *request.table, diff, request.words);
    if (base.file.empty() && base.source == BaseSource::kPatchArchive && request.strings &&
        request.strings->PatchWritable()) {
        const std::string name = CStringTables::FileName(StringSource::kPatch);
        CStrTbl archived;
        if (bridge->ExtractStringTable(archived, request.language, name).status !=
            CArchiveBridge::Extraction::Status::kFailed) {
            const std::vector<EntryDiff> names = DiffStrings(archived, request.strings->Patch());
            report.summary += "; " + StringsSummary(name, names);
            for (ChangeLine& line : ChangeList(name, names))
                report.lines.push_back(std::move(line));
        }
    }
    return report;
}

std::int32_t RowOfChange(const CTxtTable& table, const ChangeLine& line) {
    if (line.kind == ChangeKind::kRowRemoved)
        return -1;
    // A name belongs to the first item of its key.
    const bool name = line.kind == ChangeKind::kText || line.kind == ChangeKind::kEntryAdded ||
                      line.kind == ChangeKind::kEntryRemoved;
    const std::int32_t occurrence = name ? 0 : line.occurrence;
    const std::int32_t keyColumn = DiffLayoutOf(table).keyColumn;
    std::int32_t seen = 0;
    for (std::int32_t row = 0; row < table.DataRowCount(); ++row)
        if (table.Text(row, keyColumn) == line.key && seen++ == occurrence)
            return row;
    return -1;
}

std::int32_t ColumnOfChange(const CTxtTable& table, const ChangeLine& line) {
    return line.kind == ChangeKind::kCell ? CColumnFinder(table).Find(line.column) : -1;
}

} // namespace tolmere
