// Turns a row's modifier slots into the lines the game would show for them.
#pragma once

#include "mods/ModKeys.h"
#include "mods/ModSlots.h"

#include <string>
#include <vector>

namespace tolmere {

struct ModLine {
    std::int32_t slot = 0; // the slot the line stands for (a merged line: its group's first)
    std::string text;
};

// The lines of the modifier list, top to bottom: merged damage lines (damage, fire,
// lightning, cold, poison), then plain lines from the highest slot down to slot 0.
// No slots give no lines.
std::vector<ModLine> DescribeModifiers(const CTxtTable& table, std::int32_t row,
                                       const SlotList& slots, const CModKeys& keys);

} // namespace tolmere
