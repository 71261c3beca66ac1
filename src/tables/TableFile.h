// SPDX-License-Identifier: MIT
// Loading a file that is meant to be a tab-delimited table, and refusing one that is
// not: a README taken for a table would become an item list, and a binary file items
// of garbage, that Spawn On would then write into the game.
#pragma once

#include "tables/TxtTable.h"

#include <string>

namespace tolmere {

// Loads `path` into `table`. False, with `table` unchanged and `error` saying why, when
// the file cannot be read (the system's reason), holds binary bytes (a zero byte), has
// no TAB in its first line, or would not fit the table's memory bound.
bool LoadTableFile(const std::string& path, CTxtTable& table, std::string& error);

// The same checks on bytes already read.
bool ParseTableBytes(std::string bytes, CTxtTable& table, std::string& error);

} // namespace tolmere
