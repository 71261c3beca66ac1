// SPDX-License-Identifier: MIT
// What an item row names in other tables: its base item and the string of its name.
#include "lint/LintContext.h"

#include <array>
#include <optional>

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

// Where the game finds a key: the first table, in its order, whose entry for the key
// carries the key's own hash. A table written back as it was read keeps the hashes its
// file had, and an entry under the hash of other bytes is passed over.
class CNameFinder {
public:
    explicit CNameFinder(const CStringTables& strings) : strings_(strings) {}

    enum class Found { kYes, kUnderOtherHash, kNo };
    Found Find(const std::string& key) {
        Found found = Found::kNo;
        for (std::size_t i = 0; i < CStringTables::kLookupOrder.size(); ++i) {
            const CStrTbl& table = strings_.Table(CStringTables::kLookupOrder[i]);
            const StrEntry* entry = table.Find(key);
            if (!entry)
                continue;
            if (!KeepsFileHashes(i) ||
                entry->hashValue == CStrTbl::KeyHash(key) % table.HashSlots())
                return Found::kYes;
            found = Found::kUnderOtherHash;
        }
        return found;
    }

private:
    bool KeepsFileHashes(std::size_t i) {
        if (!asRead_[i]) {
            const CStrTbl& table = strings_.Table(CStringTables::kLookupOrder[i]);
            asRead_[i] = table.HashSlots() > 0 && table.AsRead();
        }
        return *asRead_[i];
    }

    const CStringTables& strings_;
    std::array<std::optional<bool>, 3> asRead_;
};

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
    CNameFinder names(*context.strings);
    std::string key;
    for (const LintedTable& linted : context.tables) {
        for (std::int32_t row = 0; row < linted.table->DataRowCount(); ++row) {
            if (!IsItem(linted, row))
                continue;
            for (std::int32_t column : linted.nameKeyColumns) {
                key.assign(linted.table->Text(row, column));
                const CNameFinder::Found found =
                    key.empty() ? CNameFinder::Found::kYes : names.Find(key);
                if (found == CNameFinder::Found::kYes)
                    continue;
                out.push_back(ProblemAt(
                    linted, row, column, Severity::kWarning,
                    (found == CNameFinder::Found::kNo
                         ? "no string table has the key '" + key + "'"
                         : "the string tables hold the key '" + key +
                               "' only under the hash of other bytes, where the game does not "
                               "look") +
                        ": the game shows the key itself"));
            }
        }
    }
}

} // namespace tolmere
