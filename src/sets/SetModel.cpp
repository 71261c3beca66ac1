// SPDX-License-Identifier: MIT
#include "sets/SetModel.h"

#include "items/ItemPictures.h"
#include "items/UniqueModel.h"
#include "mods/GameDescribe.h"
#include "mods/ModifierEdit.h"

#include <algorithm>

namespace tolmere {
namespace {

// A count cell as the designers' tools read it; 0 when it holds no number.
std::int32_t CountCell(std::string_view text) {
    return static_cast<std::int32_t>(CellNumber(text).value_or(0));
}

std::int32_t UsedIn(const CTxtTable* table, std::int32_t row, const SetSlotGroup& group) {
    return table ? CountUsedSlots(*table, row, group.Slots()) : 0;
}

std::int32_t UsedIn(const CTxtTable* table, const SetNode& node) {
    std::int32_t used = 0;
    for (const SetSlotGroup& group : node.groups)
        used += UsedIn(table, node.row, group);
    return used;
}

bool IsClassic(const SetSlotGroup& group) {
    return group.edit.countColumn >= 0;
}

} // namespace

CTxtTable* CSetModel::TableOf(const SetNode& node) const {
    if (node.row < 0)
        return nullptr;
    return node.table == SetTableId::kSets ? tables_.sets : tables_.setItems;
}

std::string CSetModel::TableName(const SetNode& node) const {
    return node.table == SetTableId::kSets ? "Sets.txt" : "SetItems.txt";
}

std::string CSetModel::NameKey(const SetNode& node) const {
    const CTxtTable* table = TableOf(node);
    return table ? std::string(table->Text(node.row, node.nameKeyColumn)) : std::string();
}

std::string CSetModel::SecondKey(const SetNode& node) const {
    const CTxtTable* table = TableOf(node);
    return table ? std::string(table->Text(node.row, node.secondKeyColumn)) : std::string();
}

std::string CSetModel::Label(const SetNode& node, const CStringTables& strings) const {
    const CTxtTable* table = TableOf(node);
    if (!table)
        return node.missingSet.empty() ? "(no set)" : node.missingSet + " (not in Sets.txt)";
    std::string label(table->Text(node.row, node.labelColumn));
    if (node.shownColumn >= 0)
        label += " (" + std::string(table->Text(node.row, node.shownColumn)) + ")";
    const CStringTables::Found found = strings.Lookup(NameKey(node));
    if (found.entry && node.nameKeyColumn >= 0)
        label += " --- [" + found.entry->text + "]" + NameSourceNote(found.source);
    return label;
}

std::string CSetModel::PictureName(const SetNode& node, const CBaseLists& lists) const {
    const CTxtTable* table = TableOf(node);
    if (!table || !node.IsMember())
        return std::string();
    return ItemPictureName(lists, std::string(table->Text(node.row, node.codeColumn)),
                           std::string(table->Text(node.row, node.pictureColumn)),
                           ItemQuality::kSet);
}

SetRowInfo CSetModel::Info(std::int32_t index) const {
    const SetNode& node = Node(index);
    SetRowInfo info;
    info.number = node.number;
    info.row = node.row;
    info.member = node.member;
    const std::int32_t setIndex = node.IsMember() ? node.parent : index;
    const SetNode& set = Node(setIndex);
    for (const SetNode& other : tree_.nodes)
        info.itemCount += other.parent == setIndex ? 1 : 0;
    const CTxtTable* table = TableOf(node);
    if (!node.groups.empty() && IsClassic(node.groups.front())) {
        // The designers' count column, trusted as their tools trusted it.
        info.modifierCount = CountCell(table->Text(node.row, node.groups.front().edit.countColumn));
        info.listed = node.IsMember() ? 2 : std::max(0, info.modifierCount - 2 * info.itemCount);
        return info;
    }
    info.listed = UsedIn(table, node);
    info.modifierCount = UsedIn(TableOf(set), set);
    for (const SetNode& other : tree_.nodes) {
        if (other.parent == setIndex)
            info.modifierCount += UsedIn(TableOf(other), other);
    }
    return info;
}

std::vector<SetListLine> CSetModel::Lines(const SetNode& node, const CModKeys& keys,
                                          const CGameData& game,
                                          const CStringTables& strings) const {
    std::vector<SetListLine> lines;
    const CTxtTable* table = TableOf(node);
    if (!table)
        return lines;
    for (std::size_t g = 0; g < node.groups.size(); ++g) {
        const SetSlotGroup& group = node.groups[g];
        const auto gi = static_cast<std::int32_t>(g);
        if (node.groups.size() > 1)
            lines.push_back({gi, -1, group.title, std::string()});
        const ModifierSlots run{group.Slots(), group.edit.countColumn, group.edit.freedValue};
        for (const ModLine& line : DescribeModifiers(*table, node.row, run, keys, game, strings)) {
            const std::int32_t slot = group.first + line.slot;
            const std::string column(
                table->HeaderCell(group.edit.CodeColumn(slot)).value_or(std::string_view()));
            lines.push_back({gi, slot, line.text, column});
        }
    }
    return lines;
}

SetAddTarget CSetModel::SlotForNewModifier(const SetNode& node, std::int32_t group) const {
    SetAddTarget target;
    const CTxtTable* table = TableOf(node);
    if (!tree_.Editable() || !table) {
        target.refusal = tree_.Editable() ? node.missingSet.empty()
                                                ? "These items belong to no set."
                                                : node.missingSet + " is not in Sets.txt."
                                          : tree_.problem + "\nThe table is read-only.";
        return target;
    }
    bool anyOpen = false;
    for (std::size_t g = 0; g < node.groups.size(); ++g) {
        if (group >= 0 && static_cast<std::int32_t>(g) != group)
            continue;
        const SetSlotGroup& candidate = node.groups[g];
        if (candidate.fixed)
            continue;
        anyOpen = true;
        const std::int32_t free = FirstFreeSlot(*table, node.row, candidate.Slots());
        if (free >= 0) {
            target.group = static_cast<std::int32_t>(g);
            target.slot = candidate.first + free;
            return target;
        }
    }
    target.refusal = anyOpen || node.groups.empty() ? kCannotAddModifiers : kSetItemsFixed;
    return target;
}

std::string CSetModel::DeleteRefusal(const SetNode& node, std::int32_t group) const {
    const CTxtTable* table = TableOf(node);
    if (!tree_.Editable())
        return tree_.problem + "\nThe table is read-only.";
    if (group >= static_cast<std::int32_t>(node.groups.size()))
        return kNoModifierToDelete;
    bool anyOpen = false;
    std::int32_t used = 0;
    for (std::size_t g = 0; g < node.groups.size(); ++g) {
        const SetSlotGroup& candidate = node.groups[g];
        if ((group >= 0 && static_cast<std::int32_t>(g) != group) || candidate.fixed)
            continue;
        anyOpen = true;
        used += UsedIn(table, node.row, candidate);
    }
    if (!anyOpen && !node.groups.empty())
        return kSetItemsFixed;
    return used == 0 ? kNoModifierToDelete : std::string();
}

bool CSetModel::DeleteModifier(const SetNode& node, std::int32_t group, std::int32_t slot) {
    CTxtTable* table = TableOf(node);
    if (!DeleteRefusal(node, group).empty())
        return false;
    const SetSlotGroup& chosen = node.groups[static_cast<std::size_t>(group)];
    if (slot < chosen.first || slot >= chosen.first + chosen.count ||
        !SlotUsed(*table, node.row, chosen.edit.Slot(slot)))
        return false;
    FreeSlotClosingGap(*table, node.row, chosen.Slots(), slot - chosen.first,
                       chosen.edit.freedValue);
    if (IsClassic(chosen))
        table->SetCell(node.row, chosen.edit.countColumn,
                       std::to_string(CountUsedSlots(*table, node.row, chosen.edit.slots)));
    return true;
}

} // namespace tolmere
