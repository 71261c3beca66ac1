// SPDX-License-Identifier: MIT
// A diff as change lines: the full list that is shown and printed, and the patch that
// carries a mod's changes to other tables.
#pragma once

#include "diff/ChangeLines.h"
#include "diff/StringDiff.h"
#include "diff/TableDiff.h"

#include <functional>
#include <string>
#include <vector>

namespace tolmere {

// How a modifier of a diff reads: given the table, its row and the slot, the line. The
// default gives its four cells, TAB-separated.
using SlotWords = std::function<std::string(const CTxtTable& table, std::int32_t row,
                                            const ModifierSlots& slots, std::int32_t slot)>;

// Every change the diff lists: rows added, removed and moved, changed cells, and
// modifiers removed, added or changed (each one line, "\modifier").
std::vector<ChangeLine> ChangeList(const std::string& tableName, const CTxtTable& before,
                                   const CTxtTable& after, const TableDiff& diff,
                                   const SlotWords& words = {});
std::vector<ChangeLine> ChangeList(const std::string& tableName,
                                   const std::vector<EntryDiff>& diff);

// The changes that turn `before` into `after`, cell by cell: each changed cell, and
// each added row as "\added N" followed by its cells that are not empty. What a patch
// cannot carry (a row removed or moved, a column removed) goes to `notCarried`, one
// sentence each.
std::vector<ChangeLine> MakePatch(const std::string& tableName, const CTxtTable& before,
                                  const CTxtTable& after, std::vector<std::string>& notCarried);
// The same for string tables: changed texts and added entries; removed entries go to
// `notCarried`.
std::vector<ChangeLine> MakePatch(const std::string& tableName, const CStrTbl& before,
                                  const CStrTbl& after, std::vector<std::string>& notCarried);

} // namespace tolmere
