// SPDX-License-Identifier: MIT
#include "diff/TableDiff.h"

#include "tables/ColumnFinder.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace tolmere {
namespace {

using KeyedRow = std::pair<std::string_view, std::int32_t>;

// Every data row by key; rows of one key stay in table order, so the n-th of them is
// the key's n-th occurrence.
std::vector<KeyedRow> RowsByKey(const CTxtTable& table, std::int32_t keyColumn) {
    std::vector<KeyedRow> rows;
    rows.reserve(static_cast<std::size_t>(table.DataRowCount()));
    for (std::int32_t row = 0; row < table.DataRowCount(); ++row)
        rows.emplace_back(table.Text(row, keyColumn), row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const KeyedRow& a, const KeyedRow& b) { return a.first < b.first; });
    return rows;
}

// Which row of `before` each row of `after` is, by key and occurrence.
struct RowMatch {
    std::vector<std::int32_t> beforeOf;         // by after row: its before row, or -1
    std::vector<std::int32_t> occurrenceOf;     // by after row: among the rows of its key
    std::vector<bool> beforeKept;               // by before row: some after row is it
    std::vector<std::int32_t> beforeOccurrence; // by before row, for the rows not kept
};

// The two key-sorted lists walked side by side.
RowMatch MatchRows(const CTxtTable& before, std::int32_t beforeKey, const CTxtTable& after,
                   std::int32_t afterKey) {
    RowMatch match;
    match.beforeOf.assign(static_cast<std::size_t>(after.DataRowCount()), -1);
    match.occurrenceOf.assign(static_cast<std::size_t>(after.DataRowCount()), 0);
    match.beforeKept.assign(static_cast<std::size_t>(before.DataRowCount()), false);
    match.beforeOccurrence.assign(static_cast<std::size_t>(before.DataRowCount()), 0);
    const std::vector<KeyedRow> a = RowsByKey(after, afterKey);
    const std::vector<KeyedRow> b = RowsByKey(before, beforeKey);
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const std::string_view key =
            i < a.size() && (j >= b.size() || a[i].first <= b[j].first) ? a[i].first : b[j].first;
        std::int32_t n = 0;
        for (; i < a.size() && a[i].first == key; ++i, ++n) {
            const std::size_t row = static_cast<std::size_t>(a[i].second);
            match.occurrenceOf[row] = n;
            if (j < b.size() && b[j].first == key) {
                match.beforeOf[row] = b[j].second;
                match.beforeKept[static_cast<std::size_t>(b[j].second)] = true;
                ++j;
            }
        }
        for (std::int32_t m = n; j < b.size() && b[j].first == key; ++j, ++m)
            match.beforeOccurrence[static_cast<std::size_t>(b[j].second)] = m;
    }
    return match;
}

// For each column of `after`, the column of `before` of the same name (the n-th of a
// name with the n-th), or -1.
std::vector<std::int32_t> MatchColumns(const CTxtTable& before, const CTxtTable& after) {
    std::vector<std::int32_t> match(static_cast<std::size_t>(after.ColumnCount()), -1);
    std::vector<bool> taken(static_cast<std::size_t>(before.ColumnCount()), false);
    for (std::int32_t c = 0; c < after.ColumnCount(); ++c) {
        const std::string_view name = after.HeaderCell(c).value_or("");
        for (std::int32_t b = 0; b < before.ColumnCount(); ++b) {
            if (!taken[static_cast<std::size_t>(b)] &&
                CColumnFinder::SameName(before.HeaderCell(b).value_or(""), name)) {
                taken[static_cast<std::size_t>(b)] = true;
                match[static_cast<std::size_t>(c)] = b;
                break;
            }
        }
    }
    return match;
}

// Marks the columns that hold modifiers (and their count) in a table.
std::vector<bool> SlotColumnsOf(const CTxtTable& table, const ModifierSlots& modifiers) {
    std::vector<bool> inSlot(static_cast<std::size_t>(table.ColumnCount()), false);
    auto mark = [&](std::int32_t c) {
        if (c >= 0 && c < table.ColumnCount())
            inSlot[static_cast<std::size_t>(c)] = true;
    };
    for (const SlotColumns& slot : modifiers.slots)
        for (std::int32_t f = kSlotCode; f <= kSlotMax; ++f)
            mark(slot.Column(static_cast<SlotField>(f)));
    mark(modifiers.countColumn);
    return inSlot;
}

