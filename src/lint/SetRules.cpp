// SPDX-License-Identifier: MIT
// The later layout's set items and sets, which name each other: every item's set must
// be there, and a bonus must not need more items worn than its set has.
#include "lint/LintContext.h"
#include "tables/ColumnFinder.h"

#include <unordered_map>

namespace tolmere {
namespace {

using MemberCounts = std::unordered_map<std::string, std::int32_t>;

// How many set items name each set.
MemberCounts CountMembers(const LintedTable& items, std::int32_t setColumn) {
    MemberCounts counts;
    for (std::int32_t row = 0; row < items.table->DataRowCount(); ++row)
        ++counts[std::string(items.table->Text(row, setColumn))];
    return counts;
}

struct BonusColumn {
    std::int32_t needs; // items worn
    std::int32_t column;
};

// The bonus slots `prefix`#a and #b: the n-th needs n + `extra` items worn.
std::vector<BonusColumn> BonusColumns(const CTxtTable& table, const std::string& prefix,
                                      std::int32_t extra) {
    const CColumnFinder find(table);
    std::vector<BonusColumn> columns;
    for (int n : find.Numbers(prefix + "#a")) {
        for (const char* half : {"a", "b"}) {
            const std::int32_t column = find.Find(prefix + std::to_string(n) + half);
            if (column >= 0)
                columns.push_back({n + extra, column});
        }
    }
    return columns;
}

// Reports each used bonus slot of the row that needs more items than `members`.
void CheckBonuses(const LintedTable& linted, std::int32_t row, std::int32_t members,
                  const std::vector<BonusColumn>& bonuses, Problems& out) {
    for (const BonusColumn& bonus : bonuses) {
        if (bonus.needs <= members || linted.table->Text(row, bonus.column).empty())
            continue;
        out.push_back(ProblemAt(linted, row, bonus.column, Severity::kWarning,
                                "the bonus needs " + std::to_string(bonus.needs) +
                                    " items worn, and the set has " + std::to_string(members)));
    }
}

} // namespace

void CheckSetsExist(const LintContext& context, Problems& out) {
    if (!context.splitSets)
        return;
    const LintedTable& items = *context.splitSetItems;
    const CColumnFinder findItem(*items.table);
    const std::int32_t setColumn = findItem.Find("set");
    std::unordered_map<std::string, std::int32_t> sets;
    const LintedTable& setRows = *context.splitSets;
    for (std::int32_t row = 0; row < setRows.table->DataRowCount(); ++row)
        sets.emplace(std::string(setRows.table->Text(row, setRows.keyColumn)), row);
    for (std::int32_t row = 0; setColumn >= 0 && row < items.table->DataRowCount(); ++row) {
        const std::string set(items.table->Text(row, setColumn));
        if (set.empty() || sets.count(set))
            continue;
        out.push_back(ProblemAt(items, row, setColumn, Severity::kError,
                                "Sets.txt has no set '" + set + "': the item never drops"));
    }
}

void CheckSetBonusCounts(const LintContext& context, Problems& out) {
    if (!context.splitSets)
        return;
    const LintedTable& items = *context.splitSetItems;
    const LintedTable& setRows = *context.splitSets;
    const std::int32_t setColumn = CColumnFinder(*items.table).Find("set");
    if (setColumn < 0)
        return;
    const MemberCounts counts = CountMembers(items, setColumn);
    const auto membersOf = [&counts](std::string_view set) {
        const auto found = counts.find(std::string(set));
        return found == counts.end() ? 0 : found->second;
    };
    const std::vector<BonusColumn> setBonuses = BonusColumns(*setRows.table, "PCode", 0);
    for (std::int32_t row = 0; row < setRows.table->DataRowCount(); ++row) {
        const std::string_view set = setRows.table->Text(row, setRows.keyColumn);
        if (!set.empty())
            CheckBonuses(setRows, row, membersOf(set), setBonuses, out);
    }
    // An item's n-th bonus comes with n other items of its set worn.
    const std::vector<BonusColumn> itemBonuses = BonusColumns(*items.table, "aprop", 1);
    for (std::int32_t row = 0; row < items.table->DataRowCount(); ++row) {
        const std::string_view set = items.table->Text(row, setColumn);
        if (!set.empty())
            CheckBonuses(items, row, membersOf(set), itemBonuses, out);
    }
}

} // namespace tolmere
