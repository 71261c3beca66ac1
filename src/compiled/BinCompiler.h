// SPDX-License-Identifier: MIT
// Compiles a table's .txt into the .bin the game would compile from it, and tells where
// two .bin files of a layout first differ.
#pragma once

#include "compiled/BinLayouts.h"
#include "compiled/LinkIndex.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

// The tables a compile links to, by BinLink, and the string tables.
class CBinLinks {
public:
    // Indexes the table's rows by the link's name column. Empty when it worked;
    // otherwise why not.
    std::string Add(BinLink link, const CTxtTable& table);
    bool Has(BinLink link) const { return loaded_[Slot(link)]; }
    const CLinkIndex& Index(BinLink link) const { return indexes_[Slot(link)]; }
    BinStrings& Strings() { return strings_; }
    const BinStrings& Strings() const { return strings_; }

private:
    static std::size_t Slot(BinLink link) { return static_cast<std::size_t>(link); }
    std::array<CLinkIndex, std::size(kAllBinLinks) + 1> indexes_;
    std::array<bool, std::size(kAllBinLinks) + 1> loaded_{};
    BinStrings strings_;
};

// Records are numbered 0 to 0xFFFE in two-byte links, 0xFFFF standing for none.
inline constexpr std::int32_t kMaxBinRecords = 0xFFFF;

// The bytes of the table's .bin. Empty when it worked; otherwise why not (a linked
// table or the string tables the layout needs are missing, or more than kMaxBinRecords
// records), with `out` left empty.
std::string CompileBin(const CTxtTable& table, const BinLayout& layout, const CBinLinks& links,
                       std::string& out);

// A cell the game's compile does not keep as written: a text or code cut short, a
// number beyond its field, a name the linked table lacks (a disabled "*code" aside).
// For lint: the compile itself follows the game and stores what the game stores.
struct BinCellNote {
    std::int32_t row = 0; // data row
    std::int32_t column = 0;
    std::string columnName;
    std::string what; // "is longer than four characters; the game keeps the first four"
};
// The notes in row order, then column order; links the table lacks are not looked at.
std::vector<BinCellNote> BinCellNotes(const CTxtTable& table, const BinLayout& layout,
                                      const CBinLinks& links);

// The first field two .bin files of one layout disagree in.
struct BinDifference {
    bool found = false;
    std::int64_t record = -1; // -1: the files differ in size or record count
    std::string field;        // the column, or a byte range no column writes
    std::string expected;
    std::string got;
    // "record 12 (prop3): expected 31, got 30".
    std::string Describe() const;
};
BinDifference FirstBinDifference(const BinLayout& layout, std::string_view expected,
                                 std::string_view got);

} // namespace tolmere
