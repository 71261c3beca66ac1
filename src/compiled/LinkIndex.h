// SPDX-License-Identifier: MIT
// What the game's compile looks names up in: the rows of a linked table by name, and
// string keys in the three string tables.
#pragma once

#include "tables/TxtTable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tolmere {

// Whether a data row is a record: the game drops rows whose first cell is "Expansion"
// (its separator between the classic and the expansion rows) and keeps every other,
// a row of TABs alone included.
bool IsBinRecord(const CTxtTable& table, std::int32_t row);

// The records of one table by the text of one column, without regard to case: the
// number each gets is its place among the records.
class CLinkIndex {
public:
    // Empty when it worked; otherwise why not (the table has no such column).
    std::string Build(const CTxtTable& table, const std::string& column);
    // The record named so, or -1.
    std::int32_t Find(std::string_view name) const;
    std::size_t Size() const { return rows_.size(); }

private:
    std::unordered_map<std::string, std::int32_t> rows_; // by lower-case name
    mutable std::string lowered_;                        // reused by Find
};

// One string table's keys, looked up as the game looks them up: the key's hash picks a
// slot and the following slots are tried up to the table's probe limit or a free
// slot; the first slot with the key gives its number. A key stored twice is thus
// found where the game finds it, which need not be its first entry. Where each key's
// lookup ends is worked out once, as the stock tables are full and a missing key's
// probe would walk all of them.
class CTblKeys {
public:
    // Empty when the bytes are a string table the game reads; otherwise why not.
    std::string Parse(std::string bytes);
    std::optional<std::uint16_t> Find(std::string_view key) const;
    bool Loaded() const { return bytes_ != nullptr; }

private:
    // Shared, so that the keys below, which point into it, stay valid in copies.
    std::shared_ptr<const std::string> bytes_;
    // Each key the game's lookup finds: the probe steps it takes, and the number found.
    std::unordered_map<std::string_view, std::pair<std::uint32_t, std::uint16_t>> found_;
};

// The string indices compiled into ItemStatCost.bin and Sets.bin: string.tbl numbers
// from 0, patchstring.tbl from 10000, expansionstring.tbl from 20000, a key being
// looked up in patchstring.tbl, then expansionstring.tbl, then string.tbl.
struct BinStrings {
    static constexpr std::uint16_t kMissingString = 5382; // the game's "An evil force"
    CTblKeys patch;
    CTblKeys expansion;
    CTblKeys base;

    bool Any() const { return patch.Loaded() || expansion.Loaded() || base.Loaded(); }
    // kMissingString for an empty key or one in no table.
    std::uint16_t Index(std::string_view key) const;
};

} // namespace tolmere
