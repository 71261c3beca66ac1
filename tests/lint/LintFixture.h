// SPDX-License-Identifier: MIT
// A small invented game for the checks: a few properties, skills, base items and
// names, and each problem reduced to "severity row column" for comparing.
#pragma once

#include "lint/Lint.h"

#include "support/TableBuilder.h"

#include <string>
#include <vector>

namespace tolmere::testing {

struct LintGame {
    GameTables tables;
    CGameData game;
    CStringTables strings;

    LintGame() {
        tables.properties = NamedTable({"code", "func1", "stat1", "val1", "func2", "stat2"},
                                       {{"allskills", "1", "item_allskills"},
                                        {"str", "1", "strength"},
                                        {"hit-skill", "11", "item_skillonhit"},
                                        {"skill", "22", "item_singleskill"},
                                        {"charged", "19", "item_charged_skill"},
                                        {"skilltab", "10", "item_addskill_tab"},
                                        {"randclassskill", "36", "item_addclassskills", "3"},
                                        {"ama", "21", "item_addclassskills", "0"},
                                        {"classskills", "21", "item_addclassskills"},
                                        {"dmg-fire", "15", "firemindam", "", "16", "firemaxdam"},
                                        {"state", "24", "state"},
                                        {"ac/lvl", "17", "item_armor_perlevel"}});
        tables.itemStatCost = NamedTable({"Stat", "ID"}, {{"strength", "0"}});
        tables.skills = NamedTable({"skill", "Id"}, {{"Fire Ball", "47"}, {"Nova", "48"}});
        tables.weapons = NamedTable({"name", "code"}, {{"Axe", "axe"}});
        tables.armor = NamedTable({"name", "code"}, {{"Cap", "cap"}});
        tables.misc = NamedTable({"name", "code"}, {{"Jewel", "jew"}});
        game.Assign(tables);
        strings.Patch().Add("Known", "Known");
        strings.Table(StringSource::kBase).Add("Old", "Old");
    }
    LintInput Input(const CTxtTable* unique, const CTxtTable* setItems = nullptr,
                    const CTxtTable* sets = nullptr) const {
        return {unique, setItems, sets, &game, &strings};
    }
};

// "error 0 prop2": severity, row and column of each problem, in order.
inline std::vector<std::string> Summary(const Problems& problems) {
    std::vector<std::string> lines;
    for (const Problem& problem : problems)
        lines.push_back(std::string(SeverityName(problem.severity)) + " " +
                        std::to_string(problem.row) + " " + problem.column);
    return lines;
}

} // namespace tolmere::testing
