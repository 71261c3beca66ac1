// SPDX-License-Identifier: MIT
#include "mods/ModSlots.h"

namespace tolmere {
namespace {

constexpr SlotField kFields[] = {kSlotCode, kSlotParam, kSlotMin, kSlotMax};

} // namespace

SlotList SlotRun(std::int32_t firstColumn, std::int32_t count, std::int32_t stride) {
    SlotList slots;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t c = firstColumn + i * stride;
        slots.push_back({c + kSlotCode, c + kSlotParam, c + kSlotMin, c + kSlotMax});
    }
    return slots;
}

bool SlotUsed(const CTxtTable& table, std::int32_t row, const SlotColumns& slot) {
    return !table.Text(row, slot.code).empty();
}

std::int32_t CountUsedSlots(const CTxtTable& table, std::int32_t row, const SlotList& slots) {
    std::int32_t used = 0;
    for (const SlotColumns& slot : slots)
        used += SlotUsed(table, row, slot) ? 1 : 0;
    return used;
}

std::int32_t FirstFreeSlot(const CTxtTable& table, std::int32_t row, const SlotList& slots) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (!SlotUsed(table, row, slots[i]))
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

void FreeSlot(CTxtTable& table, std::int32_t row, const SlotColumns& slot,
              const std::string& freedValue) {
    table.SetCell(row, slot.code, "");
    for (std::int32_t column : {slot.param, slot.min, slot.max})
        table.SetCell(row, column, freedValue);
}

void CopySlot(CTxtTable& table, std::int32_t row, const SlotColumns& from, const SlotColumns& to) {
    // A copy: the source's view may not outlive setting another cell's text.
    for (SlotField field : kFields)
        table.SetCell(row, to.Column(field), std::string(table.Text(row, from.Column(field))));
}

void FreeSlotClosingGap(CTxtTable& table, std::int32_t row, const SlotList& slots,
                        std::int32_t slot, const std::string& freedValue) {
    FreeSlot(table, row, slots[static_cast<std::size_t>(slot)], freedValue);
    // Every slot from `target` up to the one being looked at is free, so a move never
    // lands on a used slot; with packed slots this is exactly closing the gap.
    std::size_t target = static_cast<std::size_t>(slot);
    for (std::size_t from = target + 1; from < slots.size(); ++from) {
        if (!SlotUsed(table, row, slots[from]))
            continue;
        CopySlot(table, row, slots[from], slots[target]);
        FreeSlot(table, row, slots[from], freedValue);
        ++target;
    }
}

} // namespace tolmere
