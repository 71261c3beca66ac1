// SPDX-License-Identifier: MIT
// Which cells of a modifier slot a property function of Properties.txt reads: the
// parameter, the minimum, the maximum, and whether the parameter names a skill.
#pragma once

#include <cstdint>

namespace tolmere {

// 17 (per level, by time's period aside) reads the parameter alone; 20 and 23 set a
// flag; 3 repeats the stat before; 15 and 16 read one end each.
constexpr bool ReadsParam(std::int32_t func) {
    switch (func) {
    case 10:
    case 11:
    case 12:
    case 14:
    case 17:
    case 18:
    case 19:
    case 22:
    case 24:
        return true;
    default:
        return false;
    }
}
constexpr bool ReadsMin(std::int32_t func) {
    return func != 3 && func != 16 && func != 17 && func != 20 && func != 23;
}
constexpr bool ReadsMax(std::int32_t func) {
    return func != 3 && func != 15 && func != 17 && func != 20 && func != 23;
}
// Skill-on-event and charges take a skill by their parameter, and so does 22 (single
// skills, auras, other classes' skills).
constexpr bool ReadsSkill(std::int32_t func) {
    return func == 11 || func == 19 || func == 22;
}
// Skill-on-event and charges read a chance or charges and a level, not one range.
constexpr bool ReadsRange(std::int32_t func) {
    return func != 11 && func != 19;
}

} // namespace tolmere
