// SPDX-License-Identifier: MIT
#include "mods/ModifierEdit.h"

namespace tolmere {
namespace {

bool Holds(const CTxtTable& table, std::int32_t row, const SlotColumns& slot,
           const std::string& code) {
    // An empty code cell is a free slot, not one holding an empty code.
    const std::string_view held = table.Text(row, slot.code);
    return !held.empty() && held == code;
}

bool CellExists(const CTxtTable& table, std::int32_t row, std::int32_t column) {
    return table.Cell(row, column).has_value();
}

} // namespace

ModifierPlan PlanModifier(const CTxtTable& table, std::int32_t row, std::int32_t slot,
                          const ModifierSlots& layout, const std::string& code) {
    ModifierPlan plan;
    plan.editing = layout.HasSlot(slot) && SlotUsed(table, row, layout.Slot(slot));
    for (std::int32_t other = 0; other < layout.SlotCount(); ++other) {
        if (!Holds(table, row, layout.Slot(other), code))
            continue;
        if (!plan.editing)
            plan.holders.push_back(other);
        else if (other != slot && plan.heldElsewhere < 0)
            plan.heldElsewhere = other;
    }
    return plan;
}

std::int32_t SettleModifierTarget(const ModifierPlan& plan, std::int32_t slot,
                                  const std::function<bool(const std::string&)>& ask,
                                  const std::function<void(const std::string&)>& refuse) {
    if (plan.editing) {
        // No question: an edit is one step of the undo history.
        if (plan.heldElsewhere >= 0) {
            refuse(kModifierHeldElsewhere);
            return -1;
        }
        return slot;
    }
    std::int32_t target = slot;
    for (std::int32_t holder : plan.holders) {
        if (!ask(kAskOverwriteModifier))
            return -1;
        target = holder;
    }
    return target;
}

bool WriteModifier(CTxtTable& table, std::int32_t row, std::int32_t slot,
                   const ModifierSlots& layout, const ModifierValues& values) {
    if (!layout.HasSlot(slot))
        return false;
    const SlotColumns& target = layout.Slot(slot);
    // Every cell a write touches must exist before any of them is set: a file narrower
    // than its layout would otherwise take the code but lose the values or the count.
    std::vector<std::int32_t> needed{target.code, target.min, target.max};
    if (values.param)
        needed.push_back(target.param);
    if (layout.countColumn >= 0)
        needed.push_back(layout.countColumn);
    for (std::int32_t column : needed) {
        if (!CellExists(table, row, column))
            return false;
    }
    table.SetCell(row, target.code, values.code);
    if (values.param)
        table.SetCell(row, target.param, *values.param);
    table.SetCell(row, target.min, values.min);
    table.SetCell(row, target.max, values.max);
    if (layout.countColumn >= 0)
        table.SetCell(row, layout.countColumn,
                      std::to_string(CountUsedSlots(table, row, layout.slots)));
    return true;
}

} // namespace tolmere
