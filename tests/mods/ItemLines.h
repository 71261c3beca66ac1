// SPDX-License-Identifier: MIT
// The game's wording of one invented item, for the describer's tests.
#pragma once

#include "mods/GameDescribe.h"
#include "tables/ColumnFinder.h"

#include "support/TableBuilder.h"

#include <string>

namespace tolmere::testing {

// The lines of an item of this level and base item whose slots hold `cells` ("code",
// "par", "min", "max", four cells a slot), joined by '|'.
inline std::string ItemLines(const CGameData& game, const CStringTables& strings, const Row& cells,
                             const std::string& level = "1", const std::string& base = "") {
    Row header{"index", "lvl", "code"};
    for (std::size_t slot = 1; slot <= (cells.size() + 3) / 4; ++slot) {
        for (const char* name : {"prop", "par", "min", "max"})
            header.push_back(name + std::to_string(slot));
    }
    Row row{"item", level, base};
    row.insert(row.end(), cells.begin(), cells.end());
    const CTxtTable table = NamedTable(header, {row});
    CColumnFinder finder(table);
    const SlotList slots = SlotsByName(finder, {"prop#", "par#", "min#", "max#"});
    std::string lines;
    for (const ModLine& line : CGameDescriber(game, strings).Describe(table, 0, slots))
        lines += (lines.empty() ? "" : "|") + line.text;
    return lines;
}

} // namespace tolmere::testing
