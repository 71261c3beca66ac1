// SPDX-License-Identifier: MIT
// The rules by which one slot of an item row takes a modifier: which slot it lands in,
// what must be settled with the user first, and the cells that are written. The
// window asks the questions; the command line answers them from its flags.
#pragma once

#include "mods/ModSlots.h"
#include "tables/TxtTable.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolmere {

inline const char kAskOverwriteModifier[] = "Modifier already existed, overwrite ?";
inline const char kModifierHeldElsewhere[] = "Modifier already existed somewhere else.";
inline const char kCannotAddModifiers[] = "Cannot add more modifiers";

// What writing a code into a slot involves.
struct ModifierPlan {
    // The slot holds a code already: the user is changing that modifier.
    bool editing = false;
    // Editing: another slot that holds the new code; the change is then refused.
    std::int32_t heldElsewhere = -1;
    // Adding: every slot that holds the new code already, in slot order. Each is offered
    // for overwriting, and the last one accepted takes the modifier instead.
    std::vector<std::int32_t> holders;
};

ModifierPlan PlanModifier(const CTxtTable& table, std::int32_t row, std::int32_t slot,
                          const ModifierSlots& layout, const std::string& code);

// Settles a plan for `slot`: puts each of its questions to `ask` in turn (true for
// Yes) and reports a refusal through `refuse`. Returns the slot that takes the
// modifier, or -1 when a question was declined or the change is refused.
std::int32_t SettleModifierTarget(const ModifierPlan& plan, std::int32_t slot,
                                  const std::function<bool(const std::string&)>& ask,
                                  const std::function<void(const std::string&)>& refuse);

struct ModifierValues {
    std::string code;
    std::optional<std::string> param; // nothing: the parameter cell keeps its text
    std::string min;
    std::string max;
};

// Writes the values into `slot` of `row`, and the number of used slots into the count
// column where the layout has one. Nothing else of the row changes. False, with
// nothing written, when the row or a cell the write needs does not exist.
bool WriteModifier(CTxtTable& table, std::int32_t row, std::int32_t slot,
                   const ModifierSlots& layout, const ModifierValues& values);

} // namespace tolmere
