// SPDX-License-Identifier: MIT
#include "diff/ModifierWords.h"

#include "mods/GameDescribe.h"

namespace tolmere {

SlotWords GameSlotWords(const CModKeys& keys, const CGameData& game, const CStringTables& strings) {
    return [&keys, &game, &strings](const CTxtTable& table, std::int32_t row,
                                    const ModifierSlots& slots, std::int32_t slot) {
        ModifierSlots one = slots;
        one.slots = {slots.Slot(slot)};
        std::string text;
        for (const ModLine& line : DescribeModifiers(table, row, one, keys, game, strings))
            text += (text.empty() ? "" : "; ") + line.text;
        return text;
    };
}

} // namespace tolmere
