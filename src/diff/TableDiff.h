// SPDX-License-Identifier: MIT
// What changed between two versions of a table, by item rather than by line: rows are
// matched by their key (the n-th row of a key with the n-th of the same key, for keys
// that repeat) and columns by their header names, so a reordered column or an inserted
// row is not a change of everything after it. Modifier slots are compared as the
// modifiers they hold, group by group: the game shows the same item whichever slot of
// its group a modifier sits in.
#pragma once

#include "diff/DiffLayout.h"
#include "mods/ModSlots.h"
#include "tables/TxtTable.h"

#include <optional>
#include <string>
#include <vector>

namespace tolmere {

// A used slot's four cells.
struct SlotValues {
    std::string code, param, min, max;
    bool operator==(const SlotValues& other) const {
        return code == other.code && param == other.param && min == other.min && max == other.max;
    }
};

struct CellDiff {
    std::string column; // the header name, as the newer table spells it where it has one
    std::string before, after;
};

// A modifier removed (no after), added (no before) or changed (both: the same code, or
// the same slot with another code).
struct ModifierDiff {
    std::optional<SlotValues> before, after;
    std::int32_t beforeSlot = -1, afterSlot = -1;
};

enum class RowChange { kAdded, kRemoved, kChanged };

struct RowDiff {
    RowChange kind = RowChange::kChanged;
    std::string key;
    std::int32_t occurrence = 0;                // among the rows of the same key, from 0
    std::int32_t beforeRow = -1, afterRow = -1; // data rows; -1 where the row is not
    // Its place relative to the other matched rows changed: the rows that kept their
    // order are the longest run the two tables share, and the others moved.
    bool moved = false;
    std::vector<CellDiff> cells;
    std::vector<ModifierDiff> modifiers;
};

struct TableDiff {
    std::vector<std::string> columnsAdded, columnsRemoved;
    // The newer table's changed rows in its order, then the removed rows in the older
    // table's order.
    std::vector<RowDiff> rows;
    // The slots modifiers were compared in; empty when the cells were compared one by one.
    ModifierSlots beforeSlots, afterSlots;

    bool Empty() const { return rows.empty() && columnsAdded.empty() && columnsRemoved.empty(); }
};

struct DiffOptions {
    // False compares slot cells as any other cell, as carrying a change byte for byte
    // needs; true compares the modifiers they hold.
    bool modifiersAsWholes = true;
};

TableDiff DiffTables(const CTxtTable& before, const CTxtTable& after,
                     const DiffOptions& options = {});

} // namespace tolmere
