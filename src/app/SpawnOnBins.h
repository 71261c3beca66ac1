// SPDX-License-Identifier: MIT
// The compiled tables Spawn On writes beside the tables. The game of 1.10 and later
// reads data\global\excel\<Table>.bin and compiles a .txt only when started with -txt,
// so where its archives hold a table's .bin, a change written as .txt alone would not
// be seen in a game started the usual way.
#pragma once

#include "app/SpawnOn.h"

#include <string>
#include <vector>

namespace tolmere {

// The .bin of each table whose .bin the game's archives hold, compiled from the table
// with the linked tables the game has (a table being written links to its new rows).
// First a guard: the game's Properties.bin and ItemStatCost.bin must be what its
// Properties.txt and ItemStatCost.txt compile to, or a compiled table could point at
// other rows than the ones the game loads; when they are not, or anything needed is
// missing, no .bin is compiled and `note` says why. All or none: one table compiled
// and another not would leave the game reading a mix.
SpawnOnBins CompileForSpawnOn(const CArchiveBridge& bridge, const std::vector<SpawnTable>& tables,
                              const CStringTables& strings);

} // namespace tolmere
