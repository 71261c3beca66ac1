// SPDX-License-Identifier: MIT
// What an item row names in other tables: its base item and the string of its name.
#include "lint/LintContext.h"

namespace tolmere {
namespace {

// Separator rows ("Expansion") name no base item, and are no item.
bool IsItem(const LintedTable& linted, std::int32_t row) {
    if (linted.codeColumns.empty())
        return true;
    for (std::int32_t column : linted.codeColumns) {
        if (!linted.table->Text(row, column).empty())
            return true;
    }
    return false;
}

bool AnyStrings(const CStringTables& strings) {
    for (StringSource source : CStringTables::kLookupOrder) {
        if (strings.Table(source).EntryCount() > 0)
            return true;
    }
    return false;
}

} // namespace

void CheckBaseCodes(const LintContext& context, Problems& out) {
    if (!context.game || !context.game->HasBaseItems())
        return;
    for (const LintedTable& linted : context.tables) {
        for (std::int32_t row = 0; row < linted.table->DataRowCount(); ++row) {
            for (std::int32_t column : linted.codeColumns) {
                const std::string_view code = linted.table->Text(row, column);
                if (code.empty() || context.game->BaseItem(code))
                    continue;
                out.push_back(ProblemAt(linted, row, column, Severity::kError,
                                        "none of Weapons.txt, Armor.txt and Misc.txt has the "
                                        "base item '" +
                                            std::string(code) + "'"));
            }
        }
    }
}

void CheckNameKeys(const LintContext& context, Problems& out) {
    if (!context.strings || !AnyStrings(*context.strings))
        return;
    std::string key;
    for (const LintedTable& linted : context.tables) {
        for (std::int32_t row = 0; row < linted.table->DataRowCount(); ++row) {
            if (!IsItem(linted, row))
                continue;
            for (std::int32_t column : linted.nameKeyColumns) {
                key.assign(linted.table->Text(row, column));
                if (key.empty() || context.strings->Lookup(key).entry)
                    continue;
                out.push_back(ProblemAt(linted, row, column, Severity::kWarning,
                                        "no string table has the key '" + key +
                                            "': the game shows the key itself"));
            }
        }
    }
}

} // namespace tolmere
