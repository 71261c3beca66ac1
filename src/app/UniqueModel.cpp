#include "app/UniqueModel.h"

namespace tolmere {
namespace {

// An item whose modifiers are never cut below this many.
const char kProtectedItem[] = "Azurewrath";
constexpr std::int32_t kProtectedMinimum = 3;

} // namespace

std::string CUniqueModel::ItemLabel(std::int32_t row, const CStrTbl& strings) const {
    const std::string key(table_.Text(row, layout_.keyColumn));
    std::string label = key + " (" + std::string(table_.Text(row, layout_.shownColumn)) + ")";
    if (const StrEntry* entry = strings.Find(key))
        label += " --- [" + entry->text + "]";
    return label;
}

std::int32_t CUniqueModel::ModifierCount(std::int32_t row) const {
    return CountUsedSlots(table_, row, layout_.slots);
}

std::int32_t CUniqueModel::SlotForNewModifier(std::int32_t row) const {
    std::int32_t count = ModifierCount(row);
    return count < layout_.slots.slotCount ? count : -1;
}

DeleteResult CUniqueModel::DeleteModifier(std::int32_t row, std::int32_t slot) {
    const SlotRun& run = layout_.slots;
    if (slot < 0 || slot >= run.slotCount || !SlotUsed(table_, row, run, slot))
        return DeleteResult::kSlotNotUsed;
    const std::int32_t count = CountUsedSlots(table_, row, run);
    if (table_.Text(row, layout_.keyColumn) == kProtectedItem && count <= kProtectedMinimum)
        return DeleteResult::kProtected;

    FreeSlot(table_, row, run, slot);
    table_.SetCell(row, layout_.countColumn, std::to_string(count - 1));
    // Every slot from `target` up to the one being looked at is free, so a move never
    // lands on a used slot; with packed slots this is exactly closing the gap.
    std::int32_t target = slot;
    for (std::int32_t from = slot + 1; from < run.slotCount; ++from) {
        if (!SlotUsed(table_, row, run, from))
            continue;
        CopySlot(table_, row, run, from, target);
        FreeSlot(table_, row, run, from);
        ++target;
    }
    return DeleteResult::kDeleted;
}

} // namespace tolmere
