#include "grid/RawEdit.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

// The kinds of the columns a table's header names, as "name:kind" for the non-plain
// ones, with "->name" after a base code column that takes the base item's name.
std::string Kinds(const CTxtTable& table, const RawEditSources& sources) {
    const std::vector<RawColumn> columns = RawColumnsFor(table, sources);
    std::string text;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].kind == ChoiceKind::kPlain)
            continue;
        text += std::string(table.HeaderCell(static_cast<std::int32_t>(c)).value_or("?")) + ":" +
                std::to_string(static_cast<int>(columns[c].kind));
        if (columns[c].nameColumn >= 0)
            text += "->" + std::string(*table.HeaderCell(columns[c].nameColumn));
        text += " ";
    }
    return text;
}

struct Sources {
    CBaseLists lists;
    CModKeys keys;
    CGameData game;
    CStringTables strings;
    CTxtTable colours = testing::NamedTable({"code", "name"}, {{"lblu", "Light Blue"}});
    RawEditSources Get() const { return {lists, keys, game, strings, colours}; }
};

TEST(RawEdit, ColumnsAreFoundByTheLayoutOfTheirHeader) {
    Sources sources;
    const struct {
        testing::Row header;
        const char* kinds;
    } cases[] = {
        {{"index", "version", "code", "*type", "lvl", "prop1", "par1", "min1", "max1",
          "invtransform"},
         "index:4 code:1->*type prop1:2 invtransform:3 "},
        {{"name", "code", "Level", "ItemMod1Code", "ItemMod1Param", "ItemMod1Min", "ItemMod1Max"},
         "name:4 code:1 ItemMod1Code:2 "},
        {{"index", "set", "item", "*item", "invtransform", "prop1", "par1", "min1", "max1",
          "aprop1a", "apar1a", "amin1a", "amax1a"},
         "index:4 item:1->*item invtransform:3 prop1:2 aprop1a:2 "},
        {{"index", "name", "PCode2a", "PParam2a", "PMin2a", "PMax2a", "FCode1", "FParam1", "FMin1",
          "FMax1"},
         "name:4 PCode2a:2 FCode1:2 "},
        {{"key", "value"}, ""},
    };
    for (const auto& c : cases) {
        const CTxtTable table = testing::NamedTable(c.header, {testing::Row{"Row"}});
        EXPECT_EQ(Kinds(table, sources.Get()), c.kinds) << c.header.front();
    }
    // The classic set layout: each member's base name beside its code, the set's keys.
    testing::Row header{"name", "key2", "version", "items", "nummods", "lvl", "color"};
    for (const char* column : {"item1", "code1", "key1", "prop1", "par1", "min1", "max1", "prop2",
                               "par2", "min2", "max2"})
        header.push_back(column);
    const CTxtTable classic = testing::NamedTable(header, {testing::Row{"Set", "", "", "1"}});
    EXPECT_EQ(Kinds(classic, sources.Get()),
              "name:4 key2:4 color:3 code1:1->item1 key1:4 prop1:2 prop2:2 ");
    EXPECT_EQ(RawColumnsFor(classic, sources.Get())[6].choices,
              std::vector<std::string>{"Light Blue |lblu"});
}

TEST(RawEdit, APickLeavesTheCodeAndABaseItemsName) {
    const struct {
        ChoiceKind kind;
        const char* text;
        const char* cell;
        const char* name; // nullptr: no name is written
    } cases[] = {
        {ChoiceKind::kBaseCode, "Hand Axe |hax", "hax", "Hand Axe"},
        {ChoiceKind::kBaseCode, "hax", "hax", nullptr},
        {ChoiceKind::kModifierCode, "+# to Strength |str", "str", nullptr},
        {ChoiceKind::kColourCode, "Light Blue |lblu", "lblu", nullptr},
        {ChoiceKind::kPlain, "a |b", "a |b", nullptr},
        {ChoiceKind::kNameKey, "a |b", "a |b", nullptr},
    };
    for (const auto& c : cases) {
        const RawPick pick = PickChoice(c.kind, c.text);
        EXPECT_EQ(pick.cell, c.cell) << c.text;
        EXPECT_EQ(pick.writesName, c.name != nullptr) << c.text;
        if (c.name) {
            EXPECT_EQ(pick.name, c.name);
        }
    }
}

TEST(RawEdit, ApplyWritesOnlyChangedCellsAndAppendsRows) {
    CTxtTable table = testing::NamedTable({"a", "b"}, {{"\x92x", "1"}, {"y", "2"}});
    const std::string before = table.Serialize();
    RawEdits edits;
    edits.rows = 3;
    edits.cells[{0, 0}] = "\x92x"; // the same bytes: not a change
    edits.cells[{1, 1}] = "20";
    edits.cells[{2, 0}] = "new";
    edits.cells[{9, 9}] = "outside";
    EditStep step;
    ApplyRawEdits(table, edits, step);
    EXPECT_EQ(table.DataRowCount(), 3);
    EXPECT_EQ(table.Text(0, 0), "\x92x");
    EXPECT_EQ(table.Text(1, 1), "20");
    EXPECT_EQ(table.Text(2, 0), "new");
    ASSERT_EQ(step.cells.size(), 2u);
    EXPECT_EQ(step.cells[0].before, "2");
    EXPECT_EQ(table.Serialize().substr(0, before.size() - 5), before.substr(0, before.size() - 5));
}

} // namespace
} // namespace tolmere
