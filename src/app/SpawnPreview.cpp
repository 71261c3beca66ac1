// SPDX-License-Identifier: MIT
#include "app/SpawnPreview.h"

#include "app/BaseTables.h"
#include "base/Guide.h"
#include "base/GuideLog.h"

namespace tolmere {
namespace {

std::string Counted(std::size_t count, const std::string& one, const std::string& many,
                    const std::string& after = "") {
    return std::to_string(count) + " " + (count == 1 ? one : many) + after;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

} // namespace

std::string TableSummary(const std::string& fileName, const TableDiff& diff) {
    std::size_t changed = 0, added = 0, removed = 0, modifiers = 0;
    for (const RowDiff& row : diff.rows) {
        changed += row.kind == RowChange::kChanged;
        added += row.kind == RowChange::kAdded;
        removed += row.kind == RowChange::kRemoved;
        modifiers += row.modifiers.size();
    }
    // Item tables count items; any other table rows.
    const bool items =
        fileName.size() >= 9 && fileName.compare(fileName.size() - 9, 9, "Items.txt") == 0;
    const std::string one = items ? "item" : "row", many = items ? "items" : "rows";
    std::vector<std::string> parts;
    if (changed)
        parts.push_back(Counted(changed, one, many, " changed"));
    if (added)
        parts.push_back(Counted(added, one, many, " added"));
    if (removed)
        parts.push_back(Counted(removed, one, many, " removed"));
    if (modifiers)
        parts.push_back(Counted(modifiers, "modifier", "modifiers"));
    if (!diff.columnsAdded.empty() || !diff.columnsRemoved.empty())
        parts.push_back(Counted(diff.columnsAdded.size() + diff.columnsRemoved.size(), "column",
                                "columns", " added or removed"));
    return fileName + ": " + (parts.empty() ? "no change" : Joined(parts, ", "));
}

std::string StringsSummary(const std::string& fileName, const std::vector<EntryDiff>& diff) {
    return fileName + ": " + (diff.empty() ? "no change" : Counted(diff.size(), "name", "names"));
}

std::string SpawnPreview::Summary(bool withNames) const {
    std::vector<std::string> parts = tableParts;
    if (withNames && !namesPart.empty())
        parts.push_back(namesPart);
    return Joined(parts, "; ");
}

std::string SpawnPreview::List(bool withNames) const {
    std::vector<ChangeLine> lines = tableLines;
    if (withNames)
        lines.insert(lines.end(), nameLines.begin(), nameLines.end());
    return FormatChanges(std::move(lines));
}

SpawnPreview PreviewSpawnOn(const CArchiveBridge& bridge, const SpawnOnRequest& request,
                            const SlotWords& words) {
    SpawnPreview preview;
    for (const SpawnTable& table : request.tables) {
        CTxtTable archived;
        const BaseFetch fetch =
            FetchBaseTable(bridge, table.fileName, BaseSource::kPatchArchive, archived);
        if (!fetch.found) {
            preview.tableParts.push_back(
                table.fileName + (fetch.Absent() ? ": new in " + std::string(kPatchArchive)
                                                 : ": not compared (" + fetch.problem + ")"));
            continue;
        }
        const TableDiff diff = DiffTables(archived, *table.table);
        preview.tableParts.push_back(TableSummary(table.fileName, diff));
        for (ChangeLine& line : ChangeList(table.fileName, archived, *table.table, diff, words))
            preview.tableLines.push_back(std::move(line));
    }
    if (request.strings && request.strings->PatchWritable()) {
        const std::string name = CStringTables::FileName(StringSource::kPatch);
        CStrTbl archived;
        const CArchiveBridge::StringsLoad load =
            bridge.ExtractStringTable(archived, request.language, name);
        if (load.status == CArchiveBridge::Extraction::Status::kFailed) {
            preview.namesPart = name + ": not compared (" + load.reason + ")";
        } else {
            const std::vector<EntryDiff> diff = DiffStrings(archived, request.strings->Patch());
            preview.namesPart = StringsSummary(name, diff);
            preview.nameLines = ChangeList(name, diff);
        }
    }
    return preview;
}

void KeepWrittenInMessages(const SpawnPreview& preview, const SpawnOnResult& result) {
    if (result.tablesWritten)
        AddToGuideLog(kCaptionGuide, "Written into " + std::string(kPatchArchive) + ": " +
                                         preview.Summary(result.stringsWritten) + "\n" +
                                         preview.List(result.stringsWritten));
}

} // namespace tolmere
