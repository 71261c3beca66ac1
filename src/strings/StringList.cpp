// SPDX-License-Identifier: MIT
#include "strings/StringList.h"

#include "strings/StringUsage.h"

#include <unordered_map>

namespace tolmere {

std::string FoldUtf8Case(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto byte = static_cast<unsigned char>(out[i]);
        if (byte >= 'A' && byte <= 'Z') {
            out[i] = static_cast<char>(byte + 32);
        } else if (byte == 0xC3 && i + 1 < out.size()) {
            // U+00C0..U+00DE are capitals of U+00E0..U+00FE, but for the sign at U+00D7.
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                out[i + 1] = static_cast<char>(next + 0x20);
            ++i;
        }
    }
    return out;
}

void CStringList::Build(const CStringTables& tables, const CStringUsage* usage) {
    rows_.clear();
    folded_.clear();
    usage_ = usage;
    std::unordered_map<std::string_view, std::size_t> seen;
    seen.reserve(tables.Table(StringSource::kBase).List().size() +
                 tables.Table(StringSource::kExpansion).List().size() +
                 tables.Patch().List().size());
    std::vector<unsigned> sources; // for each row, the tables met holding its key, as bits
    for (StringSource source : CStringTables::kLookupOrder) {
        const unsigned bit = 1u << static_cast<unsigned>(source);
        for (const StrEntry& entry : tables.Table(source).List()) {
            const auto [at, added] = seen.emplace(entry.key, rows_.size());
            if (added) {
                StringRow row;
                row.key = entry.key;
                row.text = entry.text;
                row.source = source;
                rows_.push_back(row);
                sources.push_back(bit);
                continue;
            }
            StringRow& row = rows_[at->second];
            row.duplicate = row.duplicate || (sources[at->second] & bit) != 0;
            row.overrides = row.overrides || row.source != source;
            sources[at->second] |= bit;
        }
    }
    if (usage) {
        for (const std::string& key : usage->Keys()) {
            if (seen.count(key) != 0)
                continue;
            StringRow row;
            row.key = key;
            row.missing = true;
            rows_.push_back(row);
            seen.emplace(key, rows_.size() - 1);
        }
    }
    folded_.reserve(rows_.size());
    for (const StringRow& row : rows_) {
        std::string joined;
        joined.reserve(row.key.size() + 1 + row.text.size());
        joined.append(row.key).push_back('\0');
        joined.append(row.text);
        folded_.push_back(FoldUtf8Case(joined));
    }
}

std::ptrdiff_t CStringList::RowOf(std::string_view key) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].key == key)
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

bool CStringList::Passes(std::size_t i, const StringFilter& filter,
                         const std::string& folded) const {
    const StringRow& row = rows_[i];
    if (filter.source && (row.missing || row.source != *filter.source))
        return false;
    if (filter.problemsOnly && !row.missing && !row.duplicate)
        return false;
    if (filter.usedOnly && !(usage_ && usage_->Used(row.key)))
        return false;
    return folded.empty() || folded_[i].find(folded) != std::string::npos;
}

std::vector<std::size_t> CStringList::Filter(const StringFilter& filter,
                                             const std::vector<std::size_t>* within) const {
    const std::string folded = FoldUtf8Case(filter.query);
    std::vector<std::size_t> out;
    if (within) {
        for (std::size_t i : *within) {
            if (i < rows_.size() && Passes(i, filter, folded))
                out.push_back(i);
        }
        return out;
    }
    out.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (Passes(i, filter, folded))
            out.push_back(i);
    }
    return out;
}

} // namespace tolmere
