#include "mods/ModifierEdit.h"

#include "app/Guide.h"

namespace tolmere {
namespace {

bool Holds(const CTxtTable& table, std::int32_t row, const ModifierPlacing& placing,
           std::int32_t slot, const std::string& code) {
    // An empty code cell is a free slot, not one holding an empty code.
    const std::string_view held = table.Text(row, placing.Column(slot, kSlotCode));
    return !held.empty() && held == code;
}

bool CellExists(const CTxtTable& table, std::int32_t row, std::int32_t column) {
    return table.Cell(row, column).has_value();
}

// Every cell a write touches must exist before any of them is set: a file narrower than
// the layout would otherwise take the code but lose the values or the count.
bool CanWrite(const CTxtTable& table, std::int32_t row, std::int32_t slot,
              const ModifierPlacing& placing) {
    if (slot < 0 || slot >= placing.slotCount)
        return false;
    for (std::int32_t field : {kSlotCode, kSlotMin, kSlotMax}) {
        if (!CellExists(table, row, placing.Column(slot, field)))
            return false;
    }
    return CellExists(table, row, placing.countColumn);
}

} // namespace

bool ApplyModifier(CTxtTable& table, std::int32_t row, std::int32_t slot,
                   const ModifierPlacing& placing, const std::string& code,
                   const std::string& minimumCell, const std::string& maximumCell) {
    std::int32_t target = slot;
    const bool editing = !table.Text(row, placing.Column(slot, kSlotCode)).empty();
    if (editing) {
        if (!GuideConfirm("Change this modifier ?"))
            return false;
        for (std::int32_t other = 0; other < placing.slotCount; ++other) {
            if (other != slot && Holds(table, row, placing, other, code)) {
                GuideMsg("Modifier already existed somewhere else.", kCaptionGuide);
                return false;
            }
        }
    } else {
        for (std::int32_t other = 0; other < placing.slotCount; ++other) {
            if (!Holds(table, row, placing, other, code))
                continue;
            if (!GuideConfirm("Modifier already existed, overwrite ?"))
                return false;
            target = other;
        }
    }

    if (!CanWrite(table, row, target, placing)) {
        GuideMsg("Failed.", kCaptionGuide);
        return false;
    }
    table.SetCell(row, placing.Column(target, kSlotCode), code);
    table.SetCell(row, placing.Column(target, kSlotMin), minimumCell);
    table.SetCell(row, placing.Column(target, kSlotMax), maximumCell);
    table.SetCell(row, placing.countColumn,
                  std::to_string(CountUsedSlots(table, row, placing.Run())));
    return true;
}

} // namespace tolmere
