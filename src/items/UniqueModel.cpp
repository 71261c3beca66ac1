// SPDX-License-Identifier: MIT
#include "items/UniqueModel.h"

namespace tolmere {
namespace {

// An item whose modifiers are never cut below this many.
const char kProtectedItem[] = "Azurewrath";
constexpr std::int32_t kProtectedMinimum = 3;

} // namespace

std::string NameSourceNote(StringSource source) {
    if (source == StringSource::kPatch)
        return std::string();
    return std::string(" (") + CStringTables::FileName(source) + ")";
}

std::string CUniqueModel::ItemLabel(std::int32_t row, const CStringTables& strings) const {
    const std::string key = Key(row);
    std::string label = key + " (" + std::string(table_.Text(row, layout_.shownColumn)) + ")";
    const CStringTables::Found found = strings.Lookup(key);
    if (found.entry)
        label += " --- [" + found.entry->text + "]" + NameSourceNote(found.source);
    return label;
}

std::int32_t CUniqueModel::ModifierCount(std::int32_t row) const {
    return CountUsedSlots(table_, row, layout_.modifiers.slots);
}

std::int32_t CUniqueModel::SlotForNewModifier(std::int32_t row) const {
    return FirstFreeSlot(table_, row, layout_.modifiers.slots);
}

DeleteResult CUniqueModel::DeleteModifier(std::int32_t row, std::int32_t slot) {
    if (!layout_.Editable())
        return DeleteResult::kReadOnly;
    const ModifierSlots& mods = layout_.modifiers;
    if (!mods.HasSlot(slot) || !SlotUsed(table_, row, mods.Slot(slot)))
        return DeleteResult::kSlotNotUsed;
    const std::int32_t count = CountUsedSlots(table_, row, mods.slots);
    if (Key(row) == kProtectedItem && count <= kProtectedMinimum)
        return DeleteResult::kProtected;

    FreeSlotClosingGap(table_, row, mods.slots, slot, mods.freedValue);
    if (mods.countColumn >= 0)
        table_.SetCell(row, mods.countColumn, std::to_string(count - 1));
    return DeleteResult::kDeleted;
}

} // namespace tolmere
