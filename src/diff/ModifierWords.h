// SPDX-License-Identifier: MIT
// A diff's modifiers in the game's wording: each slot worded alone, as the modifier
// list words it.
#pragma once

#include "diff/ChangeList.h"
#include "mods/GameData.h"
#include "mods/ModKeys.h"
#include "tables/StringTables.h"

namespace tolmere {

// The references must outlive the function returned.
SlotWords GameSlotWords(const CModKeys& keys, const CGameData& game, const CStringTables& strings);

} // namespace tolmere
