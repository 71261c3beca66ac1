// SPDX-License-Identifier: MIT
// Which columns of a "UniqueItems.txt" the editor reads and writes, found from the
// names in the file's header row.
#pragma once

#include "mods/ModSlots.h"
#include "tables/TxtTable.h"

#include <string>

namespace tolmere {

struct UniqueItemsLayout {
    // "classic", "1.10+", "1.09", or "unknown" for a header no layout fits.
    std::string name;
    // Why the table cannot be edited ("UniqueItems.txt: no column named prop1"); empty
    // when it can. A table with a problem is shown but never written into.
    std::string problem;
    std::int32_t keyColumn = 0;      // string table key of the item's name
    std::int32_t codeColumn = -1;    // base item code
    std::int32_t shownColumn = -1;   // the level, shown in parentheses after the key
    std::int32_t pictureColumn = -1; // the item's own inventory picture, where the layout has one
    ModifierSlots modifiers;

    bool Editable() const { return problem.empty(); }
};

// The layout whose column names the header carries. `fileName` names the file in the
// problem text of a header that fits no layout.
UniqueItemsLayout RecogniseUniqueItems(const CTxtTable& table,
                                       const std::string& fileName = "UniqueItems.txt");

// The classic columns by number, for tables built without a header to go by: key 0,
// code 3, level 4, count 8 and ten slots from column 9.
UniqueItemsLayout ClassicUniqueLayout();

} // namespace tolmere
