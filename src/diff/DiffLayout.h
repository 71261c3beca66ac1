// SPDX-License-Identifier: MIT
// Where a table keeps the key a diff matches its rows by, and the modifier slots it
// compares as modifiers. Slots fall into groups that stand for one thing each (an
// item's own modifiers, a set's bonus for three items worn): a modifier moved inside
// its group leaves the item as the game shows it, one moved to another group does not.
#pragma once

#include "mods/ModSlots.h"
#include "tables/TxtTable.h"

#include <string>
#include <vector>

namespace tolmere {

struct SlotGroup {
    // The same group in two versions of a table has the same id.
    std::string id;
    std::vector<std::int32_t> slots; // indices into the layout's slots
};

struct DiffLayout {
    std::int32_t keyColumn = 0;
    ModifierSlots modifiers; // every slot of the table
    // Every row's groups, where all rows have the same.
    std::vector<SlotGroup> groups;
    // By data row, where rows differ; empty otherwise.
    std::vector<std::vector<SlotGroup>> rowGroups;

    const std::vector<SlotGroup>& GroupsOf(std::int32_t row) const {
        return row >= 0 && row < static_cast<std::int32_t>(rowGroups.size())
                   ? rowGroups[static_cast<std::size_t>(row)]
                   : groups;
    }
};

// A unique items table's key and slots by its layout; a set items table's (in each
// layout the set editor knows) and a set table's by their groups; any other table's
// key in its first column and no slots.
DiffLayout DiffLayoutOf(const CTxtTable& table);

} // namespace tolmere
