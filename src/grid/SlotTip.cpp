// SPDX-License-Identifier: MIT
#include "grid/SlotTip.h"

namespace tolmere {
namespace {

// A label of "-" (or none, for the parameter) marks a cell the property does not read.
std::string Meaning(const std::string& label) {
    return label.empty() || label == "-" ? std::string("not read") : label;
}

} // namespace

std::string SlotCellTip(const CModifierChoices& choices, SlotPart part, std::string_view code) {
    if (code.empty() || part == SlotPart::kNone)
        return std::string();
    static const char* const kParts[] = {"", "Parameter", "Min", "Max"};
    const char* const what = kParts[static_cast<int>(part)];
    const int found = choices.Find(code);
    if (found < 0)
        return std::string(what) + " of '" + std::string(code) +
               "', a property code the list does not hold: what it means is not known.";
    const ModifierChoice& choice = choices.Entries()[static_cast<std::size_t>(found)];
    const std::string param =
        Meaning(choice.param == ParamKind::kNone ? std::string() : choice.paramLabel);
    const std::string min = Meaning(choice.minLabel);
    const std::string max = Meaning(choice.maxLabel);
    const std::string& meaning = part == SlotPart::kParam ? param
                                 : part == SlotPart::kMin ? min
                                                          : max;
    return std::string(what) + " of " + choice.text + ": " + meaning + "\nParameter: " + param +
           "; min: " + min + "; max: " + max;
}

} // namespace tolmere
