// SPDX-License-Identifier: MIT
// What a slot's code and parameter name: a property, a skill, a skill tab, a class.
#include "lint/LintContext.h"
#include "mods/PropertyReads.h"

#include <strings.h>

namespace tolmere {
namespace {

constexpr std::int32_t kLastSkillTab = 20;         // three tabs for each of the seven classes
constexpr std::int32_t kLastClass = 6;             // Amazon 0 ... Assassin 6
constexpr std::int32_t kRandomClassSkillFunc = 36; // a class from min to max
constexpr std::int32_t kClassSkillsFunc = 21;      // the class is the stat's parameter

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

bool AnyStat(const PropertyDef* def, bool (*test)(const PropertyStat&)) {
    if (!def)
        return false;
    for (const PropertyStat& stat : def->stats) {
        if (test(stat))
            return true;
    }
    return false;
}

std::string_view Trimmed(std::string_view code) {
    const std::size_t first = code.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::string_view();
    return code.substr(first, code.find_last_not_of(" \t") - first + 1);
}

// Reports the cell when it holds a number outside [0, last].
void CheckIndex(const LintedTable& linted, std::int32_t row, std::int32_t column, std::int32_t last,
                const char* what, Problems& out) {
    const std::string_view cell = linted.table->Text(row, column);
    const std::optional<std::int64_t> value = CellNumber(cell);
    if (cell.empty() || (value && *value >= 0 && *value <= last))
        return;
    const std::string range = "0-" + std::to_string(last);
    out.push_back(ProblemAt(
        linted, row, column, Severity::kError,
        std::string(what) + " " + Quoted(cell) +
            (value ? " is outside " + range : " is no number of " + range + ": the game reads 0")));
}

} // namespace

void CheckPropertyCodes(const LintContext& context, Problems& out) {
    ForEachGameSlot(context, [&](const LintedTable& linted, std::int32_t row,
                                 const SlotColumns& slot, std::string_view code,
                                 const PropertyDef* def) {
        if (code.front() == '*') {
            out.push_back(ProblemAt(linted, row, slot.code, Severity::kNote,
                                    "a disabled slot: the game skips " + Quoted(code)));
            return;
        }
        const std::string_view trimmed = Trimmed(code);
        if (trimmed.size() != code.size()) {
            std::string text = Quoted(code) + " has spaces around it, which the game keeps";
            if (context.game->HasProperty(trimmed))
                text += ": Properties.txt has " + Quoted(trimmed) + ", not " + Quoted(code);
            out.push_back(ProblemAt(linted, row, slot.code, Severity::kError, text));
        } else if (!def) {
            out.push_back(ProblemAt(linted, row, slot.code, Severity::kError,
                                    "Properties.txt has no property " + Quoted(code) +
                                        ": the game ignores the slot"));
        }
    });
}

void CheckSkillParams(const LintContext& context, Problems& out) {
    if (!context.game || context.game->Skills().empty())
        return;
    ForEachGameSlot(context, [&](const LintedTable& linted, std::int32_t row,
                                 const SlotColumns& slot, std::string_view,
                                 const PropertyDef* def) {
        if (!AnyStat(def, [](const PropertyStat& stat) { return ReadsSkill(stat.func); }))
            return;
        const std::string_view param = linted.table->Text(row, slot.param);
        if (param.empty() || context.game->Skill(param))
            return;
        const char* by = CellNumber(param) ? "number" : "name";
        out.push_back(
            ProblemAt(linted, row, slot.param, Severity::kError,
                      "Skills.txt has no skill of the " + std::string(by) + " " + Quoted(param)));
    });
}

void CheckSkillTabs(const LintContext& context, Problems& out) {
    ForEachGameSlot(context, [&](const LintedTable& linted, std::int32_t row,
                                 const SlotColumns& slot, std::string_view,
                                 const PropertyDef* def) {
        if (AnyStat(def, [](const PropertyStat& stat) {
                return ReadsParam(stat.func) &&
                       ::strcasecmp(stat.stat.c_str(), "item_addskill_tab") == 0;
            }))
            CheckIndex(linted, row, slot.param, kLastSkillTab, "the skill tab", out);
    });
}

void CheckClassParams(const LintContext& context, Problems& out) {
    ForEachGameSlot(context, [&](const LintedTable& linted, std::int32_t row,
                                 const SlotColumns& slot, std::string_view,
                                 const PropertyDef* def) {
        if (AnyStat(def,
                    [](const PropertyStat& stat) { return stat.func == kRandomClassSkillFunc; })) {
            CheckIndex(linted, row, slot.min, kLastClass, "the class", out);
            CheckIndex(linted, row, slot.max, kLastClass, "the class", out);
        } else if (AnyStat(def, [](const PropertyStat& stat) {
                       return stat.func == kClassSkillsFunc && !stat.val;
                   })) {
            CheckIndex(linted, row, slot.param, kLastClass, "the class", out);
        }
    });
}

} // namespace tolmere
