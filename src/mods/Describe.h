// SPDX-License-Identifier: MIT
// Turns a row's modifier slots into the lines the game would show for them.
#pragma once

#include "mods/ModKeys.h"
#include "mods/ModSlots.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

struct ModLine {
    std::int32_t slot = 0; // the slot the line stands for (a merged line: its group's first)
    std::string text;
};

// A skill's shown name from the parameter cell that names it (by number or name).
using SkillNamer = std::function<std::string(const std::string&)>;

// How the catalogue words a slot. The classic tables show the pattern with the max
// cell alone; the game's own layouts use a code's wording, which reads param, min and
// max, wherever the catalogue has one.
struct CatalogueWording {
    bool useWording = false;
    SkillNamer skillName; // empty: the parameter as written
};

// The lines of the modifier list by the catalogue, top to bottom: merged damage lines
// (damage, fire, lightning, magic, cold, poison), then plain lines from the highest
// slot down to slot 0. A disabled code ("*str") is worded after "Disabled: "; a code
// the catalogue does not hold reads "Unknown modifier: xyz". No slots give no lines.
std::vector<ModLine> DescribeModifiers(const CTxtTable& table, std::int32_t row,
                                       const SlotList& slots, const CModKeys& keys,
                                       const CatalogueWording& wording = {});

// The wording with each "[token]" replaced by what `value` gives for it.
std::string ReplaceTokens(std::string_view wording,
                          const std::function<std::string(std::string_view)>& value);

// One slot by a catalogue wording: "[range]" (min to max, "(60-70)" when they differ),
// "[+range]" (the same with a sign), "[min]", "[max]", "[par]", "[skill]" (the
// parameter's skill), "[perlevel]" (par / divisor at levels 1 and 99) and "[seconds]"
// (par in frames of 1/25 s). Other text is copied as written.
std::string WordModifier(std::string_view wording, const CTxtTable& table, std::int32_t row,
                         const SlotColumns& slot, double divisor, const SkillNamer& skillName);

} // namespace tolmere
