// SPDX-License-Identifier: MIT
// Each conversion of the game's compile on small invented rows, read back field by
// field.
#include "base/ByteOrder.h"
#include "compiled/BinCompiler.h"
#include "tables/StrTbl.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <variant>

namespace tolmere {
namespace {

using testing::NamedTable;
using testing::Row;

struct Expect {
    std::int32_t record;
    std::string column;
    std::variant<std::int64_t, std::string> value; // a number, or the field's bytes
};

// The field's bytes at the record, as the number the game reads or as text.
std::variant<std::int64_t, std::string> Read(const std::string& bin, const BinLayout& layout,
                                             std::int32_t record, const BinField& field) {
    const auto* at = reinterpret_cast<const unsigned char*>(bin.data()) + 4 +
                     std::size_t{layout.recordSize} * record + field.offset;
    if (field.conv == BinConv::kText || field.conv == BinConv::kCode)
        return std::string(reinterpret_cast<const char*>(at), field.size);
    if (field.conv == BinConv::kFlag)
        return std::int64_t{(ReadLe32(at) >> field.bit) & 1};
    if (field.size == 1)
        return std::int64_t{at[0]};
    if (field.size == 2)
        return std::int64_t{ReadLe16(at)};
    return std::int64_t{static_cast<std::int32_t>(ReadLe32(at))};
}

void ExpectFields(const std::string& bin, const BinLayout& layout, std::int32_t records,
                  const std::vector<Expect>& expects) {
    ASSERT_EQ(bin.size(), 4 + std::size_t{layout.recordSize} * records);
    EXPECT_EQ(ReadLe32(reinterpret_cast<const unsigned char*>(bin.data())),
              static_cast<std::uint32_t>(records));
    for (const Expect& e : expects) {
        const auto field = std::find_if(layout.fields.begin(), layout.fields.end(),
                                        [&](const BinField& f) { return f.column == e.column; });
        ASSERT_NE(field, layout.fields.end()) << e.column;
        EXPECT_EQ(Read(bin, layout, e.record, *field), e.value)
            << "record " << e.record << ", " << e.column;
    }
}

std::string Padded(std::string text, std::size_t size) {
    text.resize(size, '\0');
    return text;
}

// The linked tables of the invented rows: every name the rows use, and near misses.
CBinLinks InventedLinks() {
    CBinLinks links;
    const auto add = [&links](BinLink link, const Row& header, const std::vector<Row>& rows) {
        EXPECT_EQ(links.Add(link, NamedTable(header, rows)), "");
    };
    add(BinLink::kProperties, {"code", "set1"},
        {{"ac"}, {"Expansion"}, {"str"}, {"ac"}, {"fireskill"}});
    add(BinLink::kSounds, {"Sound", "Index"}, {{""}, {"item_ring"}, {"item_amulet"}});
    add(BinLink::kSkills, {"skill", "Id"}, {{"Attack"}, {"Kick"}, {"Fire Ball"}});
    add(BinLink::kMonType, {"type"}, {{""}, {"undead"}, {"demon"}});
    add(BinLink::kStates, {"state"}, {{"none"}, {"freeze"}, {"poison"}, {"demon"}});
    add(BinLink::kSets, {"index"}, {{"Old Set"}, {"New Set"}});
    return links;
}

TEST(BinRulesTest, UniqueItemsConvertEachCellAsTheGameDoes) {
    const BinLayout& layout = *FindBinLayout("UniqueItems", "1.10+");
    const Row header{"index",        "version",      "enabled", "ladder",   "code",
                     "chrtransform", "invtransform", "lvl",     "cost add", "dropsound",
                     "usesound",     "prop1",        "par1",    "min1",     "max1",
                     "prop2",        "par2",         "min2",    "max2"};
    const std::string longName(40, 'n');
    const CTxtTable table = NamedTable(
        header,
        {{"Ring A ", "100", "1", "0", "rin", "lred", "bwht", "70000", "99999999999", "item_ring",
          "ITEM_AMULET", "STR", "Fire Ball", "3", "7", "fireskill", "demon", "-2", "x"},
         {"Expansion", "1", "1", "1", "amu"},
         {longName, "0", "7abc", "", "abcde", "LRED", "red", "-1", "-99999999999", "", "nothing",
          "*enr", "5", "3", "7", "", "12x", " 4", "poison"},
         {}});
    std::string bin;
    ASSERT_EQ(CompileBin(table, layout, InventedLinks(), bin), "");
    ExpectFields(bin, layout, 3,
                 {
                     {0, "index", Padded("Ring A ", 32)},       // trailing space kept
                     {1, "index", Padded(longName, 31) + '\0'}, // 31 bytes and the NUL
                     {2, "index", Padded("", 32)},              // the row of TABs is a record
                     {0, "version", 100},
                     {0, "enabled", 1},
                     {0, "ladder", 0},
                     {1, "enabled", 1}, // atoi("7abc") != 0
                     {2, "enabled", 0},
                     {0, "code", std::string("rin ")},
                     {1, "code", std::string("abcd")},
                     {2, "code", std::string("    ")},
                     {0, "chrtransform", 7},
                     {0, "invtransform", 20},
                     {1, "chrtransform", 7}, // colours without regard to case
                     {1, "invtransform", 0xFF},
                     {2, "chrtransform", 0xFF},
                     {0, "lvl", 70000 & 0xFFFF},
                     {1, "lvl", 0xFFFF},
                     {0, "cost add", 2147483647},
                     {1, "cost add", -2147483647 - 1},
                     {0, "dropsound", 1},
                     {0, "usesound", 2},  // links without regard to case
                     {1, "dropsound", 0}, // the empty-named first sound
                     {1, "usesound", 0xFFFF},
                     {0, "prop1", 1}, // after the dropped Expansion row
                     {0, "par1", 2},  // a skill by name
                     {0, "min1", 3},
                     {0, "max1", 7},
                     {0, "prop2", 3},
                     {0, "par2", 2}, // a monster type before a state of the same name
                     {0, "min2", -2},
                     {0, "max2", 0},
                     {1, "prop1", -1}, // a disabled code, its values kept
                     {1, "par1", 5},
                     {1, "min1", 3},
                     {1, "max1", 7},
                     {1, "prop2", -1},
                     {1, "par2", 12},
                     {1, "min2", 4},
                     {1, "max2", 0},
                     {2, "prop1", -1},
                 });
}

TEST(BinRulesTest, ParametersAndLinksFindTheFirstRowOfAName) {
    const BinLayout& layout = *FindBinLayout("SetItems", "1.10+");
    const CTxtTable table =
        NamedTable({"index", "set", "item", "aprop1a", "apar1a", "prop1", "par1"},
                   {{"a", "NEW SET", "rin", "ac", "poison", "ac", "Kick"},
                    {"b", "old set", "amu", "str", "-3", "fireskill", "unknown"}});
    std::string bin;
    ASSERT_EQ(CompileBin(table, layout, InventedLinks(), bin), "");
    ExpectFields(bin, layout, 2,
                 {{0, "set", 1},
                  {1, "set", 0},
                  {0, "aprop1a", 0}, // "ac" is given twice: the first row
                  {0, "apar1a", 2},  // a state by name
                  {1, "apar1a", -3},
                  {0, "par1", 1},
                  {1, "par1", 0}});
}

std::string TblBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
    CStrTbl tbl;
    for (const auto& [key, text] : entries)
        tbl.Add(key, text);
    std::string bytes;
    EXPECT_TRUE(tbl.Serialize(bytes));
    return bytes;
}

TEST(BinRulesTest, StringIndicesTakePatchStringFirst) {
    const BinLayout& layout = *FindBinLayout("Sets", "1.10+");
    CBinLinks links = InventedLinks();
    ASSERT_EQ(links.Strings().base.Parse(TblBytes({{"a", "A"}, {"Both", "x"}, {"Base", "y"}})), "");
    ASSERT_EQ(links.Strings().patch.Parse(TblBytes({{"Only", "p"}, {"Both", "z"}})), "");
    ASSERT_EQ(links.Strings().expansion.Parse(TblBytes({{"Exp", "e"}, {"Base", "q"}})), "");
    const CTxtTable table = NamedTable({"index", "name", "version", "PCode2a", "FCode1"},
                                       {{"s0", "Both", "100", "str", "AC"},
                                        {"s1", "Base"},
                                        {"s2", "Only"},
                                        {"s3", "missing"},
                                        {"s4", ""}});
    std::string bin;
    ASSERT_EQ(CompileBin(table, layout, links, bin), "");
    ExpectFields(bin, layout, 5,
                 {{0, "index", 0},
                  {3, "index", 3}, // the record's own number
                  {0, "name", 10001},
                  {1, "name", 20001},
                  {2, "name", 10000},
                  {3, "name", 5382},
                  {4, "name", 5382},
                  {0, "version", 100},
                  {0, "PCode2a", 1},
                  {0, "FCode1", 0}});
}

TEST(BinRulesTest, MissingInputsAreNamedAndNothingIsCompiled) {
    std::string bin = "old";
    EXPECT_EQ(CompileBin(NamedTable({"index", "set", "aprop1a"}, {{"a"}}),
                         *FindBinLayout("SetItems", "1.10+"), CBinLinks(), bin),
              "Properties.txt is needed to compile SetItems.bin");
    EXPECT_EQ(bin, "");
    EXPECT_EQ(CompileBin(NamedTable({"index", "name", "PCode2a", "FCode1"}, {{"a"}}),
                         *FindBinLayout("Sets", "1.10+"), InventedLinks(), bin),
              "the string tables are needed to compile Sets.bin");
    const std::vector<Row> rows(kMaxBinRecords + 1, Row{"x"});
    EXPECT_EQ(CompileBin(NamedTable({"index", "code", "prop1"}, rows),
                         *FindBinLayout("UniqueItems", "1.10+"), InventedLinks(), bin),
              "UniqueItems.txt has 65536 records; UniqueItems.bin holds at most 65535");
    EXPECT_EQ(bin, "");
}

TEST(BinRulesTest, TheFirstDifferenceIsNamedByItsColumn) {
    const BinLayout& layout = *FindBinLayout("Properties", "1.10+");
    CBinLinks links;
    ASSERT_EQ(links.Add(BinLink::kItemStatCost, NamedTable({"stat"}, {{"a"}, {"b"}})), "");
    std::string shipped, changed;
    const Row header{"code", "set1", "val1", "func1", "stat1", "stat2"};
    ASSERT_EQ(CompileBin(NamedTable(header, {{"p", "1", "2", "3", "a", "b"}, {"q", "1"}}), layout,
                         links, shipped),
              "");
    ASSERT_EQ(CompileBin(NamedTable(header, {{"p", "1", "2", "3", "a", "b"},
                                             {"q", "1", "0", "9", "", "B"}}),
                         layout, links, changed),
              "");
    EXPECT_EQ(FirstBinDifference(layout, shipped, changed).Describe(),
              "record 1 (func1): expected 0, got 9");
    EXPECT_EQ(FirstBinDifference(layout, shipped, shipped.substr(0, 50)).Describe(),
              "records of 46 bytes: expected 2, got 50 bytes that are no whole count");
    EXPECT_FALSE(FirstBinDifference(layout, shipped, shipped).found);
}

TEST(BinRulesTest, CellsTheCompileDoesNotKeepAreNoted) {
    const BinLayout& layout = *FindBinLayout("UniqueItems", "1.10+");
    const CTxtTable table =
        NamedTable({"index", "code", "lvl", "cost add", "prop1", "min1"},
                   {{std::string(32, 'n'), "rin", "70000", "2147483647", "*enr", "-5"},
                    {std::string(31, 'n'), "abcde", "65535", "1", "nothing", "x"},
                    {"Expansion", "abcde"},
                    {"c", "amu", "-32769", "-2147483649", "STR", ""}});
    std::vector<std::string> noted;
    for (const BinCellNote& note : BinCellNotes(table, layout, InventedLinks()))
        noted.push_back(std::to_string(note.row) + " " + note.columnName + ": " + note.what);
    EXPECT_EQ(noted, (std::vector<std::string>{
                         "0 index: is longer than 31 bytes; the game keeps the first 31",
                         "0 lvl: is beyond what the field holds (-32768 to 65535); the game "
                         "stores it cut to the field",
                         "1 code: is longer than four characters; the game keeps the first four",
                         "1 prop1: names no row of Properties.txt; the game stores -1",
                         "3 lvl: is beyond what the field holds (-32768 to 65535); the game "
                         "stores it cut to the field",
                         "3 cost add: is beyond what the field holds (-2147483648 to "
                         "2147483647); the game stores it cut to the field",
                     }));
}

// Every field lies inside its record and no two share a byte (flags aside, which share
// their word), and the bytes no field writes are as many as the decoded files show.
TEST(BinRulesTest, FieldMapsCoverTheDecodedBytes) {
    const std::map<std::string, std::size_t> unwritten{
        {"UniqueItems 1.10+", 13}, {"SetItems 1.10+", 10},      {"Sets 1.10+", 32},
        {"Properties 1.10+", 2},   {"ItemStatCost 1.10+", 237}, {"UniqueItems 1.09", 2},
        {"SetItems 1.09", 136},    {"ItemStatCost 1.09", 4}};
    ASSERT_EQ(BinLayouts().size(), unwritten.size());
    for (const BinLayout& layout : BinLayouts()) {
        const std::string name = layout.table + " " + layout.game;
        std::vector<int> owner(layout.recordSize, -1);
        for (std::size_t f = 0; f < layout.fields.size(); ++f) {
            const BinField& field = layout.fields[f];
            ASSERT_LE(field.offset + field.size, layout.recordSize) << name << " " << field.column;
            for (std::size_t i = field.offset; i < field.offset + field.size; ++i) {
                const bool sharedFlags = owner[i] >= 0 && field.conv == BinConv::kFlag &&
                                         layout.fields[owner[i]].conv == BinConv::kFlag;
                EXPECT_TRUE(owner[i] < 0 || sharedFlags) << name << " " << field.column;
                owner[i] = static_cast<int>(f);
            }
        }
        EXPECT_EQ(static_cast<std::size_t>(std::count(owner.begin(), owner.end(), -1)),
                  unwritten.at(name))
            << name;
    }
}

TEST(BinRulesTest, HeadersChooseTheirLayout) {
    const std::vector<std::pair<Row, std::string>> cases{
        {{"index", "version", "code", "prop1", "par1"}, "UniqueItems 1.10+"},
        {{"index", "set", "item", "prop1", "aprop1a"}, "SetItems 1.10+"},
        {{"index", "name", "PCode2a", "FCode1"}, "Sets 1.10+"},
        {{"code", "set1", "func1", "stat1"}, "Properties 1.10+"},
        {{"Stat", "ID", "Save Bits", "descstrpos"}, "ItemStatCost 1.10+"},
        {{"Stat", "ID", "Save Bits", "Target Stat"}, "ItemStatCost 1.09"},
        {{"name", "code", "ItemMod1Code"}, "UniqueItems 1.09"},
        {{"Name", "Item1", "I1Code1"}, "SetItems 1.09"},
        {{"skill", "Id"}, "none"},
    };
    for (const auto& [header, expected] : cases) {
        const BinLayout* layout = FindBinLayout(NamedTable(header, {}));
        EXPECT_EQ(layout ? layout->table + " " + layout->game : "none", expected);
    }
}

} // namespace
} // namespace tolmere
