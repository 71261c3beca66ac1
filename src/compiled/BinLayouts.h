// SPDX-License-Identifier: MIT
// Where the game's compiled tables (data\global\excel\<Table>.bin) keep each column of
// their .txt: one table of fields per layout. The file is a u32 record count and then
// fixed-size records; a field names its column, where it lies in the record and how the
// cell becomes bytes. Bytes no field writes stay 0: record ids, string ids and set
// member counts among them, which the game fills as it loads.
#pragma once

#include "tables/TxtTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tolmere {

// The tables a compiled field looks names up in.
enum class BinLink : std::uint8_t {
    kNone,
    kProperties,
    kItemStatCost,
    kSounds,
    kEvents,
    kSets,
    kSkills,
    kMonType,
    kStates,
};
inline constexpr BinLink kAllBinLinks[] = {
    BinLink::kProperties, BinLink::kItemStatCost, BinLink::kSounds,  BinLink::kEvents,
    BinLink::kSets,       BinLink::kSkills,       BinLink::kMonType, BinLink::kStates};

// The game's name of the linked table ("Properties.txt") and the column its rows are
// found by ("code").
const char* BinLinkFile(BinLink link);
const char* BinLinkColumn(BinLink link);

enum class BinConv : std::uint8_t {
    kNumber,   // atoi of the cell, cut to the field's width
    kText,     // char[size]: at most size - 1 bytes, NUL-terminated, zero-filled
    kCode,     // four bytes: the code's first four, padded with spaces
    kFlag,     // bit `bit` of a u32, set when atoi(cell) != 0
    kLink,     // the row of the cell's name in `link`, -1 when it has none
    kParam,    // atoi for a number, else a skill, monster type or state by name, else 0
    kColour,   // u8 index into the game's colour list, 0xFF for none
    kString,   // u16 string index of the key, kMissingString when no table has it
    kOwnIndex, // u16: the record's own number
};

struct BinField {
    std::uint16_t offset = 0;
    std::uint8_t size = 0;
    BinConv conv = BinConv::kNumber;
    std::uint8_t bit = 0; // kFlag
    BinLink link = BinLink::kNone;
    std::string column;
};

struct BinLayout {
    std::string table; // "UniqueItems": the .txt and .bin share its name
    std::string game;  // "1.10+" or "1.09"
    std::uint32_t recordSize = 0;
    // Columns that all stand in a table of this layout and in none of the layouts
    // listed before it.
    std::vector<std::string> signature;
    std::vector<BinField> fields;

    // The linked tables the fields need, in kAllBinLinks order; a field linking to the
    // compiled table itself (ItemStatCost's maxstat) needs no other table.
    std::vector<BinLink> Links() const;
    bool NeedsStrings() const;
    // The link that names this layout's own table, or kNone.
    BinLink Self() const;
};

// Every layout, the newer game's first.
const std::vector<BinLayout>& BinLayouts();
// The layout whose signature the table's header holds (names without regard to case),
// or nullptr.
const BinLayout* FindBinLayout(const CTxtTable& table);
// The layout of the table of that name ("properties.txt" or "Properties") for the game
// "1.10+" or "1.09", or nullptr.
const BinLayout* FindBinLayout(const std::string& table, const std::string& game);

} // namespace tolmere
