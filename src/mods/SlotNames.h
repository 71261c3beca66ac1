// SPDX-License-Identifier: MIT
// Modifier slots found by the names of their columns.
#pragma once

#include "mods/ModSlots.h"
#include "tables/ColumnFinder.h"

namespace tolmere {

// Column name patterns of one kind of slot; '#' stands for the slot's number
// ({"prop#", "par#", "min#", "max#"}).
struct SlotNames {
    const char* code;
    const char* param;
    const char* min;
    const char* max;
};

// Every slot whose code column the header names, in ascending number order. A slot
// missing one of its other three columns is left out and its name is reported
// through `finder.Require`, so that the table is not taken for this layout.
SlotList SlotsByName(CColumnFinder& finder, const SlotNames& names);

} // namespace tolmere
