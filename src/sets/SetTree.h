// SPDX-License-Identifier: MIT
// The sets of "SetItems.txt" (and, in the game's later layout, "Sets.txt") as a tree:
// each set with its member items, and for every node the modifier slots it lists and
// edits. The layout is found from the tables' header rows.
#pragma once

#include "mods/ModSlots.h"
#include "tables/TxtTable.h"

#include <string>
#include <vector>

namespace tolmere {

// The tables the set editor works on. `sets` is used by the layout that keeps its sets
// in a table of their own; it may be null or empty otherwise.
struct SetTables {
    CTxtTable* setItems = nullptr;
    CTxtTable* sets = nullptr;
};

enum class SetTableId { kSetItems, kSets };

// A run of slots that stand for one thing (an item's own modifiers, the bonus worn
// with three items, the full-set bonus). A delete closes the gap inside its group
// only, because a slot's place between groups is its meaning.
struct SetSlotGroup {
    std::string title; // the list's heading; empty for a node with one group
    // The slots handed to the modifier dialog; the group is edit.slots[first, first +
    // count). The classic layout hands the whole row, with its count column.
    ModifierSlots edit;
    std::int32_t first = 0;
    std::int32_t count = 0;
    bool fixed = false; // modifiers can be edited, never added or deleted

    SlotList Slots() const {
        return SlotList(edit.slots.begin() + first, edit.slots.begin() + first + count);
    }
};

struct SetNode {
    std::int32_t number = 0;  // set r: r; member k of set r: (r + 1) * 1000 + k
    std::int32_t parent = -1; // a member's set node (an index into the tree's nodes)
    std::int32_t member = -1; // the member's index in its set, -1 for a set node
    SetTableId table = SetTableId::kSetItems;
    std::int32_t row = -1; // -1: a set that the set table lacks
    std::int32_t labelColumn = -1;
    std::int32_t shownColumn = -1;     // shown in parentheses after the label
    std::int32_t nameKeyColumn = -1;   // the string key of the shown name
    std::int32_t secondKeyColumn = -1; // the name dialog's second key
    std::int32_t colourColumn = -1;    // the palette dialog's cell, in the node's row
    std::int32_t codeColumn = -1;      // a member's base item code
    std::int32_t pictureColumn = -1;   // a member's own inventory picture, where it has one
    std::string missingSet;            // a set the set table lacks: its name
    std::vector<SetSlotGroup> groups;

    bool IsMember() const { return member >= 0; }
};

struct SetTree {
    // "classic", "1.10+", "1.09" or "unknown".
    std::string layout;
    // Why the tables cannot be edited ("SetItems.txt: no column named prop1"); empty
    // when they can.
    std::string problem;
    bool usesSetsTable = false; // the sets' own bonuses live in "Sets.txt"
    std::string frameText;      // the limits, as the window's frame states them
    std::vector<SetNode> nodes; // each set, followed by its members

    bool Editable() const { return problem.empty(); }
    // The node of that number, or -1.
    std::int32_t Find(std::int32_t number) const;
};

// A set table of the game's later layout ("Sets.txt"): its key column and each row's
// groups of slots. No groups when the header is not such a table's.
struct SetsTableColumns {
    std::int32_t index = -1;
    std::vector<SetSlotGroup> groups;
};
SetsTableColumns FindSetsTableColumns(const CTxtTable& sets);

// The tree the tables' header rows call for. A header no layout fits gives a
// read-only tree of one node per row.
SetTree BuildSetTree(const CTxtTable& setItems, const CTxtTable* sets);

} // namespace tolmere
