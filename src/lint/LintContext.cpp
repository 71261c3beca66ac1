// SPDX-License-Identifier: MIT
#include "lint/LintContext.h"

#include "items/UniqueLayout.h"
#include "sets/SetTree.h"

#include <algorithm>

namespace tolmere {
namespace {

void AddOnce(std::vector<std::int32_t>& columns, std::int32_t column) {
    if (column >= 0 && std::find(columns.begin(), columns.end(), column) == columns.end())
        columns.push_back(column);
}

void AddSlotsOnce(SlotList& slots, const SlotList& more) {
    for (const SlotColumns& slot : more) {
        const bool known = std::any_of(slots.begin(), slots.end(), [&](const SlotColumns& held) {
            return held.code == slot.code;
        });
        if (!known && slot.code >= 0)
            slots.push_back(slot);
    }
}

LintedTable UniqueTable(const CTxtTable& table) {
    LintedTable linted;
    linted.table = &table;
    linted.file = "UniqueItems.txt";
    const UniqueItemsLayout layout = RecogniseUniqueItems(table);
    linted.keyColumn = layout.keyColumn;
    if (!layout.Editable())
        return linted;
    AddOnce(linted.nameKeyColumns, layout.keyColumn);
    AddOnce(linted.codeColumns, layout.codeColumn);
    linted.slots = layout.modifiers.slots;
    linted.gameCodes = !layout.modifiers.CataloguesOwnCodes();
    return linted;
}

// The set item table and, for the later layout, the set table, read through the tree
// the set window shows: every node tells which of its row's columns are names, codes
// and slots.
void AddSetTables(const CTxtTable& setItems, const CTxtTable* sets, LintContext& context) {
    const SetTree tree = BuildSetTree(setItems, sets);
    LintedTable items;
    items.table = &setItems;
    items.file = "SetItems.txt";
    items.duplicateKey = Severity::kWarning;
    LintedTable setRows = items;
    setRows.table = sets;
    setRows.file = "Sets.txt";
    if (!tree.Editable()) {
        items.keyColumn = 0;
        context.tables.push_back(items);
        return;
    }
    for (const SetNode& node : tree.nodes) {
        if (node.row < 0)
            continue;
        LintedTable& linted = node.table == SetTableId::kSets ? setRows : items;
        if (linted.keyColumn < 0 && (!node.IsMember() || tree.usesSetsTable))
            linted.keyColumn = node.labelColumn;
        AddOnce(linted.nameKeyColumns, node.nameKeyColumn);
        AddOnce(linted.codeColumns, node.codeColumn);
        for (const SetSlotGroup& group : node.groups) {
            AddSlotsOnce(linted.slots, group.Slots());
            linted.gameCodes = !group.edit.CataloguesOwnCodes();
        }
    }
    context.tables.push_back(items);
    if (tree.usesSetsTable && sets && sets->RowCount() > 0)
        context.tables.push_back(setRows);
}

} // namespace

LintContext BuildLintContext(const LintInput& input) {
    LintContext context;
    context.game = input.game;
    context.strings = input.strings;
    if (input.uniqueItems && input.uniqueItems->RowCount() > 0)
        context.tables.push_back(UniqueTable(*input.uniqueItems));
    if (input.setItems && input.setItems->RowCount() > 0) {
        AddSetTables(*input.setItems, input.sets, context);
        // Pointers last, once the vector no longer moves.
        for (const LintedTable& table : context.tables) {
            if (table.file == "Sets.txt")
                context.splitSets = &table;
        }
        if (context.splitSets)
            context.splitSetItems = &context.tables[context.tables.size() - 2];
    }
    return context;
}

Problem ProblemAt(const LintedTable& table, std::int32_t row, std::int32_t column,
                  Severity severity, std::string text) {
    Problem problem;
    problem.severity = severity;
    problem.file = table.file;
    problem.row = row;
    if (table.keyColumn >= 0)
        problem.key = std::string(table.table->Text(row, table.keyColumn));
    if (column >= 0)
        problem.column = std::string(table.table->HeaderCell(column).value_or(std::string_view()));
    problem.columnIndex = column;
    problem.text = std::move(text);
    return problem;
}

void ForEachGameSlot(const LintContext& context, const SlotCheck& check) {
    if (!context.game || !context.game->Ready())
        return;
    for (const LintedTable& linted : context.tables) {
        if (!linted.gameCodes)
            continue;
        const CTxtTable& table = *linted.table;
        for (std::int32_t row = 0; row < table.DataRowCount(); ++row) {
            for (const SlotColumns& slot : linted.slots) {
                const std::string_view code = table.Text(row, slot.code);
                if (!code.empty())
                    check(linted, row, slot, code, context.game->Definition(code));
            }
        }
    }
}

} // namespace tolmere
