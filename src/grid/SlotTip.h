// SPDX-License-Identifier: MIT
// What a modifier slot's parameter, minimum or maximum cell means for the property code
// its row holds, in the words the modifier dialog labels its boxes with.
#pragma once

#include "mods/ModifierChoices.h"

#include <string>
#include <string_view>

namespace tolmere {

enum class SlotPart : int { kNone = 0, kParam = 1, kMin = 2, kMax = 3 };

// The cell's meaning first, then all three; empty for an empty code or kNone. A code
// the choices do not hold gets one plain line.
std::string SlotCellTip(const CModifierChoices& choices, SlotPart part, std::string_view code);

} // namespace tolmere
