// SPDX-License-Identifier: MIT
// The tables as the checks see them: for each, the columns that hold its key, its name
// keys, its base item codes and its modifier slots, found by the same layouts the
// editor reads them with.
#pragma once

#include "lint/Lint.h"
#include "mods/ModSlots.h"

#include <functional>
#include <string_view>

namespace tolmere {

struct PropertyDef;

struct LintedTable {
    const CTxtTable* table = nullptr;
    std::string file;
    std::int32_t keyColumn = -1;
    std::vector<std::int32_t> nameKeyColumns;
    std::vector<std::int32_t> codeColumns;
    SlotList slots;
    bool gameCodes = false; // its slots hold Properties.txt's codes, not the catalogue's
    Severity duplicateKey = Severity::kNote;
};

struct LintContext {
    std::vector<LintedTable> tables;
    // The later layout's set item and set tables, which name each other; null otherwise.
    const LintedTable* splitSetItems = nullptr;
    const LintedTable* splitSets = nullptr;
    const CGameData* game = nullptr;
    const CStringTables* strings = nullptr;
};

// Built from the tables' headers; a table whose header fits no layout gets the row
// checks alone.
LintContext BuildLintContext(const LintInput& input);

// A problem at a cell of a table's row (column -1: the row as a whole).
Problem ProblemAt(const LintedTable& table, std::int32_t row, std::int32_t column,
                  Severity severity, std::string text);

// Calls `check` for every used slot of a table whose codes are the game's, with the
// property's definition (null for a code Properties.txt lacks). Nothing when the
// game's property tables are not loaded.
using SlotCheck = std::function<void(const LintedTable&, std::int32_t row, const SlotColumns&,
                                     std::string_view code, const PropertyDef*)>;
void ForEachGameSlot(const LintContext& context, const SlotCheck& check);

// The rules, each adding what it finds.
void CheckPropertyCodes(const LintContext& context, Problems& out);
void CheckSkillParams(const LintContext& context, Problems& out);
void CheckSkillTabs(const LintContext& context, Problems& out);
void CheckClassParams(const LintContext& context, Problems& out);
void CheckRanges(const LintContext& context, Problems& out);
void CheckNumberCells(const LintContext& context, Problems& out);
void CheckBaseCodes(const LintContext& context, Problems& out);
void CheckNameKeys(const LintContext& context, Problems& out);
void CheckSetsExist(const LintContext& context, Problems& out);
void CheckSetBonusCounts(const LintContext& context, Problems& out);
void CheckCellCounts(const LintContext& context, Problems& out);
void CheckDuplicateKeys(const LintContext& context, Problems& out);

} // namespace tolmere
