#include "mods/ModSlots.h"

namespace tolmere {

bool SlotUsed(const CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t slot) {
    return !table.Text(row, run.CodeColumn(slot) + kSlotCode).empty();
}

std::int32_t CountUsedSlots(const CTxtTable& table, std::int32_t row, const SlotRun& run) {
    std::int32_t used = 0;
    for (std::int32_t slot = 0; slot < run.slotCount; ++slot)
        used += SlotUsed(table, row, run, slot) ? 1 : 0;
    return used;
}

void FreeSlot(CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t slot) {
    const std::int32_t column = run.CodeColumn(slot);
    table.SetCell(row, column + kSlotCode, "");
    for (std::int32_t field : {kSlotParam, kSlotMin, kSlotMax})
        table.SetCell(row, column + field, "0");
}

void CopySlot(CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t from,
              std::int32_t to) {
    // A copy: the source's view may not outlive setting another cell's text.
    for (std::int32_t field = 0; field < kSlotWidth; ++field)
        table.SetCell(row, run.CodeColumn(to) + field,
                      std::string(table.Text(row, run.CodeColumn(from) + field)));
}

} // namespace tolmere