// Which entries of `sequence` lie outside one longest increasing run of it: the
// matched rows that moved.
std::vector<bool> OutsideLongestRun(const std::vector<std::int32_t>& sequence) {
    std::vector<std::size_t> tails; // index of the smallest tail of a run of each length
    std::vector<std::size_t> previous(sequence.size(), SIZE_MAX);
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const auto at = std::lower_bound(
            tails.begin(), tails.end(), sequence[i],
            [&](std::size_t t, std::int32_t value) { return sequence[t] < value; });
        if (at != tails.begin())
            previous[i] = *(at - 1);
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    std::vector<bool> outside(sequence.size(), true);
    for (std::size_t i = tails.empty() ? SIZE_MAX : tails.back(); i != SIZE_MAX; i = previous[i])
        outside[i] = false;
    return outside;
}

struct UsedSlot {
    SlotValues values;
    std::int32_t slot;
};

std::vector<UsedSlot> UsedSlots(const CTxtTable& table, std::int32_t row,
                                const ModifierSlots& modifiers, const SlotGroup& group) {
    std::vector<UsedSlot> used;
    for (std::int32_t s : group.slots) {
        const SlotColumns& slot = modifiers.Slot(s);
        if (!SlotUsed(table, row, slot))
            continue;
        used.push_back(
            {{std::string(table.Text(row, slot.code)), std::string(table.Text(row, slot.param)),
              std::string(table.Text(row, slot.min)), std::string(table.Text(row, slot.max))},
             s});
    }
    return used;
}

// The modifiers one row lost and gained: those held on both sides, in whatever slot,
// cancel; a lost and a gained one of the same code pair up as a change, then a lost
// and a gained one in the same slot.
std::vector<ModifierDiff> DiffModifiers(std::vector<UsedSlot> before, std::vector<UsedSlot> after) {
    for (auto b = before.begin(); b != before.end();) {
        const auto same = std::find_if(after.begin(), after.end(),
                                       [&](const UsedSlot& a) { return a.values == b->values; });
        if (same == after.end()) {
            ++b;
            continue;
        }
        after.erase(same);
        b = before.erase(b);
    }
    std::vector<ModifierDiff> diffs;
    auto pairUp = [&](auto&& matches) {
        for (auto b = before.begin(); b != before.end();) {
            const auto a = std::find_if(after.begin(), after.end(),
                                        [&](const UsedSlot& a) { return matches(*b, a); });
            if (a == after.end()) {
                ++b;
                continue;
            }
            diffs.push_back({b->values, a->values, b->slot, a->slot});
            after.erase(a);
            b = before.erase(b);
        }
    };
    pairUp([](const UsedSlot& b, const UsedSlot& a) { return b.values.code == a.values.code; });
    pairUp([](const UsedSlot& b, const UsedSlot& a) { return b.slot == a.slot; });
    for (const UsedSlot& b : before)
        diffs.push_back({b.values, std::nullopt, b.slot, -1});
    for (const UsedSlot& a : after)
        diffs.push_back({std::nullopt, a.values, -1, a.slot});
    return diffs;
}

// Each group of the newer row against the older row's group of the same id; a group
// only one side has lost or gained all its modifiers.
std::vector<ModifierDiff> DiffGroups(const CTxtTable& before, std::int32_t beforeRow,
                                     const DiffLayout& beforeLayout, const CTxtTable& after,
                                     std::int32_t afterRow, const DiffLayout& afterLayout) {
    const std::vector<SlotGroup>& beforeGroups = beforeLayout.GroupsOf(beforeRow);
    std::vector<bool> compared(beforeGroups.size(), false);
    std::vector<ModifierDiff> diffs;
    auto append = [&](std::vector<ModifierDiff> more) {
        diffs.insert(diffs.end(), more.begin(), more.end());
    };
    for (const SlotGroup& group : afterLayout.GroupsOf(afterRow)) {
        const auto same = std::find_if(beforeGroups.begin(), beforeGroups.end(),
                                       [&](const SlotGroup& b) { return b.id == group.id; });
        std::vector<UsedSlot> was;
        if (same != beforeGroups.end()) {
            was = UsedSlots(before, beforeRow, beforeLayout.modifiers, *same);
            compared[static_cast<std::size_t>(same - beforeGroups.begin())] = true;
        }
        append(DiffModifiers(std::move(was),
                             UsedSlots(after, afterRow, afterLayout.modifiers, group)));
    }
    for (std::size_t g = 0; g < beforeGroups.size(); ++g)
        if (!compared[g])
            append(DiffModifiers(
                UsedSlots(before, beforeRow, beforeLayout.modifiers, beforeGroups[g]), {}));
    return diffs;
}

} // namespace

