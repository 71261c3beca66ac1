// SPDX-License-Identifier: MIT
#include "diff/StringDiff.h"

#include <string_view>
#include <unordered_map>

namespace tolmere {
namespace {

// Each entry's occurrence among the entries of its key, in list order.
template <typename Each> void ByOccurrence(const CStrTbl& table, Each&& each) {
    std::unordered_map<std::string_view, std::int32_t> seen;
    for (const StrEntry& entry : table.List())
        each(entry, seen[entry.key]++);
}

struct OccurrenceKey {
    std::string_view key;
    std::int32_t occurrence;
    bool operator==(const OccurrenceKey& other) const {
        return key == other.key && occurrence == other.occurrence;
    }
};
struct OccurrenceHash {
    std::size_t operator()(const OccurrenceKey& k) const {
        return std::hash<std::string_view>()(k.key) ^ static_cast<std::size_t>(k.occurrence);
    }
};

} // namespace

std::vector<EntryDiff> DiffStrings(const CStrTbl& before, const CStrTbl& after) {
    std::unordered_map<OccurrenceKey, const StrEntry*, OccurrenceHash> old;
    ByOccurrence(before, [&](const StrEntry& entry, std::int32_t n) {
        old.emplace(OccurrenceKey{entry.key, n}, &entry);
    });
    std::vector<EntryDiff> diffs;
    ByOccurrence(after, [&](const StrEntry& entry, std::int32_t n) {
        const auto was = old.find({entry.key, n});
        if (was == old.end()) {
            diffs.push_back({entry.key, n, std::nullopt, entry.text});
            return;
        }
        if (was->second->text != entry.text)
            diffs.push_back({entry.key, n, was->second->text, entry.text});
        old.erase(was);
    });
    ByOccurrence(before, [&](const StrEntry& entry, std::int32_t n) {
        if (old.count({entry.key, n}))
            diffs.push_back({entry.key, n, entry.text, std::nullopt});
    });
    return diffs;
}

} // namespace tolmere
