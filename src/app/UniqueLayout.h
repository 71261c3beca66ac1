// Which columns of "UniqueItems.txt" the editor reads and writes.
#pragma once

#include "mods/ModSlots.h"

namespace tolmere {

struct UniqueItemsLayout {
    std::int32_t keyColumn;   // string table key of the item's name
    std::int32_t codeColumn;  // base item code, names the inventory picture
    std::int32_t shownColumn; // shown in parentheses after the key
    std::int32_t countColumn; // number of used modifier slots
    SlotRun slots;            // the item's modifier slots

    // The last column a row needs for every field above.
    std::int32_t ColumnsNeeded() const {
        return slots.firstColumn + slots.slotCount * slots.stride;
    }
};

// The layout this editor targets.
constexpr UniqueItemsLayout kClassicUniqueLayout{0, 3, 4, 8, SlotRun{9, 10, kSlotWidth}};

} // namespace tolmere
