// SPDX-License-Identifier: MIT
// What changed between two versions of a string table, entry by entry: entries are
// matched by key (the n-th entry of a key with the n-th of the same key), so a table
// written again in another order shows no change.
#pragma once

#include "tables/StrTbl.h"

#include <optional>
#include <string>
#include <vector>

namespace tolmere {

struct EntryDiff {
    std::string key;
    std::int32_t occurrence = 0;
    std::optional<std::string> before, after; // nothing: the entry is not there
};

// In the newer table's order, then the removed entries in the older one's.
std::vector<EntryDiff> DiffStrings(const CStrTbl& before, const CStrTbl& after);

} // namespace tolmere
