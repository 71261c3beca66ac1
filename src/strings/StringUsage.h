// SPDX-License-Identifier: MIT
// Which rows of the item tables name which string keys: a unique or set item's name,
// a set's name, a stat's wording, a skill's shown names. Columns are found by their
// header names, so the tables of any mod read.
#pragma once

#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tolmere {

// One cell that holds a key.
struct StringUse {
    std::string table;    // "UniqueItems.txt"
    std::int32_t row = 0; // data row
    std::string column;   // its header name
    std::string rowKey;   // the row's first cell, which names the row
};

// A table to index, with the names of its columns that hold string keys; a column
// the table does not have is passed over. A name may give alternatives split by '|',
// of which the first the table has counts, and '#' for the numbers 1, 2, … ("key#").
struct UsageSource {
    std::string name;
    const CTxtTable* table = nullptr;
    std::vector<std::string> columns;
};

// The columns of the game's tables that name string keys, for the tables given (any
// may be null): UniqueItems.txt, SetItems.txt, Sets.txt, ItemStatCost.txt and
// SkillDesc.txt (where the skills of Skills.txt take their names).
struct ItemTables {
    const CTxtTable* uniqueItems = nullptr;
    const CTxtTable* setItems = nullptr;
    const CTxtTable* sets = nullptr;
    const CTxtTable* itemStatCost = nullptr;
    const CTxtTable* skillDesc = nullptr;
};
std::vector<UsageSource> UsageSources(const ItemTables& tables);

class CStringUsage {
public:
    // Indexes every non-empty cell of the columns. A row whose cells are empty but for
    // its first and its notes is a separator ("Expansion") and names nothing.
    void Build(const std::vector<UsageSource>& sources);

    // The cells that hold `key`, in table and row order; empty when none does.
    const std::vector<StringUse>& Uses(std::string_view key) const;
    bool Used(std::string_view key) const { return uses_.count(std::string(key)) != 0; }
    // Every key used, in the order first met.
    const std::vector<std::string>& Keys() const { return keys_; }
    // The keys used that no table of `tables` has, in that order.
    std::vector<std::string> Missing(const CStringTables& tables) const;

private:
    std::unordered_map<std::string, std::vector<StringUse>> uses_;
    std::vector<std::string> keys_;
};

} // namespace tolmere
