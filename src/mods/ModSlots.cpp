#include "mods/ModSlots.h"

namespace tolmere {

const std::string& CellOrEmpty(const CTxtTable& table, std::int32_t row, std::int32_t column) {
    static const std::string empty;
    const std::string* cell = table.Cell(row, column);
    return cell ? *cell : empty;
}

bool SetCellIfPresent(CTxtTable& table, std::int32_t row, std::int32_t column,
                      const std::string& text) {
    std::string* cell = table.Cell(row, column);
    if (!cell)
        return false;
    *cell = text;
    return true;
}

bool SlotUsed(const CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t slot) {
    return !CellOrEmpty(table, row, run.CodeColumn(slot) + kSlotCode).empty();
}

std::int32_t CountUsedSlots(const CTxtTable& table, std::int32_t row, const SlotRun& run) {
    std::int32_t used = 0;
    for (std::int32_t slot = 0; slot < run.slotCount; ++slot)
        used += SlotUsed(table, row, run, slot) ? 1 : 0;
    return used;
}

void FreeSlot(CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t slot) {
    const std::int32_t column = run.CodeColumn(slot);
    SetCellIfPresent(table, row, column + kSlotCode, "");
    for (std::int32_t field : {kSlotParam, kSlotMin, kSlotMax})
        SetCellIfPresent(table, row, column + field, "0");
}

void CopySlot(CTxtTable& table, std::int32_t row, const SlotRun& run, std::int32_t from,
              std::int32_t to) {
    for (std::int32_t field = 0; field < kSlotWidth; ++field)
        SetCellIfPresent(table, row, run.CodeColumn(to) + field,
                         CellOrEmpty(table, row, run.CodeColumn(from) + field));
}

} // namespace tolmere
