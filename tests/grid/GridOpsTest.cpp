// SPDX-License-Identifier: MIT
// The grid's spreadsheet operations: selection, clipboard text, paste, find and replace,
// sorting the view, fill down, arithmetic and undo before Apply.
#include "grid/GridOps.h"
#include "grid/GridFind.h"
#include "grid/GridUndo.h"
#include "grid/Tsv.h"
#include "grid/ViewSheet.h"

#include <gtest/gtest.h>

#include <random>

namespace tolmere {
namespace {

// A model holding `rows`, each a row of cells.
CGridModel ModelOf(const CellBlock& rows) {
    CGridModel model;
    for (std::size_t c = 0; c < rows.front().size(); ++c)
        model.AddColumn(GridColumn{});
    model.FinishColumns();
    model.SetVisibleRows(10);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        model.AddRow();
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            model.Fill(static_cast<int>(r), static_cast<int>(c), rows[r][c]);
    }
    return model;
}

CellBlock CellsOf(const CGridModel& model) {
    CellBlock cells(static_cast<std::size_t>(model.RowCount()));
    for (int r = 0; r < model.RowCount(); ++r)
        for (int c = 0; c < model.ColumnCount(); ++c)
            cells[static_cast<std::size_t>(r)].emplace_back(model.Text(r, c));
    return cells;
}

const CellBlock kTable = {
    {"Edge", "res-all", "10", "x"},
    {"Fang", "str", "-3", "RES-ALL"},
    {"Gale", "Res-All-Max", "2.5", ""},
    {"Hale", "res-all", "", "7"},
};

TEST(GridOps, ShiftKeysGrowTheSelectionAndStopAtEdges) {
    CGridModel model = ModelOf(kTable);
    model.Select(1, 1);
    const struct {
        GridKey key;
        bool extend;
        GridRange expected;
    } steps[] = {
        {GridKey::kRight, true, {1, 1, 1, 2}}, {GridKey::kRight, true, {1, 1, 1, 3}},
        {GridKey::kRight, true, {1, 1, 1, 3}}, // the last column: nowhere further
        {GridKey::kUp, true, {0, 1, 1, 3}},    {GridKey::kUp, true, {0, 1, 1, 3}},
        {GridKey::kLeft, true, {0, 1, 1, 2}},  {GridKey::kDown, false, {1, 2, 1, 2}},
    };
    for (const auto& step : steps) {
        model.Key(step.key, 1000, step.extend);
        EXPECT_EQ(model.Selection(), step.expected) << static_cast<int>(step.key);
    }
    model.SelectRange({-5, 2, 99, 9});
    EXPECT_EQ(model.Selection(), (GridRange{0, 2, 3, 3}));
}

TEST(GridOps, HiddenColumnsTakeNoRoomAndKeysStepOverThem) {
    CGridModel model = ModelOf(kTable); // four columns of 100 pixels
    EXPECT_FALSE(model.SetColumnHidden(0, true));
    model.SetColumnHidden(1, true);
    model.SetColumnHidden(2, true);
    model.Select(0, 0);
    model.Key(GridKey::kRight, 1000);
    EXPECT_EQ(model.Selected().column, 3);
    EXPECT_EQ(model.HitTest(150, 30, 1000), (GridCell{0, 3}));
    model.Key(GridKey::kLeft, 1000);
    EXPECT_EQ(model.Selected().column, 0);
    model.SetColumnHidden(3, true);
    model.Key(GridKey::kEnd, 1000);
    EXPECT_EQ(model.Selected().column, 0);
    model.SetColumnHidden(2, false);
    model.Key(GridKey::kRight, 1000);
    EXPECT_EQ(model.Selected().column, 2);
    EXPECT_EQ(model.CellOrigin(0, 2).first, 100);
}

TEST(GridOps, ClipboardTextRoundTripsAndReadsWhatSpreadsheetsWrite) {
    const struct {
        const char* name;
        std::string text;
        CellBlock cells;
    } cases[] = {
        {"plain", "a\tb\nc\td\n", {{"a", "b"}, {"c", "d"}}},
        {"empty cells", "\tb\t\n\t\t\n", {{"", "b", ""}, {"", "", ""}}},
        {"quote doubled", "\"say \"\"hi\"\"\"\tx\n", {{"say \"hi\"", "x"}}},
        {"tab and line break inside", "\"a\tb\"\t\"c\nd\"\n", {{"a\tb", "c\nd"}}},
        {"a quote inside a cell only", "\"5\"\"\"\n", {{"5\""}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeTsv(c.text), c.cells) << c.name;
        EXPECT_EQ(EncodeTsv(c.cells), c.text) << c.name;
        std::string crlf;
        for (const char ch : c.text)
            crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        // Row ends CR LF, and no end after the last row, read alike (a line break inside
        // quotes stays as it was written).
        if (c.text.find("\"c\nd\"") == std::string::npos) {
            EXPECT_EQ(DecodeTsv(crlf), c.cells) << c.name;
        }
        EXPECT_EQ(DecodeTsv(c.text.substr(0, c.text.size() - 1)), c.cells) << c.name;
    }
    EXPECT_TRUE(DecodeTsv("").empty());
    const CGridModel model = ModelOf(kTable);
    EXPECT_EQ(EncodeTsv(model, {1, 1, 2, 2}), "str\t-3\nRes-All-Max\t2.5\n");
}

TEST(GridOps, PasteRepeatsOverALargerSelectionAndRefusesPastTheLastColumn) {
    const CGridModel model = ModelOf(kTable);
    const CellBlock two = {{"p", "q"}};
    const struct {
        const char* name;
        GridCell at;
        CellBlock block;
        GridRange target;
        std::vector<std::tuple<int, int, std::string>> changes;
        int rowsToAdd;
        bool refused;
    } cases[] = {
        {"once", {1, 1}, two, {}, {{1, 1, "p"}, {1, 2, "q"}}, 0, false},
        {"repeated down",
         {0, 0},
         two,
         {1, 1, 2, 2},
         {{1, 1, "p"}, {1, 2, "q"}, {2, 1, "p"}, {2, 2, "q"}},
         0,
         false},
        {"not a whole number of blocks: once",
         {0, 0},
         two,
         {1, 1, 1, 3},
         {{0, 0, "p"}, {0, 1, "q"}},
         0,
         false},
        {"unchanged cells are no change",
         {0, 1},
         {{"res-all", "11"}},
         {},
         {{0, 2, "11"}},
         0,
         false},
        {"past the last row",
         {3, 2},
         {{"a"}, {"b"}, {"c"}},
         {},
         {{3, 2, "a"}, {4, 2, "b"}, {5, 2, "c"}},
         2,
         false},
        {"past the last column", {0, 3}, two, {}, {}, 0, true},
    };
    for (const auto& c : cases) {
        const GridEditResult result = PasteBlock(model, c.at, c.block, c.target);
        EXPECT_EQ(!result.Ok(), c.refused) << c.name;
        std::vector<std::tuple<int, int, std::string>> changes;
        for (const GridChange& change : result.changes)
            changes.emplace_back(change.row, change.column, change.text);
        EXPECT_EQ(changes, c.changes) << c.name;
        EXPECT_EQ(result.rowsToAdd, c.rowsToAdd) << c.name;
    }
}

TEST(GridOps, FindOptionsAndReplaceCounts) {
    const CGridModel model = ModelOf(kTable);
    const struct {
        const char* name;
        const char* needle;
        FindOptions options;
        std::vector<GridCell> hits;
        const char* replacement;
        int cells, occurrences;
    } cases[] = {
        {"any case", "res-all", {}, {{0, 1}, {1, 3}, {2, 1}, {3, 1}}, "r", 4, 4},
        {"match case", "res-all", {true}, {{0, 1}, {3, 1}}, "r", 2, 2},
        {"whole cell", "RES-ALL", {false, true}, {{0, 1}, {1, 3}, {3, 1}}, "r", 3, 3},
        {"one column", "res-all", {false, false, false, 3}, {{1, 3}}, "r", 1, 1},
        {"regex", "^-?[0-9]+$", {false, false, true}, {{0, 2}, {1, 2}, {3, 3}}, "($&)", 3, 3},
        {"regex groups",
         "(l+)",
         {false, false, true},
         {{0, 1}, {1, 3}, {2, 0}, {2, 1}, {3, 0}, {3, 1}},
         "<$1>",
         6,
         6},
        // A cell holding the text twice is one hit and two replacements.
        {"twice in a cell",
         "a",
         {},
         {{0, 1}, {1, 0}, {1, 3}, {2, 0}, {2, 1}, {3, 0}, {3, 1}},
         "",
         7,
         8},
    };
    for (const auto& c : cases) {
        const CCellMatcher matcher(c.needle, c.options);
        ASSERT_EQ(matcher.Error(), "") << c.name;
        const std::vector<GridCell> hits = FindAll(model, matcher);
        EXPECT_EQ(hits, c.hits) << c.name;
        const GridEditResult result = ReplaceAll(model, matcher, c.replacement);
        EXPECT_EQ(static_cast<int>(result.changes.size()), c.cells) << c.name;
        EXPECT_EQ(result.occurrences, c.occurrences) << c.name;
    }
    EXPECT_EQ(ReplaceAll(model, CCellMatcher("a", {}), "").changes[4].text, "Res-ll-Mx");
    const GridEditResult inRange =
        ReplaceAll(model, CCellMatcher("l+", {false, false, true}), "L", {2, 0, 2, 1});
    ASSERT_EQ(inRange.changes.size(), 2u);
    EXPECT_EQ(inRange.changes[1].text, "Res-AL-Max");
    EXPECT_NE(CCellMatcher("(", {false, false, true}).Error(), "");
    EXPECT_NE(CCellMatcher("", {}).Error(), "");

    // A typed "ë" is found in a Windows-1252 cell and in a UTF-8 one, and a
    // replacement goes into each in the cell's own encoding.
    const CGridModel mixed =
        ModelOf({{"Tyra\xEBl"}, {"TYRA\xC3\xABL"}, {"Tyrael"}, {"Tyra\xEBl \xC3\xA9"}});
    const CCellMatcher both(std::vector<std::string>{"tyra\xEBl", "tyra\xC3\xABl"}, {});
    EXPECT_EQ(FindAll(mixed, both), (std::vector<GridCell>{{0, 0}, {1, 0}, {3, 0}}));
    const GridEditResult encoded = ReplaceAll(mixed, both, {"\xE9", "\xC3\xA9"});
    ASSERT_EQ(encoded.changes.size(), 3u);
    EXPECT_EQ(encoded.changes[0].text, "\xE9");
    EXPECT_EQ(encoded.changes[1].text, "\xC3\xA9");
    EXPECT_EQ(encoded.changes[2].text, "\xE9 \xC3\xA9"); // not valid UTF-8: Windows-1252
}

TEST(GridOps, SortingTheViewComparesNumbersAsNumbersAndKeepsTiesInOrder) {
    const CGridModel model = ModelOf({{"10"}, {"9"}, {"b"}, {""}, {"-2.5"}, {"A"}, {"9"}, {"100"}});
    EXPECT_EQ(SortedRows(model, 0, false), (std::vector<int>{4, 1, 6, 0, 7, 5, 2, 3}));
    EXPECT_EQ(SortedRows(model, 0, true), (std::vector<int>{7, 0, 1, 6, 4, 2, 5, 3}));
}

TEST(GridOps, AFilteredViewPastesPastItsEndIntoNewRows) {
    const CGridModel model = ModelOf(kTable);
    const std::vector<int> order{2, 0};
    const bool filtered = true;
    const CViewSheet view(model, order, filtered);
    ASSERT_EQ(view.SheetRows(), 2);
    EXPECT_EQ(view.SheetText(0, 0), "Gale");
    // The view's third row is the table's first new row, not its row 2.
    const GridEditResult result = view.ToSheetRows(PasteBlock(view, {1, 0}, {{"p"}, {"q"}}));
    EXPECT_EQ(result.rowsToAdd, 1);
    ASSERT_EQ(result.changes.size(), 2u);
    EXPECT_EQ(result.changes[0].row, 0);
    EXPECT_EQ(result.changes[1].row, 4);
}

TEST(GridOps, FillDownAndArithmetic) {
    const CGridModel model = ModelOf({{"5", "a"}, {"-5", "7"}, {"3", ""}, {"1.25", "x"}});
    const struct {
        const char* name;
        GridEditResult result;
        std::vector<std::string> texts;
        int skipped;
    } cases[] = {
        {"fill down", FillDown(model, {0, 0, 2, 1}), {"5", "5", "a", "a"}, 0},
        {"one row fills from above", FillDown(model, {2, 1, 2, 1}), {"7"}, 0},
        {"halves away from zero",
         Calculate(model, {0, 0, 3, 0}, {CalcKind::kMultiply, 0.5}),
         {"3", "-3", "2", "0.625"},
         0},
        {"add",
         Calculate(model, {0, 0, 3, 1}, {CalcKind::kAdd, 10}),
         {"15", "5", "17", "13", "11.25"},
         3},
        {"set writes every cell",
         Calculate(model, {0, 1, 3, 1}, {CalcKind::kSet, 0}),
         {"0", "0", "0", "0"},
         0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> texts;
        for (const GridChange& change : c.result.changes)
            texts.push_back(change.text);
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(c.result.skipped, c.skipped) << c.name;
    }
    std::string error;
    for (const char* bad : {"", "10", "*", "/0", "+1e3", "*x", "^2"})
        EXPECT_FALSE(ParseCalc(bad, error)) << bad;
    EXPECT_EQ(ParseCalc("/4", error)->operand, 0.25);
    EXPECT_EQ(ParseRowSpan("5-40", 41, error), std::make_pair(5, 40));
    EXPECT_FALSE(ParseRowSpan("5-41", 41, error));
    EXPECT_FALSE(ParseRowSpan("40-5", 41, error));
}

TEST(GridOps, UndoInsideTheGridRestoresBytesAndMarks) {
    CGridModel model = ModelOf(kTable);
    const CellBlock start = CellsOf(model);
    CGridUndo undo;
    std::mt19937 random(25);
    std::vector<CellBlock> states{start};
    for (int step = 0; step < 40; ++step) {
        const int row = static_cast<int>(random() % 4), column = static_cast<int>(random() % 4);
        GridEditResult result;
        result.changes.push_back({row, column, "s" + std::to_string(step)});
        if (step % 7 == 0) { // a paste adding a row, writing one cell twice
            result.rowsToAdd = 1;
            result.changes.push_back({model.RowCount(), 0, "new"});
            result.changes.push_back({row, column, "t" + std::to_string(step)});
        }
        ASSERT_TRUE(undo.Apply(model, result, "step"));
        states.push_back(CellsOf(model));
    }
    for (int step = 40; step > 20; --step) {
        ASSERT_TRUE(undo.Undo(model));
        EXPECT_EQ(CellsOf(model), states[static_cast<std::size_t>(step - 1)]) << step;
    }
    for (int step = 21; step <= 40; ++step) {
        ASSERT_TRUE(undo.Redo(model));
        EXPECT_EQ(CellsOf(model), states[static_cast<std::size_t>(step)]) << step;
    }
    while (undo.Undo(model)) {
    }
    EXPECT_EQ(CellsOf(model), start);
    for (int r = 0; r < model.RowCount(); ++r)
        for (int c = 0; c < model.ColumnCount(); ++c)
            EXPECT_FALSE(model.Changed(r, c)) << r << "," << c;
    EXPECT_FALSE(undo.Undo(model));
}

} // namespace
} // namespace tolmere
