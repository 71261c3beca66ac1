// SPDX-License-Identifier: MIT
#include "mods/SlotNames.h"

namespace tolmere {

SlotList SlotsByName(CColumnFinder& finder, const SlotNames& names) {
    SlotList slots;
    for (int number : finder.Numbers(names.code)) {
        SlotColumns slot;
        slot.code = finder.Find(CColumnFinder::Numbered(names.code, number));
        slot.param = finder.Require(CColumnFinder::Numbered(names.param, number));
        slot.min = finder.Require(CColumnFinder::Numbered(names.min, number));
        slot.max = finder.Require(CColumnFinder::Numbered(names.max, number));
        if (slot.param >= 0 && slot.min >= 0 && slot.max >= 0)
            slots.push_back(slot);
    }
    return slots;
}

} // namespace tolmere
