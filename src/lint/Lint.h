// SPDX-License-Identifier: MIT
// The checks across the item tables: what the game would trip over, found before it
// does. They only read; nothing here changes a table or a file.
#pragma once

#include "lint/Problem.h"
#include "mods/GameData.h"
#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <string>
#include <vector>

namespace tolmere {

// The loaded tables; any may be null or empty, and a check that needs one it lacks is
// left out.
struct LintInput {
    const CTxtTable* uniqueItems = nullptr;
    const CTxtTable* setItems = nullptr;
    const CTxtTable* sets = nullptr;
    const CGameData* game = nullptr;
    const CStringTables* strings = nullptr;
};

// Every check over the tables, problems in the order of the files, then of the rows.
Problems LintTables(const LintInput& input);

// What Spawn On should know before writing `written` ("UniqueItems.txt", ...): the
// problems of those tables, and an error for each of them whose compiled ".bin" the
// patch archive holds (`compiledInPatch`, names in any case).
Problems SpawnOnProblems(const LintInput& input, const std::vector<std::string>& written,
                         const std::vector<std::string>& compiledInPatch);

// "UniqueItems.bin" for "UniqueItems.txt".
std::string CompiledName(const std::string& tableName);

} // namespace tolmere
