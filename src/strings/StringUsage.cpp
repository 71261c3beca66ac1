// SPDX-License-Identifier: MIT
#include "strings/StringUsage.h"

#include "tables/ColumnFinder.h"

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

} // namespace

std::vector<UsageSource> UsageSources(const ItemTables& tables) {
    // 1.09 tables name their items in a "name" column where later ones have "index".
    std::vector<UsageSource> out{
        {"UniqueItems.txt", tables.uniqueItems, {"index", "name"}},
        {"SetItems.txt", tables.setItems, {"index"}},
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
        const CColumnFinder finder(table);
        std::vector<std::pair<std::int32_t, std::string>> columns;
        for (const std::string& name : source.columns) {
            const std::int32_t column = finder.Find(name);
            if (column >= 0)
                columns.emplace_back(column, std::string(table.HeaderCell(column).value_or(name)));
        }
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
    return out;
}

} // namespace tolmere
