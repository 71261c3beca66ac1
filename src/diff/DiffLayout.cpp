// SPDX-License-Identifier: MIT
#include "diff/DiffLayout.h"

#include "items/UniqueLayout.h"
#include "sets/SetTree.h"

#include <map>

namespace tolmere {
namespace {

// The layout's slots, each once, found by its code column.
class CSlotIndex {
public:
    explicit CSlotIndex(ModifierSlots& modifiers) : modifiers_(modifiers) {}
    std::int32_t Of(const SlotColumns& slot) {
        const auto found = byCode_.try_emplace(slot.code, modifiers_.SlotCount());
        if (found.second)
            modifiers_.slots.push_back(slot);
        return found.first->second;
    }

private:
    ModifierSlots& modifiers_;
    std::map<std::int32_t, std::int32_t> byCode_;
};

SlotGroup GroupOf(std::string id, const SetSlotGroup& group, CSlotIndex& index) {
    SlotGroup out{std::move(id), {}};
    for (const SlotColumns& slot : group.Slots())
        out.slots.push_back(index.Of(slot));
    return out;
}

// A set items table's rows hold one node (a member) or several (a set and its members):
// a group is known by its node's place among the row's nodes and its place in the node.
// A slot no node of its row lists (a member beyond the set's count) is a group alone,
// so that no cell goes uncompared.
DiffLayout SetItemsLayout(const CTxtTable& table, const SetTree& tree) {
    DiffLayout layout;
    CSlotIndex index(layout.modifiers);
    layout.rowGroups.resize(static_cast<std::size_t>(table.DataRowCount()));
    std::vector<std::int32_t> nodesOnRow(layout.rowGroups.size(), 0);
    bool keyFound = false;
    for (const SetNode& node : tree.nodes) {
        if (node.row < 0 || node.row >= table.DataRowCount() || node.table != SetTableId::kSetItems)
            continue;
        if (!keyFound) {
            layout.keyColumn = node.labelColumn;
            keyFound = true;
        }
        const std::size_t row = static_cast<std::size_t>(node.row);
        const std::string place = std::to_string(nodesOnRow[row]++) + "/";
        for (std::size_t g = 0; g < node.groups.size(); ++g) {
            const SetSlotGroup& group = node.groups[g];
            if (group.edit.countColumn >= 0)
                layout.modifiers.countColumn = group.edit.countColumn;
            layout.rowGroups[row].push_back(GroupOf(place + std::to_string(g), group, index));
        }
    }
    for (std::vector<SlotGroup>& groups : layout.rowGroups) {
        std::vector<bool> listed(static_cast<std::size_t>(layout.modifiers.SlotCount()), false);
        for (const SlotGroup& group : groups)
            for (std::int32_t slot : group.slots)
                listed[static_cast<std::size_t>(slot)] = true;
        for (std::int32_t slot = 0; slot < layout.modifiers.SlotCount(); ++slot) {
            if (!listed[static_cast<std::size_t>(slot)])
                groups.push_back(
                    {"=" + std::string(
                               table.HeaderCell(layout.modifiers.CodeColumn(slot)).value_or("")),
                     {slot}});
        }
    }
    return layout;
}

// A set table's rows all have the same groups: its partial bonuses and its full one.
DiffLayout SetsLayout(const std::vector<SetSlotGroup>& groups) {
    DiffLayout layout;
    CSlotIndex index(layout.modifiers);
    for (std::size_t g = 0; g < groups.size(); ++g)
        layout.groups.push_back(GroupOf(std::to_string(g), groups[g], index));
    return layout;
}

} // namespace

DiffLayout DiffLayoutOf(const CTxtTable& table) {
    DiffLayout layout;
    const UniqueItemsLayout unique = RecogniseUniqueItems(table);
    if (unique.Editable()) {
        layout.keyColumn = unique.keyColumn;
        layout.modifiers = unique.modifiers;
        // A unique item's slots are all its own.
        SlotGroup all;
        for (std::int32_t slot = 0; slot < layout.modifiers.SlotCount(); ++slot)
            all.slots.push_back(slot);
        layout.groups = {all};
        return layout;
    }
    const SetTree tree = BuildSetTree(table, nullptr);
    if (tree.Editable())
        return SetItemsLayout(table, tree);
    const SetsTableColumns sets = FindSetsTableColumns(table);
    if (!sets.groups.empty()) {
        layout = SetsLayout(sets.groups);
        layout.keyColumn = sets.index;
    }
    return layout;
}

} // namespace tolmere
