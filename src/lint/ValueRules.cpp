// SPDX-License-Identifier: MIT
// A slot's values: numbers the game reads as the modder meant, in the right order.
#include "lint/LintContext.h"
#include "mods/PropertyReads.h"

namespace tolmere {
namespace {

struct Reads {
    bool param = false, min = false, max = false, skill = false, range = true;
};

Reads ReadsOf(const PropertyDef& def) {
    Reads reads;
    for (const PropertyStat& stat : def.stats) {
        reads.param = reads.param || ReadsParam(stat.func);
        reads.min = reads.min || ReadsMin(stat.func);
        reads.max = reads.max || ReadsMax(stat.func);
        reads.skill = reads.skill || ReadsSkill(stat.func);
        reads.range = reads.range && ReadsRange(stat.func);
    }
    return reads;
}

// Whether the game's reading of the cell (leading blanks, sign, digits) takes all of
// it; trailing blanks change nothing it reads.
bool ReadsWhole(std::string_view cell) {
    std::size_t at = cell.find_first_not_of(" \t");
    if (at == std::string_view::npos)
        return true;
    if (cell[at] == '-' || cell[at] == '+')
        ++at;
    const std::size_t digitsEnd = cell.find_first_not_of("0123456789", at);
    if (digitsEnd == at)
        return false;
    return digitsEnd == std::string_view::npos ||
           cell.find_first_not_of(" \t", digitsEnd) == std::string_view::npos;
}

// Every used slot whose property Properties.txt defines, with what its functions read.
void ForEachDefinedSlot(const LintContext& context,
                        const std::function<void(const LintedTable&, std::int32_t,
                                                 const SlotColumns&, const Reads&)>& check) {
    ForEachGameSlot(context,
                    [&](const LintedTable& linted, std::int32_t row, const SlotColumns& slot,
                        std::string_view, const PropertyDef* def) {
                        if (def)
                            check(linted, row, slot, ReadsOf(*def));
                    });
}

} // namespace

void CheckRanges(const LintContext& context, Problems& out) {
    ForEachDefinedSlot(context, [&](const LintedTable& linted, std::int32_t row,
                                    const SlotColumns& slot, const Reads& reads) {
        if (!reads.range || !reads.min || !reads.max)
            return;
        const std::optional<std::int64_t> min = CellNumber(linted.table->Text(row, slot.min));
        const std::optional<std::int64_t> max = CellNumber(linted.table->Text(row, slot.max));
        if (min && max && *min > *max)
            out.push_back(ProblemAt(linted, row, slot.min, Severity::kWarning,
                                    "the minimum " + std::to_string(*min) +
                                        " is above the maximum " + std::to_string(*max)));
    });
}

void CheckNumberCells(const LintContext& context, Problems& out) {
    ForEachDefinedSlot(context, [&](const LintedTable& linted, std::int32_t row,
                                    const SlotColumns& slot, const Reads& reads) {
        // A parameter may name what it means (a skill, a state) instead of numbering it;
        // one that starts with a number is read as that number alone.
        const std::string_view param = linted.table->Text(row, slot.param);
        const bool numberedParam = reads.param && !reads.skill && CellNumber(param);
        const std::pair<bool, std::int32_t> cells[] = {
            {numberedParam, slot.param}, {reads.min, slot.min}, {reads.max, slot.max}};
        for (const auto& [read, column] : cells) {
            const std::string_view cell = linted.table->Text(row, column);
            if (!read || ReadsWhole(cell))
                continue;
            out.push_back(ProblemAt(linted, row, column, Severity::kWarning,
                                    "'" + std::string(cell) +
                                        "' is not a whole number: the game reads " +
                                        std::to_string(CellNumber(cell).value_or(0))));
        }
    });
}

} // namespace tolmere
