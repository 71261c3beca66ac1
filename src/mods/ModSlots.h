// SPDX-License-Identifier: MIT
// The modifier slot: four cells of a table row (property code, parameter, minimum,
// maximum), and where a row keeps its slots.
#pragma once

#include "tables/TxtTable.h"

#include <string>
#include <vector>

namespace tolmere {

// Offsets of the cells inside one slot, as the slots of the older layouts lie.
enum SlotField : std::int32_t { kSlotCode = 0, kSlotParam = 1, kSlotMin = 2, kSlotMax = 3 };
constexpr std::int32_t kSlotWidth = 4;

// The columns of one slot's four cells. Real tables name them ("prop3", "par3", …), so
// they need not be neighbours.
struct SlotColumns {
    std::int32_t code = -1;
    std::int32_t param = -1;
    std::int32_t min = -1;
    std::int32_t max = -1;

    std::int32_t Column(SlotField field) const {
        return field == kSlotCode    ? code
               : field == kSlotParam ? param
               : field == kSlotMin   ? min
                                     : max;
    }
};

// A row's slots in the order its item lists them; a slot is known by its index here.
using SlotList = std::vector<SlotColumns>;

// `count` slots of consecutive cells from `firstColumn`, `stride` columns apart.
SlotList SlotRun(std::int32_t firstColumn, std::int32_t count, std::int32_t stride = kSlotWidth);

// Where a row keeps its modifiers.
struct ModifierSlots {
    SlotList slots;
    std::int32_t countColumn = -1; // the number of used slots, where the table keeps one
    // What a freed slot's parameter, minimum and maximum hold: the classic tables write
    // "0", the game's own leave them empty.
    std::string freedValue = "0";

    // The classic tables, which count their slots, hold the catalogue's own codes, not
    // the game's: the catalogue alone words and offers them.
    bool CataloguesOwnCodes() const { return countColumn >= 0; }
    std::int32_t SlotCount() const { return static_cast<std::int32_t>(slots.size()); }
    bool HasSlot(std::int32_t slot) const { return slot >= 0 && slot < SlotCount(); }
    std::int32_t CodeColumn(std::int32_t slot) const {
        return slots[static_cast<std::size_t>(slot)].code;
    }
    const SlotColumns& Slot(std::int32_t slot) const {
        return slots[static_cast<std::size_t>(slot)];
    }
};

// A slot is used exactly when its property code is not empty.
bool SlotUsed(const CTxtTable& table, std::int32_t row, const SlotColumns& slot);
std::int32_t CountUsedSlots(const CTxtTable& table, std::int32_t row, const SlotList& slots);
// The first slot whose code is empty, or -1.
std::int32_t FirstFreeSlot(const CTxtTable& table, std::int32_t row, const SlotList& slots);
// Empty code and `freedValue` in parameter, minimum and maximum.
void FreeSlot(CTxtTable& table, std::int32_t row, const SlotColumns& slot,
              const std::string& freedValue);
// Copies the four cells in the order code, parameter, minimum, maximum.
void CopySlot(CTxtTable& table, std::int32_t row, const SlotColumns& from, const SlotColumns& to);
// Frees `slot` and moves every used slot above it down, in order, into the gap; never
// overwrites another used slot.
void FreeSlotClosingGap(CTxtTable& table, std::int32_t row, const SlotList& slots,
                        std::int32_t slot, const std::string& freedValue);

} // namespace tolmere
