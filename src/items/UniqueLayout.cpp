// SPDX-License-Identifier: MIT
#include "items/UniqueLayout.h"

#include "mods/SlotNames.h"

#include <climits>

namespace tolmere {
namespace {

// One layout of "UniqueItems.txt", by the names of the columns the editor uses. A
// layout fits a header that names all of them; the level and the picture are only
// shown, so a header may lack them.
struct UniqueLayoutRule {
    const char* name;
    const char* key;
    const char* code;
    const char* shown;
    const char* count; // nullptr: the layout keeps no count of used slots
    const char* picture;
    SlotNames slots;
    const char* freedValue;
};

const SlotNames kPropSlots{"prop#", "par#", "min#", "max#"};

// In the order they are tried: the classic layout is the 1.10+ one plus a count column.
const UniqueLayoutRule kRules[] = {
    {"classic", "index", "code", "lvl", "nummods", nullptr, kPropSlots, "0"},
    {"1.10+", "index", "code", "lvl", nullptr, "invfile", kPropSlots, ""},
    {"1.09",
     "name",
     "code",
     "Level",
     nullptr,
     nullptr,
     {"ItemMod#Code", "ItemMod#Param", "ItemMod#Min", "ItemMod#Max"},
     ""},
};

UniqueItemsLayout Apply(const UniqueLayoutRule& rule, CColumnFinder& finder) {
    UniqueItemsLayout layout;
    layout.name = rule.name;
    layout.keyColumn = finder.Require(rule.key);
    layout.codeColumn = finder.Require(rule.code);
    layout.shownColumn = finder.Find(rule.shown);
    if (rule.picture)
        layout.pictureColumn = finder.Find(rule.picture);
    if (rule.count)
        layout.modifiers.countColumn = finder.Require(rule.count);
    layout.modifiers.slots = SlotsByName(finder, rule.slots);
    if (layout.modifiers.slots.empty() && finder.Numbers(rule.slots.code).empty())
        finder.Require(CColumnFinder::Numbered(rule.slots.code, 1));
    layout.modifiers.freedValue = rule.freedValue;
    return layout;
}

} // namespace

UniqueItemsLayout RecogniseUniqueItems(const CTxtTable& table, const std::string& fileName) {
    UniqueItemsLayout best;
    std::size_t fewestMissing = SIZE_MAX;
    for (const UniqueLayoutRule& rule : kRules) {
        CColumnFinder finder(table);
        UniqueItemsLayout layout = Apply(rule, finder);
        if (finder.Missing().empty())
            return layout;
        if (finder.Missing().size() < fewestMissing) {
            fewestMissing = finder.Missing().size();
            best = layout;
            best.problem = fileName + ": no column named " + finder.Missing().front();
        }
    }
    // Shown, never written: the items are listed by whichever key column was found.
    best.name = "unknown";
    if (table.ColumnCount() == 0)
        best.problem = fileName + ": no header row";
    if (best.keyColumn < 0)
        best.keyColumn = 0;
    best.codeColumn = -1;
    best.pictureColumn = -1;
    best.modifiers = ModifierSlots{};
    return best;
}

UniqueItemsLayout ClassicUniqueLayout() {
    UniqueItemsLayout layout;
    layout.name = "classic";
    layout.keyColumn = 0;
    layout.codeColumn = 3;
    layout.shownColumn = 4;
    layout.modifiers = ModifierSlots{SlotRun(9, 10), 8, "0"};
    return layout;
}

} // namespace tolmere
