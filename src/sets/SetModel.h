// SPDX-License-Identifier: MIT
// The meaning of the set tables' rows: labels of the tree's nodes, the lines of a
// node's modifier list, and the rules for adding and deleting set modifiers. Holds
// no data of its own beyond the tree it reads the tables by.
#pragma once

#include "items/BaseLists.h"
#include "mods/GameData.h"
#include "mods/ModKeys.h"
#include "sets/SetTree.h"
#include "tables/StringTables.h"

#include <string>
#include <vector>

namespace tolmere {

inline const char kSetItemsFixed[] = "The items on sets has a fixed number of modifiers";
inline const char kNoModifierToDelete[] = "No modifier to delete";

// One line of a node's modifier list: a group's heading (slot -1) or a modifier.
struct SetListLine {
    std::int32_t group = 0;
    std::int32_t slot = -1; // the slot in the group's edit slots
    std::string text;
    std::string column; // the header name of the slot's code column; empty for a heading
};

// The numbers the window's status line shows for a node.
struct SetRowInfo {
    std::int32_t number = 0;
    std::int32_t row = -1;
    std::int32_t member = -1;
    std::int32_t itemCount = 0;     // members of the node's set
    std::int32_t modifierCount = 0; // the classic count column; elsewhere the set's used slots
    std::int32_t listed = 0;        // the modifiers the node lists
};

// Where Add puts a modifier, or why it cannot.
struct SetAddTarget {
    std::int32_t group = -1;
    std::int32_t slot = -1; // in the group's edit slots
    std::string refusal;    // the message when there is no slot
};

class CSetModel {
public:
    explicit CSetModel(SetTables tables) : tables_(tables) { Rebuild(); }

    // Reads the layout and the tree again, after the tables changed shape.
    void Rebuild() { tree_ = BuildSetTree(*tables_.setItems, tables_.sets); }
    const SetTree& Tree() const { return tree_; }
    const SetNode& Node(std::int32_t index) const {
        return tree_.nodes[static_cast<std::size_t>(index)];
    }
    std::int32_t NodeCount() const { return static_cast<std::int32_t>(tree_.nodes.size()); }

    // The table a node's row belongs to; null for a set the set table lacks.
    CTxtTable* TableOf(const SetNode& node) const;
    std::string TableName(const SetNode& node) const;

    // The tree's label: the label cell, " (shown)" and " --- [name]" when a string
    // table has the name's key (with the table's name when it is not patchstring.tbl).
    std::string Label(const SetNode& node, const CStringTables& strings) const;
    std::string NameKey(const SetNode& node) const;
    std::string SecondKey(const SetNode& node) const;

    SetRowInfo Info(std::int32_t index) const;
    // The inventory picture a member shows: its own, else its base item's set picture,
    // else the base item's own. Empty for a set node or when there is none.
    std::string PictureName(const SetNode& node, const CBaseLists& lists) const;
    // Headings (for a node of several groups) and each group's modifiers in the words
    // of the unique item list.
    std::vector<SetListLine> Lines(const SetNode& node, const CModKeys& keys, const CGameData& game,
                                   const CStringTables& strings) const;

    // Add on `group` (-1: the node's first group that takes one).
    SetAddTarget SlotForNewModifier(const SetNode& node, std::int32_t group) const;
    // Why the group's modifiers (-1: any of the node's) cannot be deleted; empty when
    // they can.
    std::string DeleteRefusal(const SetNode& node, std::int32_t group) const;
    // Frees the slot and closes the gap inside its group; the classic layout's count
    // column takes the row's new count. False when the slot holds nothing.
    bool DeleteModifier(const SetNode& node, std::int32_t group, std::int32_t slot);

private:
    SetTables tables_;
    SetTree tree_;
};

} // namespace tolmere
