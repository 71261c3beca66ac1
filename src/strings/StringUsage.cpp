// SPDX-License-Identifier: MIT
#include "strings/StringUsage.h"

#include "tables/ColumnFinder.h"

#include <algorithm>

namespace tolmere {
namespace {

// Columns whose names start with '*' are the designers' notes, "*eol" among them.
bool Separator(const CTxtTable& table, std::int32_t row) {
    for (std::int32_t c = 1; c < table.ColumnCount(); ++c) {
        if (!table.Text(row, c).empty() && table.HeaderCell(c).value_or("").substr(0, 1) != "*")
            return false;
    }
    return true;
}

// Whether `header` is `pattern` with its '#' replaced by a number, in any letter case.
bool NumberedName(const std::string& pattern, std::string_view header) {
    const std::size_t hash = pattern.find('#');
    const std::size_t tail = pattern.size() - hash - 1;
    if (header.size() <= hash + tail)
        return false;
    const std::string_view digits = header.substr(hash, header.size() - hash - tail);
    return digits.find_first_not_of("0123456789") == std::string_view::npos &&
           CColumnFinder::SameName(header.substr(0, hash), pattern.substr(0, hash)) &&
           CColumnFinder::SameName(header.substr(header.size() - tail), pattern.substr(hash + 1));
}

// The columns the names pick: each entry is one name, or alternatives split by '|' of
// which the first the table has counts; a '#' stands for the numbers 1, 2, ….
std::vector<std::int32_t> KeyColumns(const CTxtTable& table,
                                     const std::vector<std::string>& names) {
    const CColumnFinder finder(table);
    std::vector<std::int32_t> out;
    for (const std::string& choice : names) {
        for (std::size_t start = 0; start <= choice.size();) {
            std::size_t end = choice.find('|', start);
            if (end == std::string::npos)
                end = choice.size();
            const std::string name = choice.substr(start, end - start);
            start = end + 1;
            const std::size_t before = out.size();
            if (name.find('#') == std::string::npos) {
                if (const std::int32_t column = finder.Find(name); column >= 0)
                    out.push_back(column);
            } else {
                // Every column of the pattern, those of a name used twice included (a
                // classic set's second member's "key2" beside the set's own).
                for (std::int32_t c = 0; c < table.ColumnCount(); ++c) {
                    if (NumberedName(name, table.HeaderCell(c).value_or("")))
                        out.push_back(c);
                }
            }
            if (out.size() > before)
                break;
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace

std::vector<UsageSource> UsageSources(const ItemTables& tables) {
    // 1.09 and classic tables name their items in "name" where later ones have
    // "index"; a classic set names its members in "key1" …, a 1.09 one in "Item1" ….
    std::vector<UsageSource> out{
        {"UniqueItems.txt", tables.uniqueItems, {"index|name"}},
        {"SetItems.txt", tables.setItems, {"index|name", "key2", "key#|item#"}},
        {"Sets.txt", tables.sets, {"name"}},
        {"ItemStatCost.txt",
         tables.itemStatCost,
         {"descstrpos", "descstrneg", "descstr2", "dgrpstrpos", "dgrpstrneg", "dgrpstr2"}},
        {"SkillDesc.txt",
         tables.skillDesc,
         {"str name", "str short", "str long", "str alt", "str mana"}},
    };
    std::vector<UsageSource> present;
    for (UsageSource& source : out) {
        if (source.table && source.table->RowCount() > 0)
            present.push_back(std::move(source));
    }
    return present;
}

void CStringUsage::Build(const std::vector<UsageSource>& sources) {
    uses_.clear();
    keys_.clear();
    for (const UsageSource& source : sources) {
        const CTxtTable& table = *source.table;
        std::vector<std::pair<std::int32_t, std::string>> columns;
        for (std::int32_t column : KeyColumns(table, source.columns))
            columns.emplace_back(column, std::string(table.HeaderCell(column).value_or("")));
        for (std::int32_t row = 0; row < table.DataRowCount(); ++row) {
            if (Separator(table, row))
                continue;
            for (const auto& [column, name] : columns) {
                const std::string key(table.Text(row, column));
                if (key.empty())
                    continue;
                auto& uses = uses_[key];
                if (uses.empty())
                    keys_.push_back(key);
                uses.push_back({source.name, row, name, std::string(table.Text(row, 0))});
            }
        }
    }
}

const std::vector<StringUse>& CStringUsage::Uses(std::string_view key) const {
    static const std::vector<StringUse> kNone;
    const auto found = uses_.find(std::string(key));
    return found == uses_.end() ? kNone : found->second;
}

std::vector<std::string> CStringUsage::Missing(const CStringTables& tables) const {
    std::vector<std::string> out;
    for (const std::string& key : keys_) {
        if (!tables.Lookup(key).entry)
            out.push_back(key);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace tolmere
