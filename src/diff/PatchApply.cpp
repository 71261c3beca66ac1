// SPDX-License-Identifier: MIT
#include "diff/PatchApply.h"

#include "diff/TableDiff.h"
#include "grid/RawEdit.h"
#include "tables/ColumnFinder.h"

#include <algorithm>
#include <map>
#include <set>

namespace tolmere {
namespace {

using RowKey = std::pair<std::string, std::int32_t>;

std::string Conflict(const ChangeLine& line, const std::string& why) {
    return FormatChange(line) + ": " + why;
}

// Where `found` stands against the line's old and new value.
enum class CellState { kApplies, kAlready, kConflict };
CellState StateOf(const ChangeLine& line, std::string_view found) {
    return found == line.before  ? CellState::kApplies
           : found == line.after ? CellState::kAlready
                                 : CellState::kConflict;
}

void Count(CellState state, const ChangeLine& line, std::string_view found, PatchOutcome& outcome) {
    if (state == CellState::kApplies)
        ++outcome.applied;
    else if (state == CellState::kAlready)
        ++outcome.already;
    else
        outcome.conflicts.push_back(
            Conflict(line, "the cell holds \"" + EscapeField(std::string(found)) + "\""));
}

} // namespace

std::vector<ChangeLine> LinesFor(const std::vector<ChangeLine>& lines,
                                 const std::string& fileName) {
    std::set<std::string> tables;
    for (const ChangeLine& line : lines)
        tables.insert(line.table);
    std::vector<ChangeLine> chosen;
    for (const ChangeLine& line : lines)
        if (tables.size() == 1 || CColumnFinder::SameName(line.table, fileName))
            chosen.push_back(line);
    return chosen;
}

PatchOutcome ApplyPatch(CTxtTable& table, const std::vector<ChangeLine>& lines, EditStep& step) {
    PatchOutcome outcome;
    const std::int32_t keyColumn = DiffLayoutOf(table).keyColumn;
    std::map<RowKey, std::int32_t> rows;
    {
        std::map<std::string, std::int32_t, std::less<>> seen;
        for (std::int32_t row = 0; row < table.DataRowCount(); ++row) {
            std::string key(table.Text(row, keyColumn));
            rows[{key, seen[key]++}] = row;
        }
    }
    RawEdits edits;
    edits.rows = table.DataRowCount();
    // Added rows first, in the order of their places: appended rows keep the order they
    // had in the table the patch was made from.
    std::vector<const ChangeLine*> added;
    for (const ChangeLine& line : lines)
        if (line.kind == ChangeKind::kRowAdded)
            added.push_back(&line);
    std::stable_sort(added.begin(), added.end(),
                     [](const ChangeLine* a, const ChangeLine* b) { return a->place < b->place; });
    for (const ChangeLine* line : added) {
        if (table.ColumnCount() <= 0) {
            outcome.conflicts.push_back(
                Conflict(*line, "the table has no header row, so no row can be added"));
            continue;
        }
        if (rows.count({line->key, line->occurrence})) {
            ++outcome.already;
            continue;
        }
        rows[{line->key, line->occurrence}] = edits.rows++;
        ++outcome.applied;
    }

    const CColumnFinder columns(table);
    for (const ChangeLine& line : lines) {
        if (line.kind == ChangeKind::kRowAdded)
            continue;
        if (line.kind != ChangeKind::kCell) {
            outcome.conflicts.push_back(
                Conflict(line, "a patch changes cells and adds rows, nothing else"));
            continue;
        }
        const auto row = rows.find({line.key, line.occurrence});
        const std::int32_t column = columns.Find(line.column);
        if (row == rows.end()) {
            outcome.conflicts.push_back(Conflict(line, "the table has no such row"));
            continue;
        }
        if (column < 0) {
            outcome.conflicts.push_back(Conflict(line, "the table has no such column"));
            continue;
        }
        const auto at = std::make_pair(row->second, column);
        const auto edited = edits.cells.find(at);
        const std::string_view found = edited != edits.cells.end()
                                           ? std::string_view(edited->second)
                                           : table.Text(row->second, column);
        const CellState state = StateOf(line, found);
        Count(state, line, found, outcome);
        if (state == CellState::kApplies)
            edits.cells[at] = line.after;
    }
    ApplyRawEdits(table, edits, step);
    return outcome;
}

PatchOutcome ApplyPatch(CStrTbl& strings, const std::vector<ChangeLine>& lines, EditStep& step) {
    PatchOutcome outcome;
    std::vector<std::string> keys;
    for (const ChangeLine& line : lines)
        keys.push_back(line.key);
    const CEntryRecorder recorder(strings, keys);
    for (const ChangeLine& line : lines) {
        if (line.kind != ChangeKind::kText && line.kind != ChangeKind::kEntryAdded) {
            outcome.conflicts.push_back(Conflict(line, "not a change of a string table's text"));
            continue;
        }
        StrEntry* entry = nullptr;
        std::int32_t n = 0;
        for (const StrEntry& candidate : strings.List())
            if (candidate.key == line.key && n++ == line.occurrence)
                entry = strings.FindExact(line.key, candidate.indexNumber);
        if (line.kind == ChangeKind::kEntryAdded) {
            if (!entry) {
                strings.Add(line.key, line.after);
                ++outcome.applied;
            } else if (entry->text == line.after) {
                ++outcome.already;
            } else {
                outcome.conflicts.push_back(Conflict(line, "the table has this entry already"));
            }
            continue;
        }
        if (!entry) {
            outcome.conflicts.push_back(Conflict(line, "the table has no such entry"));
            continue;
        }
        const CellState state = StateOf(line, entry->text);
        Count(state, line, entry->text, outcome);
        if (state == CellState::kApplies)
            strings.SetText(*entry, line.after);
    }
    recorder.Finish(step);
    return outcome;
}

} // namespace tolmere
