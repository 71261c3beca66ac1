// The rules by which the modifier dialog writes one slot of an item row: which slot
// takes the modifier, what the user is asked first, and the count of used slots.
#pragma once

#include "mods/ModSlots.h"
#include "tables/TxtTable.h"

#include <string>

namespace tolmere {

// Where a row's modifier slots and their count lie. Slots are kSlotWidth cells apart.
struct ModifierPlacing {
    std::int32_t firstSlotColumn = 9;
    std::int32_t countColumn = 8;
    std::int32_t slotCount = 10;

    SlotRun Run() const { return SlotRun{firstSlotColumn, slotCount, kSlotWidth}; }
    std::int32_t Column(std::int32_t slot, std::int32_t field) const {
        return Run().CodeColumn(slot) + field;
    }
};

// Sets modifier `code` with these minimum and maximum cells into `slot` of `row`, asking
// through the guide first. A slot that already holds a code is being edited: the user
// confirms the change, and a code held by another slot refuses it. An empty slot is
// being added to: each slot that holds the code already is offered for overwriting, and
// the last one accepted takes the modifier instead. The parameter cell is left alone;
// the count column then holds the number of used slots.
// Returns true when the row was written; false when the user declined, the code is a
// duplicate, or the table lacks a cell that would be written (then nothing is written).
bool ApplyModifier(CTxtTable& table, std::int32_t row, std::int32_t slot,
                   const ModifierPlacing& placing, const std::string& code,
                   const std::string& minimumCell, const std::string& maximumCell);

} // namespace tolmere
