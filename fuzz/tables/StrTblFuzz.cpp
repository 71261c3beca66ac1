// SPDX-License-Identifier: MIT
// Arbitrary bytes as a string table: reading must never go outside the file, a table
// that is refused must leave the one in memory as it was, a table read and unchanged is
// written as the bytes read, and a changed one must read back whole, as the same entries
// in written order.
#include "support/Require.h"
#include "tables/StrTbl.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace tolmere::fuzz {
namespace {

void CheckCounts(const CStrTbl& table) {
    Require(table.EntryCount() == table.List().size(), "EntryCount() == List().size()");
    std::uint64_t stringBytes = 0;
    for (const StrEntry& e : table.List()) {
        // Keys and texts are read as C strings, so neither can hold a zero byte.
        Require(std::memchr(e.key.data(), 0, e.key.size()) == nullptr, "a key holds no zero byte");
        Require(std::memchr(e.text.data(), 0, e.text.size()) == nullptr,
                "a text holds no zero byte");
        stringBytes += e.key.size() + 1 + e.text.size() + 1;
    }
    Require(table.StringBytes() == stringBytes, "StringBytes() is the sum of key and text bytes");
}

} // namespace
} // namespace tolmere::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CStrTbl table;
    table.Add("kept", "unless read");
    if (!table.Parse(input)) {
        Require(table.EntryCount() == 1 && table.Find("kept"), "a refused table changes nothing");
        return 0;
    }
    CheckCounts(table);

    std::string written;
    if (table.Serialize(written))
        Require(written == input, "an unchanged table is written as the bytes read");
    // Changed, it is written anew in the game's own layout.
    table.Add("fuzz", "added");
    if (!table.Serialize(written))
        return 0;
    // Serialize has put the entries in the order it wrote them.
    std::vector<std::pair<std::string, std::string>> expected;
    for (const StrEntry& e : table.List())
        expected.emplace_back(e.key, e.text);

    std::vector<std::string> warnings;
    Require(CStrTbl::Check(written, &warnings).empty() && warnings.empty(),
            "a table written anew reads back with nothing amiss");
    CStrTbl again;
    Require(again.Parse(written), "what is written reads back");
    CheckCounts(again);
    Require(again.EntryCount() == expected.size(), "a written table reads back every entry");

    // Reading numbers the entries in the element index's order, the written order.
    std::vector<const StrEntry*> read;
    for (const StrEntry& e : again.List())
        read.push_back(&e);
    std::stable_sort(read.begin(), read.end(), [](const StrEntry* a, const StrEntry* b) {
        return a->indexNumber < b->indexNumber;
    });
    for (std::size_t i = 0; i < read.size(); ++i) {
        Require(read[i]->key == expected[i].first, "a written key reads back unchanged, in order");
        Require(read[i]->text == expected[i].second,
                "a written text reads back unchanged, in order");
    }

    std::string rewritten;
    Require(again.Serialize(rewritten), "a table read from a written one can be written");
    Require(rewritten == written, "a written table is written again byte for byte");
    return 0;
}
