// SPDX-License-Identifier: MIT
#include "diff/ChangeList.h"

#include "tables/ColumnFinder.h"

namespace tolmere {
namespace {

std::string SlotCells(const SlotValues& values) {
    return values.code + '\t' + values.param + '\t' + values.min + '\t' + values.max;
}

std::string KeyName(const RowDiff& row) {
    return row.occurrence > 0 ? row.key + " (" + std::to_string(row.occurrence + 1) + ")" : row.key;
}

ChangeLine LineOf(const std::string& table, const std::string& key, std::int32_t occurrence) {
    ChangeLine line;
    line.table = table;
    line.key = key;
    line.occurrence = occurrence;
    return line;
}

} // namespace

std::vector<ChangeLine> ChangeList(const std::string& tableName, const CTxtTable& before,
                                   const CTxtTable& after, const TableDiff& diff,
                                   const SlotWords& words) {
    std::vector<ChangeLine> lines;
    for (const RowDiff& row : diff.rows) {
        ChangeLine line = LineOf(tableName, row.key, row.occurrence);
        if (row.kind != RowChange::kChanged) {
            const bool added = row.kind == RowChange::kAdded;
            line.kind = added ? ChangeKind::kRowAdded : ChangeKind::kRowRemoved;
            line.place = added ? row.afterRow : row.beforeRow;
            lines.push_back(line);
            continue;
        }
        if (row.moved) {
            line.kind = ChangeKind::kRowMoved;
            line.place = row.afterRow;
            line.before = std::to_string(row.beforeRow);
            line.after = std::to_string(row.afterRow);
            lines.push_back(line);
        }
        line.kind = ChangeKind::kCell;
        for (const CellDiff& cell : row.cells) {
            line.column = cell.column;
            line.before = cell.before;
            line.after = cell.after;
            lines.push_back(line);
        }
        line.kind = ChangeKind::kModifier;
        line.column.clear();
        for (const ModifierDiff& modifier : row.modifiers) {
            line.before = !modifier.before ? ""
                          : words
                              ? words(before, row.beforeRow, diff.beforeSlots, modifier.beforeSlot)
                              : SlotCells(*modifier.before);
            line.after = !modifier.after ? ""
                         : words ? words(after, row.afterRow, diff.afterSlots, modifier.afterSlot)
                                 : SlotCells(*modifier.after);
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<ChangeLine> ChangeList(const std::string& tableName,
                                   const std::vector<EntryDiff>& diff) {
    std::vector<ChangeLine> lines;
    for (const EntryDiff& entry : diff) {
        ChangeLine line = LineOf(tableName, entry.key, entry.occurrence);
        line.kind = !entry.before  ? ChangeKind::kEntryAdded
                    : !entry.after ? ChangeKind::kEntryRemoved
                                   : ChangeKind::kText;
        line.before = entry.before.value_or("");
        line.after = entry.after.value_or("");
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<ChangeLine> MakePatch(const std::string& tableName, const CTxtTable& before,
                                  const CTxtTable& after, std::vector<std::string>& notCarried) {
    const TableDiff diff = DiffTables(before, after, {false});
    for (const std::string& column : diff.columnsRemoved)
        notCarried.push_back(tableName + ": the column " + column + " was removed");
    const CColumnFinder columns(after);
    // Added rows go in at the end of the table; one added above a row that was there
    // before lands elsewhere.
    std::vector<bool> added(static_cast<std::size_t>(after.DataRowCount()), false);
    for (const RowDiff& row : diff.rows)
        if (row.kind == RowChange::kAdded)
            added[static_cast<std::size_t>(row.afterRow)] = true;
    std::int32_t lastKept = after.DataRowCount() - 1;
    while (lastKept >= 0 && added[static_cast<std::size_t>(lastKept)])
        --lastKept;
    std::vector<ChangeLine> lines;
    for (const RowDiff& row : diff.rows) {
        ChangeLine line = LineOf(tableName, row.key, row.occurrence);
        if (row.kind == RowChange::kRemoved) {
            notCarried.push_back(tableName + ": the row " + KeyName(row) + " was removed");
            continue;
        }
        if (row.moved)
            notCarried.push_back(tableName + ": the row " + KeyName(row) + " was moved");
        if (row.kind == RowChange::kAdded) {
            if (row.afterRow < lastKept)
                notCarried.push_back(tableName + ": the row " + KeyName(row) +
                                     " was added among others; a patch appends it at the end");
            line.kind = ChangeKind::kRowAdded;
            line.place = row.afterRow;
            lines.push_back(line);
            line.kind = ChangeKind::kCell;
            line.place = -1;
            for (std::int32_t c = 0; c < after.ColumnCount(); ++c) {
                line.column = std::string(after.HeaderCell(c).value_or(""));
                line.after = std::string(after.Text(row.afterRow, c));
                if (!line.after.empty())
                    lines.push_back(line);
            }
            continue;
        }
        for (const CellDiff& cell : row.cells) {
            line.column = cell.column;
            line.before = cell.before;
            line.after = cell.after;
            // A cell of a removed column has nowhere to go; the column was reported.
            if (columns.Find(cell.column) >= 0)
                lines.push_back(line);
        }
    }
    return lines;
}

std::vector<ChangeLine> MakePatch(const std::string& tableName, const CStrTbl& before,
                                  const CStrTbl& after, std::vector<std::string>& notCarried) {
    std::vector<ChangeLine> lines;
    for (ChangeLine& line : ChangeList(tableName, DiffStrings(before, after))) {
        if (line.kind == ChangeKind::kEntryRemoved)
            notCarried.push_back(tableName + ": the entry " + line.key + " was removed");
        else
            lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace tolmere
