// SPDX-License-Identifier: MIT
// Every check over tables a broken mod could hold: any header, any cells, tables that
// contradict each other. The checks must finish and point only at cells that exist.
#include "lint/Lint.h"
#include "support/Parts.h"
#include "support/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    // Five whole tables, headers included, so that the bytes also reach the layouts.
    const auto parts = SplitParts<5>(data, size);
    CTxtTable unique, setItems, sets, properties, skills;
    unique.Parse(parts[0]);
    setItems.Parse(parts[1]);
    sets.Parse(parts[2]);
    properties.Parse(parts[3]);
    skills.Parse(parts[4]);
    CGameData game;
    game.Assign(properties, CTxtTable(), skills, CTxtTable(), CTxtTable());
    const CStringTables strings;

    const LintInput input{&unique, &setItems, &sets, &game, &strings};
    for (const Problem& problem : LintTables(input)) {
        const CTxtTable* table = problem.file == "UniqueItems.txt" ? &unique
                                 : problem.file == "SetItems.txt"  ? &setItems
                                 : problem.file == "Sets.txt"      ? &sets
                                                                   : nullptr;
        Require(table != nullptr, "a problem names one of the tables checked");
        Require(problem.row >= -1 && problem.row < table->DataRowCount(),
                "a problem's row is a row of its table");
        Require(problem.columnIndex >= -1 && problem.columnIndex < table->ColumnCount(),
                "a problem's column is a column of its table");
        Require(!problem.text.empty(), "a problem says what is wrong");
    }
    return 0;
}
