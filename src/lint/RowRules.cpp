// SPDX-License-Identifier: MIT
// The rows themselves: as many cells as the header names, and keys the game can tell
// apart.
#include "lint/LintContext.h"

#include <unordered_map>

namespace tolmere {

void CheckCellCounts(const LintContext& context, Problems& out) {
    for (const LintedTable& linted : context.tables) {
        const CTxtTable& table = *linted.table;
        const std::int32_t header = table.ColumnCount();
        for (std::int32_t row = 0; row < table.DataRowCount(); ++row) {
            if (row > 0 && table.LineGoesOn(row - 1))
                continue; // the surplus of the line before, reported there
            std::int32_t cells = table.CellsRead(row);
            for (std::int32_t next = row; table.LineGoesOn(next); ++next)
                cells += table.CellsRead(next + 1);
            if (cells == header || cells == 0)
                continue;
            const std::string counts = "the line has " + std::to_string(cells) +
                                       " cells and the header " + std::to_string(header);
            if (cells > header)
                out.push_back(ProblemAt(linted, row, -1, Severity::kWarning,
                                        counts + ": the cells after the last column are read "
                                                 "as a row of their own"));
            else
                out.push_back(ProblemAt(linted, row, cells, Severity::kWarning,
                                        counts + ": the cells from this column on are empty"));
        }
    }
}

void CheckDuplicateKeys(const LintContext& context, Problems& out) {
    for (const LintedTable& linted : context.tables) {
        if (linted.keyColumn < 0)
            continue;
        std::unordered_map<std::string_view, std::int32_t> first;
        for (std::int32_t row = 0; row < linted.table->DataRowCount(); ++row) {
            const std::string_view key = linted.table->Text(row, linted.keyColumn);
            if (key.empty())
                continue;
            const auto [held, added] = first.emplace(key, row);
            if (!added)
                out.push_back(ProblemAt(linted, row, linted.keyColumn, linted.duplicateKey,
                                        "row " + std::to_string(held->second) +
                                            " has the same key, and the game takes that one "
                                            "wherever the key is named"));
        }
    }
}

} // namespace tolmere
