// SPDX-License-Identifier: MIT
// The grid's model of rows, columns, keys and scrolling, and the raw edit of item
// tables it shows: columns with choosers, picks and edits written back.
#include "grid/GridModel.h"
#include "grid/RawEdit.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace tolmere {
namespace {

// 30 columns `width` pixels wide (column 0 `firstWidth`), ten rows in view.
CGridModel MakeModel(int rows, int columns = 30, bool frozen = false, int firstWidth = 100,
                     int width = 100) {
    CGridModel model;
    for (int c = 0; c < columns; ++c) {
        GridColumn column;
        column.width = c == 0 ? firstWidth : width;
        model.AddColumn(column);
    }
    model.FinishColumns();
    for (int r = 0; r < rows; ++r)
        model.AddRow();
    model.SetFrozenFirstColumn(frozen);
    model.SetVisibleRows(10);
    return model;
}

// Columns 120, 70 and 60 wide, then 100s; `frozen` asked for, `view` pixels wide.
CGridModel FrozenModel(int frozen, int view, int first = 0, int gutter = 0) {
    CGridModel model = MakeModel(50, 30);
    const int widths[] = {120, 70, 60};
    for (int c = 0; c < 3; ++c)
        model.SetColumnWidth(c, widths[c]);
    model.SetRowGutter(gutter);
    model.SetFrozenColumns(frozen);
    model.SetViewWidth(view);
    model.SetFirstVisibleColumn(first);
    return model;
}

TEST(GridModelTest, FrozenColumnsLeaveHalfTheViewToScroll) {
    const struct {
        int asked, view, gutter, frozen, left;
    } cases[] = {
        {3, 1000, 0, 3, 250}, {3, 500, 0, 3, 250},  {3, 499, 0, 2, 190},  {2, 300, 0, 1, 120},
        {3, 200, 0, 0, 0},    {3, 500, 40, 2, 190}, {40, 0, 0, 29, 2850},
    };
    for (const auto& c : cases) {
        const CGridModel model = FrozenModel(c.asked, c.view, 0, c.gutter);
        EXPECT_EQ(model.FrozenColumns(), c.frozen) << c.asked << " in " << c.view;
        EXPECT_EQ(model.LeftWidth(), c.left + c.gutter) << c.asked << " in " << c.view;
    }
}

TEST(GridModelTest, HitTestAndOriginsCountEveryFrozenColumn) {
    const struct {
        int asked, view, x;
        int column; // -1: no cell
        int origin; // the column's left edge
    } cases[] = {
        {3, 1000, 10, 0, 0},     {3, 1000, 125, 1, 120}, {3, 1000, 189, 1, 120},
        {3, 1000, 190, 2, 190},  {3, 1000, 249, 2, 190}, {3, 1000, 250, 10, 250},
        {3, 1000, 350, 11, 350}, {3, 400, 189, 1, 120},  {3, 400, 190, 10, 190},
        {2, 1000, 200, 10, 190},
    };
    for (const auto& c : cases) {
        const CGridModel model = FrozenModel(c.asked, c.view, 10);
        const auto cell = model.HitTest(c.x, 30, c.view);
        ASSERT_TRUE(cell) << c.asked << " at " << c.x;
        EXPECT_EQ(cell->column, c.column) << c.asked << " in " << c.view << " at " << c.x;
        EXPECT_EQ(model.CellOrigin(0, c.column).first, c.origin) << c.column;
    }
}

TEST(GridModelTest, KeysAndScrollingCrossTheFrozenEdge) {
    using K = GridKey;
    const struct {
        const char* name;
        int asked, view, first;
        K key;
        int from, to, newFirst;
    } cases[] = {
        {"right out of the frozen part shows the next", 3, 1000, 10, K::kRight, 2, 3, 3},
        {"left into the frozen part keeps the scroll", 3, 1000, 3, K::kLeft, 3, 2, 3},
        {"left off the first scrolled column scrolls", 3, 1000, 10, K::kLeft, 10, 9, 9},
        {"right to the cut edge scrolls one", 3, 1000, 3, K::kRight, 9, 10, 4},
        {"home goes back to the frozen edge", 3, 1000, 15, K::kHome, 20, 0, 3},
        {"narrow view: home to the shrunk edge", 3, 400, 15, K::kHome, 20, 0, 2},
        {"narrow view: right past column 2 scrolls", 3, 400, 2, K::kRight, 3, 4, 3},
        {"end shows the last column", 2, 400, 2, K::kEnd, 5, 29, 28},
    };
    for (const auto& c : cases) {
        CGridModel model = FrozenModel(c.asked, c.view, c.first);
        model.Select(0, c.from);
        model.Key(c.key, c.view, false);
        EXPECT_EQ(model.Selected().column, c.to) << c.name;
        EXPECT_EQ(model.FirstVisibleColumn(), c.newFirst) << c.name;
        const auto [x, y] = model.CellOrigin(0, c.to);
        EXPECT_GE(x, 0) << c.name;
        EXPECT_LE(x + model.ShownWidth(c.to), c.view) << c.name;
    }
    CGridModel model = FrozenModel(3, 1000, 12);
    EXPECT_EQ(model.HorizontalScroll(GridScroll::kStart, 1000), 3);
    EXPECT_EQ(model.HorizontalScroll(GridScroll::kLineBack, 1000), 3);
    model.SetViewWidth(300);
    EXPECT_EQ(model.HorizontalScroll(GridScroll::kStart, 300), 1);
}

struct KeyCase {
    const char* name;
    GridKey key;
    GridCell from;
    int top, first;
    GridCell to;
    int newTop, newFirst;
    int rows = 50;
    bool frozen = false;
    int width = 100; // of every column
};

TEST(GridModelTest, KeysMoveAndScrollAsTheRulesSay) {
    using K = GridKey;
    const KeyCase cases[] = {
        {"up inside", K::kUp, {5, 0}, 3, 0, {4, 0}, 3, 0},
        {"up above top", K::kUp, {3, 0}, 3, 0, {2, 0}, 2, 0},
        {"up at row 0 shows it", K::kUp, {0, 0}, 5, 0, {0, 0}, 0, 0},
        {"down inside", K::kDown, {5, 0}, 3, 0, {6, 0}, 3, 0},
        {"down below view", K::kDown, {12, 0}, 3, 0, {13, 0}, 4, 0},
        {"down at last row shows it", K::kDown, {49, 0}, 20, 0, {49, 0}, 40, 0},
        {"down without rows", K::kDown, {0, 0}, 0, 0, {0, 0}, 0, 0, 0},
        {"page up", K::kPageUp, {25, 0}, 20, 0, {15, 0}, 15, 0},
        {"page up inside", K::kPageUp, {25, 0}, 10, 0, {15, 0}, 10, 0},
        {"page up clamped", K::kPageUp, {5, 0}, 3, 0, {0, 0}, 0, 0},
        {"page down", K::kPageDown, {25, 0}, 20, 0, {35, 0}, 26, 0},
        {"page down clamped", K::kPageDown, {45, 0}, 38, 0, {49, 0}, 40, 0},
        {"left of view", K::kLeft, {0, 5}, 0, 5, {0, 4}, 0, 4},
        {"left at 0 shows it", K::kLeft, {0, 0}, 0, 3, {0, 0}, 0, 0},
        {"right onto cut column", K::kRight, {0, 9}, 0, 0, {0, 10}, 0, 1},
        {"right inside", K::kRight, {0, 3}, 0, 0, {0, 4}, 0, 0},
        {"right at last", K::kRight, {0, 29}, 0, 25, {0, 29}, 0, 25},
        {"home", K::kHome, {0, 12}, 0, 8, {0, 0}, 0, 0},
        {"home at 0", K::kHome, {0, 0}, 0, 4, {0, 0}, 0, 4},
        {"end", K::kEnd, {0, 3}, 0, 0, {0, 29}, 0, 25},
        {"end at last", K::kEnd, {0, 29}, 0, 10, {0, 29}, 0, 10},
        {"frozen home", K::kHome, {0, 12}, 0, 8, {0, 0}, 0, 1, 50, true},
        {"frozen left onto 0", K::kLeft, {0, 1}, 0, 1, {0, 0}, 0, 1, 50, true},
        {"frozen right counts column 0", K::kRight, {0, 9}, 0, 1, {0, 10}, 0, 2, 50, true},
        {"frozen end", K::kEnd, {0, 3}, 0, 1, {0, 29}, 0, 25, 50, true},
        // Columns wider than a fifth of the view: three fit in 1000 pixels.
        {"wide end", K::kEnd, {0, 3}, 0, 0, {0, 29}, 0, 27, 50, false, 300},
        {"wide frozen end", K::kEnd, {0, 3}, 0, 1, {0, 29}, 0, 28, 50, true, 300},
        {"wider right onto cut column", K::kRight, {0, 1}, 0, 0, {0, 2}, 0, 2, 50, false, 600},
    };
    for (const KeyCase& c : cases) {
        CGridModel model = MakeModel(c.rows, 30, c.frozen, c.width, c.width);
        model.Select(c.from.row, c.from.column);
        model.SetTopRow(c.top);
        model.SetFirstVisibleColumn(c.first);
        model.Key(c.key, 1000);
        EXPECT_EQ(model.Selected(), c.to) << c.name;
        EXPECT_EQ(model.TopRow(), c.newTop) << c.name;
        EXPECT_EQ(model.FirstVisibleColumn(), c.newFirst) << c.name;
    }
}

TEST(GridModelTest, ScrollRequestsStayInRange) {
    using S = GridScroll;
    const struct {
        S action;
        int position, from, vertical, horizontal, frozenHorizontal;
    } cases[] = {
        // 50 rows, ten in view; 30 columns, 1250 pixels showing up to column 12.
        {S::kLineBack, 0, 0, 0, 0, 1},        {S::kLineForward, 0, 5, 6, 6, 6},
        {S::kLineForward, 0, 24, 25, 25, 25}, {S::kLineForward, 0, 25, 26, 25, 25},
        {S::kPageBack, 0, 12, 2, 7, 7},       {S::kPageBack, 0, 3, 0, 0, 1},
        {S::kPageForward, 0, 0, 10, 12, 12},  {S::kPageForward, 0, 25, 35, 25, 25},
        {S::kTrack, 99, 0, 40, 25, 25},       {S::kTrack, -3, 9, 0, 0, 1},
        {S::kStart, 0, 9, 0, 0, 1},           {S::kEnd, 0, 0, 40, 25, 25},
    };
    for (const auto& c : cases) {
        CGridModel model = MakeModel(50);
        model.SetTopRow(c.from);
        EXPECT_EQ(model.VerticalScroll(c.action, c.position), c.vertical) << c.from;
        model.SetFirstVisibleColumn(c.from);
        EXPECT_EQ(model.HorizontalScroll(c.action, 1250, c.position), c.horizontal) << c.from;
        CGridModel frozen = MakeModel(50, 30, true);
        frozen.SetFirstVisibleColumn(c.from);
        EXPECT_EQ(frozen.HorizontalScroll(c.action, 1250, c.position), c.frozenHorizontal);
    }
    CGridModel few = MakeModel(5);
    EXPECT_EQ(few.VerticalScroll(S::kEnd), 0);
    EXPECT_EQ(few.MaxTopRow(), 0);

    // The last column in view: cut off on the first page, whole on the last.
    EXPECT_EQ(few.LastVisibleColumn(1250).column, 12);
    EXPECT_TRUE(few.LastVisibleColumn(1250).cutOff);
    few.SetFirstVisibleColumn(25);
    EXPECT_EQ(few.LastVisibleColumn(1250).column, 29);
    EXPECT_FALSE(few.LastVisibleColumn(1250).cutOff);
}

TEST(GridModelTest, VisibleRowsCountAPartRowOverFourPixels) {
    const int heights[][2] = {{10, 0}, {24, 0}, {48, 1}, {52, 1}, {53, 2}, {264, 10}};
    for (const auto& h : heights)
        EXPECT_EQ(CGridModel::VisibleRowsForHeight(h[0]), h[1]) << h[0];
}

TEST(GridModelTest, HitTestSkipsHeaderAndCountsTheFrozenColumn) {
    const struct {
        const char* name;
        bool frozen;
        int first, columns, x, y;
        std::optional<GridCell> cell;
    } cases[] = {
        {"header", false, 3, 30, 50, 10, std::nullopt},
        {"header's last line", false, 3, 30, 50, 24, std::nullopt},
        {"first row", false, 3, 30, 0, 25, GridCell{10, 3}},
        {"second row", false, 3, 30, 0, 48, GridCell{11, 3}},
        {"left of the grid", false, 3, 30, -1, 30, std::nullopt},
        {"next column", false, 3, 30, 150, 30, GridCell{10, 4}},
        {"past the cut edge", false, 3, 30, 5000, 30, GridCell{10, 13}},
        {"past the last column", false, 0, 3, 260, 30, std::nullopt},
        {"in the last column", false, 0, 3, 259, 30, GridCell{10, 2}},
        {"frozen column", true, 5, 30, 10, 30, GridCell{10, 0}},
        {"after frozen column", true, 5, 30, 65, 30, GridCell{10, 5}},
        {"past the last row", false, 0, 30, 10, 24 + 11 * 24, std::nullopt},
    };
    for (const auto& c : cases) {
        CGridModel model = MakeModel(21, c.columns, c.frozen, 60);
        model.SetTopRow(10);
        model.SetFirstVisibleColumn(c.first);
        EXPECT_EQ(model.HitTest(c.x, c.y, 1000), c.cell) << c.name;
    }
    EXPECT_FALSE(MakeModel(0).HitTest(10, 30, 1000));

    CGridModel model = MakeModel(21, 30, true, 60);
    model.SetTopRow(10);
    model.SetFirstVisibleColumn(5);
    EXPECT_EQ(model.CellOrigin(11, 0), std::make_pair(0, 48));
    EXPECT_EQ(model.CellOrigin(10, 5), std::make_pair(60, 24));
    EXPECT_EQ(model.CellOrigin(10, 7), std::make_pair(260, 24));
    EXPECT_EQ(model.CellOrigin(10, 3), std::make_pair(-140, 24));
}

TEST(GridModelTest, FindWrapsBothWaysWithoutRegardToCase) {
    CGridModel model = MakeModel(3, 3);
    model.Fill(0, 0, "abc");
    model.Fill(1, 2, "xAB");
    model.Fill(2, 1, "Cab");
    model.Fill(2, 2, "\xE9t\xE9");
    const struct {
        const char* needle;
        GridCell from;
        bool backwards;
        std::optional<GridCell> hit;
    } cases[] = {
        {"ab", {0, 0}, false, GridCell{1, 2}},  {"ab", {1, 2}, false, GridCell{2, 1}},
        {"ab", {2, 1}, false, GridCell{0, 0}},  {"ab", {0, 0}, true, GridCell{2, 1}},
        {"ab", {2, 1}, true, GridCell{1, 2}},   {"\xC9T", {0, 0}, false, GridCell{2, 2}},
        {"xab", {1, 2}, false, GridCell{1, 2}}, {"zz", {0, 0}, false, std::nullopt},
        {"", {0, 0}, false, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model.Find(c.needle, c.from, c.backwards), c.hit) << c.needle;
}

TEST(GridModelTest, FinishColumnsGatesRowsAndEditNextWraps) {
    CGridModel model;
    EXPECT_FALSE(model.FinishColumns());
    model.AddColumn({});
    model.AddRow();
    EXPECT_EQ(model.RowCount(), 0);
    EXPECT_TRUE(model.FinishColumns());
    model.AddRow();
    EXPECT_EQ(model.RowCount(), 1);
    EXPECT_FALSE(model.FinishColumns());
    EXPECT_FALSE(model.AddColumn({}));
    EXPECT_TRUE(model.SetColumnWidth(0, 3));
    EXPECT_EQ(model.Column(0)->width, CGridModel::kMinColumnWidth);

    // Edit Next wraps to the next row and stops after the last cell.
    const CGridModel wide = MakeModel(3, 4);
    EXPECT_EQ(wide.NextEditCell({0, 1}), (GridCell{0, 2}));
    EXPECT_EQ(wide.NextEditCell({0, 3}), (GridCell{1, 0}));
    EXPECT_EQ(wide.NextEditCell({2, 3}), std::nullopt);
}

TEST(GridModelTest, CellsAreCompactAndChangesKeptAside) {
    constexpr int kRows = 2000;
    constexpr int kColumns = 170;
    CGridModel model = MakeModel(kRows, kColumns);
    const auto text = [](int r, int c) {
        return (r + c) % 3 == 0 ? std::string() : std::to_string(r * 7 + c);
    };
    std::size_t tableBytes = 0;
    // Column by column, the worst order for runs kept row by row.
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            model.Fill(r, c, text(r, c));
            tableBytes += text(r, c).size() + 1;
        }
    }
    EXPECT_LT(model.MemoryBytes(), 4 * tableBytes);
    for (int r = 0; r < kRows; r += 97)
        for (int c = 0; c < kColumns; c += 13)
            ASSERT_EQ(model.Text(r, c), text(r, c)) << r << "," << c;

