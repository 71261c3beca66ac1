// SPDX-License-Identifier: MIT
// Every key of one language's three string tables as the game sees them: the text it
// shows, the table that supplies it, and whether that text hides another table's.
// The list points into the tables' entries, so it is built again after any change.
#pragma once

#include "tables/StringTables.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

class CStringUsage;

struct StringRow {
    std::string_view key;
    std::string_view text;  // what the game shows; empty for a missing key
    StringSource source{};  // the table the game takes the text from
    bool missing = false;   // the item tables use the key, but no table has it
    bool overrides = false; // a lower table has the key too, and is not shown
    bool duplicate = false; // the supplying table holds the key more than once
};

// Which rows a view shows.
struct StringFilter {
    std::string query;                  // in the key or the text, any case, any place
    std::optional<StringSource> source; // only the keys this table supplies
    bool usedOnly = false;              // only the keys the item tables use
    bool problemsOnly = false;          // only duplicates and missing keys
};

class CStringList {
public:
    // The rows of `tables`: patchstring.tbl's keys first, then the keys only the lower
    // tables have, each in its table's order; with `usage`, then the keys the item
    // tables use that no table has. Both must outlive the list's use.
    void Build(const CStringTables& tables, const CStringUsage* usage = nullptr);

    const std::vector<StringRow>& Rows() const { return rows_; }
    // The row of `key`, or -1.
    std::ptrdiff_t RowOf(std::string_view key) const;

    // The rows that pass, in list order. `within` narrows an earlier answer, as a
    // search does while the user types on.
    std::vector<std::size_t> Filter(const StringFilter& filter,
                                    const std::vector<std::size_t>* within = nullptr) const;

private:
    bool Passes(std::size_t row, const StringFilter& filter, const std::string& folded) const;

    std::vector<StringRow> rows_;
    // Each row's key and text, folded to lower case and joined by a zero byte, so that a
    // search never matches across the two.
    std::vector<std::string> folded_;
    const CStringUsage* usage_ = nullptr;
};

// `text` in lower case for a search: ASCII letters and the accented Latin capitals of
// UTF-8 (the game's European languages); every other byte as it is.
std::string FoldUtf8Case(std::string_view text);

} // namespace tolmere
