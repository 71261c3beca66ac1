// SPDX-License-Identifier: MIT
// Finds a table's columns by the names in its header row. Game tables are read by
// column name, and mods insert, drop and reorder columns freely, so a fixed column
// number fits one file only.
#pragma once

#include "tables/TxtTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

class CColumnFinder {
public:
    explicit CColumnFinder(const CTxtTable& table);

    // The first column whose name equals `name`, ignoring ASCII letter case as the
    // game does; -1 when there is none.
    std::int32_t Find(std::string_view name) const;
    // Like Find, but remembers a missing name for Missing().
    std::int32_t Require(std::string_view name);
    // The numbers n, in ascending order, for which a column named `pattern` with its
    // '#' replaced by n exists ("prop#" finds prop1 … prop12).
    std::vector<int> Numbers(std::string_view pattern) const;
    // `pattern` with its '#' replaced by `number`.
    static std::string Numbered(std::string_view pattern, int number);

    const CTxtTable& Table() const { return table_; }
    // Whether two column names are the same to the game: ASCII letters in any case.
    static bool SameName(std::string_view a, std::string_view b);

    // The names Require did not find, in the order asked.
    const std::vector<std::string>& Missing() const { return missing_; }

private:
    const CTxtTable& table_;
    std::vector<std::string> missing_;
};

} // namespace tolmere