    EXPECT_TRUE(model.SetText(5, 6, "new"));
    EXPECT_EQ(model.Text(5, 6), "new");
    EXPECT_TRUE(model.Changed(5, 6));
    EXPECT_FALSE(model.Changed(5, 7));
    model.Fill(5, 6, "again");
    EXPECT_FALSE(model.Changed(5, 6));
    EXPECT_EQ(model.Text(5, 6), "again");
    const std::string huge(40000, 'x');
    model.Fill(7, 3, huge);
    EXPECT_EQ(model.Text(7, 3), huge);
    EXPECT_FALSE(model.Changed(7, 3));
    EXPECT_EQ(model.Text(7, 4), text(7, 4));
    EXPECT_EQ(model.Text(kRows, 0), "");
    EXPECT_FALSE(model.SetText(0, kColumns, "x"));
}

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
    const CTxtTable classic = testing::NamedTable(
        {"name", "key2", "version", "items", "nummods", "lvl", "color", "item1", "code1", "key1",
         "prop1", "par1", "min1", "max1", "prop2", "par2", "min2", "max2"},
        {testing::Row{"Set", "", "", "1"}});
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
        const char* name; // "-": no name is written
    } cases[] = {
        {ChoiceKind::kBaseCode, "Hand Axe |hax", "hax", "Hand Axe"},
        {ChoiceKind::kBaseCode, "hax", "hax", "-"},
        {ChoiceKind::kModifierCode, "+# to Strength |str", "str", "-"},
        {ChoiceKind::kColourCode, "Light Blue |lblu", "lblu", "-"},
        {ChoiceKind::kPlain, "a |b", "a |b", "-"},
        {ChoiceKind::kNameKey, "a |b", "a |b", "-"},
    };
    for (const auto& c : cases) {
        const RawPick pick = PickChoice(c.kind, c.text);
        EXPECT_EQ(pick.cell, c.cell) << c.text;
        EXPECT_EQ(pick.writesName ? pick.name : "-", c.name) << c.text;
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

// A slot's cell means what the property of its own row and slot makes of it: a skill
// on hit reads a chance and a level, a resistance no parameter; an empty slot says
// nothing and an unknown code says so.
TEST(RawEdit, SlotCellTipsFollowTheirRowsProperty) {
    Sources sources;
    GameTables game;
    game.properties = testing::NamedTable(
        {"code", "func1", "stat1", "*desc", "*param", "*min", "*max"},
        {{"oskill", "22", "item_nonclassskill", "", "Skill", "min level", "max level"},
         {"hit-skill", "11", "item_skillonhit", "Proc Skill on Hit", "Skill #", "% Chance",
          "Level"},
         {"res-fire", "1", "fireresist"}});
    game.itemStatCost = testing::NamedTable(
        {"Stat", "ID"},
        {{"item_nonclassskill", "97"}, {"item_skillonhit", "198"}, {"fireresist", "39"}});
    sources.game.Assign(game);
    const CTxtTable table = testing::NamedTable(
        {"index", "version", "code", "*type", "lvl", "prop1", "par1", "min1", "max1", "prop2",
         "par2", "min2", "max2"},
        {{"A", "0", "hax", "", "1", "res-fire", "", "5", "10", "oskill", "47", "1", "3"},
         {"B", "0", "hax", "", "1", "hit-skill", "47", "10", "3"},
         {"C", "0", "hax", "", "1", "zap", "1", "1", "1"}});
    const std::vector<RawColumn> columns = RawColumnsFor(table, sources.Get());
    const CModifierChoices choices = RawSlotChoices(table, sources.Get());
    const struct {
        std::int32_t row;
        std::int32_t column;
        const char* line; // the tip's first line; "-" for a column outside the slots
    } cases[] = {
        {0, 10, "Parameter of oskill: Skill"},
        {0, 11, "Min of oskill: min level"},
        {0, 6, "Parameter of res-fire: not read"},
        {1, 6, "Parameter of Proc Skill on Hit (hit-skill): Skill"},
        {1, 7, "Min of Proc Skill on Hit (hit-skill): % Chance"},
        {1, 8, "Max of Proc Skill on Hit (hit-skill): Level"},
        {1, 10, ""},
        {2, 7, "Min of 'zap', a property code the list does not hold: what it means is not known."},
        {0, 4, "-"},
        {0, 5, "-"},
    };
    for (const auto& c : cases) {
        const RawColumn& column = columns[static_cast<std::size_t>(c.column)];
        const std::string tip =
            column.slotCode < 0
                ? "-"
                : SlotCellTip(choices, column.slotPart, table.Text(c.row, column.slotCode));
        EXPECT_EQ(tip.substr(0, tip.find('\n')), c.line) << c.row << "," << c.column;
    }
    EXPECT_EQ(SlotCellTip(choices, SlotPart::kMax, "oskill"),
              "Max of oskill: max level\nParameter: Skill; min: min level; max: max level");
}

} // namespace
} // namespace tolmere
