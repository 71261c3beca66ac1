// The modifier slot: four consecutive cells (property code, parameter, minimum,
// maximum) of a table row, placed by a run description.
#pragma once

#include "tables/TxtTable.h"

#include <string>

namespace tolmere {

// Where a row's run of modifier slots lies.
struct SlotRun {
    std::int32_t firstColumn = 9;
    std::int32_t slotCount = 10;
    std::int32_t stride = 4;

    std::int32_t CodeColumn(std::int32_t slot) const { return firstColumn + slot * stride; }
};

// Offsets of the cells inside one slot.
enum SlotField : std::int32_t { kSlotCode = 0, kSlotParam = 1, kSlotMin = 2, kSlotMax = 3 };
constexpr std::int32_t kSlotWidth = 4;

// A slot is used exactly when its property code is not empty.
bool SlotUsed(const CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t slot);
std::int32_t CountUsedSlots(const CTxtTable& table, std::int32_t row, const SlotRun& run);
// Empty code and "0" in parameter, minimum and maximum.
void FreeSlot(CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t slot);
// Copies the four cells in the order code, parameter, minimum, maximum.
void CopySlot(CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t from,
              std::int32_t to);

} // namespace tolmere