TableDiff DiffTables(const CTxtTable& before, const CTxtTable& after, const DiffOptions& options) {
    TableDiff diff;
    const DiffLayout beforeLayout = DiffLayoutOf(before);
    const DiffLayout afterLayout = DiffLayoutOf(after);
    if (options.modifiersAsWholes) {
        diff.beforeSlots = beforeLayout.modifiers;
        diff.afterSlots = afterLayout.modifiers;
    }
    const std::vector<bool> beforeInSlot = SlotColumnsOf(before, diff.beforeSlots);
    const std::vector<bool> afterInSlot = SlotColumnsOf(after, diff.afterSlots);

    // Columns.
    const std::vector<std::int32_t> columnOf = MatchColumns(before, after);
    std::vector<bool> beforeMatched(static_cast<std::size_t>(before.ColumnCount()), false);
    for (std::size_t c = 0; c < columnOf.size(); ++c) {
        if (columnOf[c] >= 0)
            beforeMatched[static_cast<std::size_t>(columnOf[c])] = true;
        else
            diff.columnsAdded.emplace_back(
                after.HeaderCell(static_cast<std::int32_t>(c)).value_or(""));
    }
    std::vector<std::int32_t> removedColumns;
    for (std::int32_t b = 0; b < before.ColumnCount(); ++b) {
        if (!beforeMatched[static_cast<std::size_t>(b)]) {
            removedColumns.push_back(b);
            diff.columnsRemoved.emplace_back(before.HeaderCell(b).value_or(""));
        }
    }

    const RowMatch match = MatchRows(before, beforeLayout.keyColumn, after, afterLayout.keyColumn);
    const std::vector<std::int32_t>& beforeOf = match.beforeOf;
    std::vector<std::int32_t> order;
    for (std::int32_t b : beforeOf)
        if (b >= 0)
            order.push_back(b);
    const std::vector<bool> moved = OutsideLongestRun(order);

    std::size_t matched = 0;
    for (std::int32_t row = 0; row < after.DataRowCount(); ++row) {
        const std::size_t r = static_cast<std::size_t>(row);
        RowDiff rowDiff;
        rowDiff.key = std::string(after.Text(row, afterLayout.keyColumn));
        rowDiff.occurrence = match.occurrenceOf[r];
        rowDiff.afterRow = row;
        const std::int32_t old = beforeOf[r];
        if (old < 0) {
            rowDiff.kind = RowChange::kAdded;
            diff.rows.push_back(std::move(rowDiff));
            continue;
        }
        rowDiff.beforeRow = old;
        rowDiff.moved = moved[matched++];
        for (std::int32_t c = 0; c < after.ColumnCount(); ++c) {
            const std::int32_t b = columnOf[static_cast<std::size_t>(c)];
            if (afterInSlot[static_cast<std::size_t>(c)] ||
                (b >= 0 && beforeInSlot[static_cast<std::size_t>(b)]))
                continue;
            const std::string_view now = after.Text(row, c);
            const std::string_view was = b >= 0 ? before.Text(old, b) : std::string_view();
            if (now != was)
                rowDiff.cells.push_back({std::string(after.HeaderCell(c).value_or("")),
                                         std::string(was), std::string(now)});
        }
        for (std::int32_t b : removedColumns) {
            const std::string_view was = before.Text(old, b);
            if (!was.empty() && !beforeInSlot[static_cast<std::size_t>(b)])
                rowDiff.cells.push_back(
                    {std::string(before.HeaderCell(b).value_or("")), std::string(was), ""});
        }
        if (options.modifiersAsWholes)
            rowDiff.modifiers = DiffGroups(before, old, beforeLayout, after, row, afterLayout);
        if (rowDiff.moved || !rowDiff.cells.empty() || !rowDiff.modifiers.empty())
            diff.rows.push_back(std::move(rowDiff));
    }
    for (std::int32_t row = 0; row < before.DataRowCount(); ++row) {
        if (match.beforeKept[static_cast<std::size_t>(row)])
            continue;
        RowDiff rowDiff;
        rowDiff.kind = RowChange::kRemoved;
        rowDiff.key = std::string(before.Text(row, beforeLayout.keyColumn));
        rowDiff.occurrence = match.beforeOccurrence[static_cast<std::size_t>(row)];
        rowDiff.beforeRow = row;
        diff.rows.push_back(std::move(rowDiff));
    }
    return diff;
}

} // namespace tolmere
