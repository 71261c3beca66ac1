// SPDX-License-Identifier: MIT
// The meaning of the rows of "UniqueItems.txt": items, labels and modifier slots.
#pragma once

#include "items/UniqueLayout.h"
#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <string>

namespace tolmere {

enum class DeleteResult {
    kDeleted,
    kSlotNotUsed, // nothing to delete there
    kProtected,   // the item refuses to lose modifiers (its window shows a message)
    kReadOnly,    // the table's layout is not known well enough to write into it
};

// What the window says when the protected item refuses a delete.
inline const char kProtectedItemMessage[] = "Azurewrath keeps its last three modifiers.";

// Operations on the shared unique items table; holds no data of its own.
class CUniqueModel {
public:
    CUniqueModel(CTxtTable& table, UniqueItemsLayout layout)
        : table_(table), layout_(std::move(layout)) {}

    const UniqueItemsLayout& Layout() const { return layout_; }
    void SetLayout(UniqueItemsLayout layout) { layout_ = std::move(layout); }
    const ModifierSlots& Modifiers() const { return layout_.modifiers; }
    std::int32_t ItemCount() const { return table_.DataRowCount(); }
    std::string Key(std::int32_t row) const {
        return std::string(table_.Text(row, layout_.keyColumn));
    }
    // "key (level)", plus " --- [name]" when a string table has the key, and the
    // table's name after it when that is not patchstring.tbl.
    std::string ItemLabel(std::int32_t row, const CStringTables& strings) const;
    std::int32_t ModifierCount(std::int32_t row) const;
    // The slot Add opens: the first free one, or -1 when every slot is used.
    std::int32_t SlotForNewModifier(std::int32_t row) const;
    // Frees the slot and moves every used slot above it down, in order, into the gap;
    // never overwrites another used slot. Writes the new count into the count column
    // where the layout has one.
    DeleteResult DeleteModifier(std::int32_t row, std::int32_t slot);

private:
    CTxtTable& table_;
    UniqueItemsLayout layout_;
};

// " (expansionstring.tbl)" for a name that is not the editor's own yet; "" for
// patchstring.tbl.
std::string NameSourceNote(StringSource source);

} // namespace tolmere
