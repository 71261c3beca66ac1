// The meaning of the rows of "UniqueItems.txt": items, labels and modifier slots.
#pragma once

#include "app/UniqueLayout.h"
#include "tables/StrTbl.h"
#include "tables/TxtTable.h"

#include <string>

namespace tolmere {

enum class DeleteResult {
    kDeleted,
    kSlotNotUsed, // nothing to delete there
    kProtected,   // the item refuses to lose modifiers (its window shows a message)
};

// Operations on the shared unique items table; holds no data of its own.
class CUniqueModel {
public:
    explicit CUniqueModel(CTxtTable& table, UniqueItemsLayout layout = kClassicUniqueLayout)
        : table_(table), layout_(layout) {}

    const UniqueItemsLayout& Layout() const { return layout_; }
    std::int32_t ItemCount() const { return table_.DataRowCount(); }
    // "key (shown)", plus " --- [name]" when the string table has the key.
    std::string ItemLabel(std::int32_t row, const CStrTbl& strings) const;
    std::int32_t ModifierCount(std::int32_t row) const;
    // The slot Add opens: the modifier count when below the slot count, otherwise -1.
    std::int32_t SlotForNewModifier(std::int32_t row) const;
    // Frees the slot and moves every used slot above it down, in order, into the gap;
    // never overwrites another used slot. Writes the new count into the count column.
    DeleteResult DeleteModifier(std::int32_t row, std::int32_t slot);

private:
    CTxtTable& table_;
    UniqueItemsLayout layout_;
};

} // namespace tolmere
