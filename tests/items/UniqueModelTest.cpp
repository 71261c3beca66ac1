// SPDX-License-Identifier: MIT
// The unique item table: its layout found from its header, labels, counts, and the
// rules for adding and deleting modifiers.
#include "items/UniqueModel.h"
#include "items/UniqueLayout.h"
#include "mods/ModifierEdit.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace tolmere {
namespace {

using testing::NamedTable;
using testing::Row;
using testing::TableOf;

// A header of the 1.10+ kind: `front` extra columns, then index … lvl … code, and
// `slots` slots of prop/par/min/max.
Row RealHeader(int front, int slots) {
    Row header;
    for (int i = 0; i < front; ++i)
        header.push_back("*extra" + std::to_string(i));
    for (const char* name : {"index", "version", "lvl", "lvl req", "code", "invfile"})
        header.push_back(name);
    for (int n = 1; n <= slots; ++n)
        for (const char* field : {"prop", "par", "min", "max"})
            header.push_back(field + std::to_string(n));
    header.push_back("*eol");
    return header;
}

Row OldHeader() {
    Row header{"name", "version", "Level", "LevelReq", "code"};
    for (int n = 1; n <= 10; ++n)
        for (const char* field : {"Code", "Param", "Min", "Max"})
            header.push_back("ItemMod" + std::to_string(n) + field);
    return header;
}

// "name key code shown count picture slots" and the code/max columns of the first
// three slots.
std::string Summary(const UniqueItemsLayout& layout) {
    std::string out = layout.name;
    for (std::int32_t n :
         {layout.keyColumn, layout.codeColumn, layout.shownColumn, layout.modifiers.countColumn,
          layout.pictureColumn, layout.modifiers.SlotCount()})
        out += " " + std::to_string(n);
    for (std::int32_t slot = 0; slot < std::min(3, layout.modifiers.SlotCount()); ++slot)
        out += (slot ? "," : " ") + std::to_string(layout.modifiers.Slot(slot).code) + "/" +
               std::to_string(layout.modifiers.Slot(slot).max);
    return out;
}

TEST(UniqueLayout, EachKnownHeaderFindsItsColumns) {
    Row noSlots = RealHeader(0, 0);
    Row brokenSlot = RealHeader(0, 2);
    brokenSlot.erase(brokenSlot.begin() + 11); // par2
    Row shuffled = RealHeader(0, 2);
    std::swap(shuffled[6], shuffled[10]); // prop1 and prop2 trade places
    const struct {
        Row header;
        const char* summary;
        const char* problem;
    } cases[] = {
        {testing::ClassicUniqueHeader(), "classic 0 3 4 8 -1 10 9/12,13/16,17/20", ""},
        {RealHeader(0, 12), "1.10+ 0 4 2 -1 5 12 6/9,10/13,14/17", ""},
        {RealHeader(19, 12), "1.10+ 19 23 21 -1 24 12 25/28,29/32,33/36", ""},
        {OldHeader(), "1.09 0 4 2 -1 -1 10 5/8,9/12,13/16", ""},
        {noSlots, "unknown 0 -1 2 -1 -1 0", "UniqueItems.txt: no column named prop1"},
        {brokenSlot, "unknown 0 -1 2 -1 -1 0", "UniqueItems.txt: no column named par2"},
        {Row{"a", "b"}, "unknown 0 -1 -1 -1 -1 0", "UniqueItems.txt: no column named index"},
        // Names are matched without regard to letter case, as the game does; "prop01" is
        // no slot.
        {{"INDEX", "Code", "LVL", "Prop1", "PAR1", "Min1", "max1", "prop01", "par01", "min01",
          "max01"},
         "1.10+ 0 1 2 -1 -1 1 3/6",
         ""},
        // Slots are taken in number order wherever their columns stand.
        {shuffled, "1.10+ 0 4 2 -1 5 2 10/9,6/13", ""},
    };
    for (const auto& c : cases) {
        const UniqueItemsLayout layout = RecogniseUniqueItems(NamedTable(c.header, {}));
        EXPECT_EQ(Summary(layout), c.summary) << c.summary;
        EXPECT_EQ(layout.problem, c.problem) << c.summary;
    }
    EXPECT_EQ(RecogniseUniqueItems(CTxtTable{}).problem, "UniqueItems.txt: no header row");
}

// The columns of `slots` from `from` to `to`, and the count column.
std::set<std::int32_t> SlotCells(const ModifierSlots& mods, std::int32_t from, std::int32_t to) {
    std::set<std::int32_t> cells{mods.countColumn};
    for (std::int32_t slot = from; slot <= to && slot < mods.SlotCount(); ++slot)
        for (SlotField field : {kSlotCode, kSlotParam, kSlotMin, kSlotMax})
            cells.insert(mods.Slot(slot).Column(field));
    return cells;
}

// Every cell but those of `row` in `columns` is as in `before`.
void ExpectOnlyChanged(const CTxtTable& before, const CTxtTable& table, std::int32_t row,
                       const std::set<std::int32_t>& columns) {
    testing::ExpectOnlyChanged(before, table, [&](std::int32_t r, std::int32_t c) {
        return r == row && columns.count(c) > 0;
    });
}

// Adds modifiers until the row is full, edits and deletes, checking after each step
// that no cell outside the slots the step touched has changed, and that every other
// row and the file's bytes outside the row are as they were.
void EditEveryWay(CTxtTable& table, std::int32_t row) {
    CUniqueModel model(table, RecogniseUniqueItems(table));
    ASSERT_TRUE(model.Layout().Editable()) << model.Layout().problem;
    const ModifierSlots& mods = model.Modifiers();
    for (std::int32_t slot; (slot = model.SlotForNewModifier(row)) >= 0;) {
        const CTxtTable before = table;
        const std::string code = "zz" + std::to_string(slot);
        ASSERT_FALSE(PlanModifier(table, row, slot, mods, code).editing);
        ASSERT_TRUE(WriteModifier(table, row, slot, mods, {code, "1", "2", "3"}));
        ExpectOnlyChanged(before, table, row, SlotCells(mods, slot, slot));
    }
    EXPECT_EQ(model.ModifierCount(row), mods.SlotCount());
    const std::int32_t middle = mods.SlotCount() / 2;
    CTxtTable before = table;
    ASSERT_TRUE(WriteModifier(table, row, middle, mods, {"edited", std::nullopt, "4", "5"}));
    ExpectOnlyChanged(before, table, row,
                      {mods.Slot(middle).code, mods.Slot(middle).min, mods.Slot(middle).max});
    EXPECT_EQ(table.Text(row, mods.Slot(middle).code), "edited");
    before = table;
    ASSERT_EQ(model.DeleteModifier(row, middle), DeleteResult::kDeleted);
    ExpectOnlyChanged(before, table, row, SlotCells(mods, middle, mods.SlotCount()));
    EXPECT_EQ(model.ModifierCount(row), mods.SlotCount() - 1);
    EXPECT_EQ(table.Text(row, mods.Slot(mods.SlotCount() - 2).code),
              before.Text(row, mods.Slot(mods.SlotCount() - 1).code)); // the last moved down
}

// A unique item table in each layout, and what its header and rows must give: the
// layout's columns, and the cells of the first modifier of the first item.
struct UniqueFileCase {
    const char* name;
    bool real; // among the real game tables, else in the checkout
    const char* file;
    const char* summary;   // as Summary gives it
    const char* firstSlot; // code|param|min|max of row 0, slot 0
};

const UniqueFileCase kUniqueFiles[] = {
    {"classic", false, "tests/data/seed-game/d2data/excel/UniqueItems.txt",
     "classic 0 3 4 8 -1 10 9/12,13/16,17/20", "dmg%||50|70"},
    {"1.10+", false, "data/demo/d2data/excel/UniqueItems.txt",
     "1.10+ 0 8 6 -1 17 12 21/24,25/28,29/32", "dmg%||60|80"},
    {"1.09", false, "tests/data/layouts/109b/UniqueItems.txt",
     "1.09 0 7 5 -1 -1 10 14/17,18/21,22/25", "skill|9|1|2"},
    {"1.10+ real", true, "114d/UniqueItems.txt", "1.10+ 0 8 6 -1 17 12 21/24,25/28,29/32",
     "str||8|8"},
    {"1.09 real", true, "109b/UniqueItems.txt", "1.09 0 7 5 -1 -1 10 14/17,18/21,22/25",
     "att||30|30"},
};

// Rows with no modifier, with some, and with every slot used where the file has one,
// each edited every way.
void CheckUniqueFile(const UniqueFileCase& c, const std::string& dir) {
    SCOPED_TRACE(c.name);
    CTxtTable table;
    ASSERT_TRUE(table.Load(dir + "/" + c.file));
    const UniqueItemsLayout layout = RecogniseUniqueItems(table);
    EXPECT_EQ(Summary(layout), c.summary);
    ASSERT_GT(layout.modifiers.SlotCount(), 0);
    const SlotColumns first = layout.modifiers.Slot(0);
    std::string cells;
    for (std::int32_t column : {first.code, first.param, first.min, first.max})
        cells += (cells.empty() ? "" : "|") + std::string(table.Text(0, column));
    EXPECT_EQ(cells, c.firstSlot);
    CUniqueModel model(table, layout);
    std::map<std::int32_t, std::int32_t> rowOfCount;
    for (std::int32_t row = 0; row < model.ItemCount(); ++row)
        rowOfCount.emplace(model.ModifierCount(row), row);
    for (const auto& [count, row] : rowOfCount) {
        SCOPED_TRACE("row " + std::to_string(row));
        EditEveryWay(table, row);
    }
}

TEST(UniqueLayout, EditsOfEachLayoutsRowsTouchOnlyTheirSlots) {
    for (const UniqueFileCase& c : kUniqueFiles)
        if (!c.real)
            CheckUniqueFile(c, TOLMERE_SOURCE_DIR);
}

TEST(UniqueLayout, EditsOfRealRowsTouchOnlyTheirSlots) {
    REAL_TABLES_OR_SKIP(real);
    for (const UniqueFileCase& c : kUniqueFiles)
        if (c.real)
            CheckUniqueFile(c, real);
}

// A classic row keyed `key` whose slots hold one-letter codes ('.' a free slot); each
// used slot's parameter, minimum and maximum carry its code, to follow the moves.
Row ItemRow(const std::string& key, const std::string& codes) {
    Row row(49);
    row[0] = key;
    row[4] = "12";
    int used = 0;
    for (std::size_t i = 0; i < 10; ++i) {
        const std::string code = i < codes.size() && codes[i] != '.' ? codes.substr(i, 1) : "";
        row[9 + 4 * i] = code;
        for (int f = 1; f < 4; ++f)
            row[9 + 4 * i + f] = code.empty() ? "0" : code + std::to_string(f);
        used += code.empty() ? 0 : 1;
    }
    row[8] = std::to_string(used);
    return row;
}

// Slot codes of data row 0: "." for a free slot properly cleared, "?" for one that is not,
// "!" after a code that arrived without all four of its cells.
std::string Slots(const CTxtTable& table) {
    std::string out;
    for (int k = 0; k < 10; ++k) {
        const std::string code(table.Text(0, 9 + 4 * k));
        if (code.empty()) {
            const bool cleared = *table.Cell(0, 10 + 4 * k) == "0" &&
                                 *table.Cell(0, 11 + 4 * k) == "0" &&
                                 *table.Cell(0, 12 + 4 * k) == "0";
            out += cleared ? "." : "?";
        } else {
            out += *table.Cell(0, 12 + 4 * k) == code + "3" ? code : code + "!";
        }
    }
    return out;
}

CUniqueModel Classic(CTxtTable& table) {
    return CUniqueModel(table, ClassicUniqueLayout());
}

TEST(UniqueModel, LabelsAndCounts) {
    CTxtTable table =
        TableOf(49, {ItemRow("Foo", "a.b"), ItemRow("Plain", ""), ItemRow("Old", "")});
    CUniqueModel model = Classic(table);
    CStringTables strings;
    strings.Patch().Add("Foo", "Bar");
    strings.Table(StringSource::kExpansion).Add("Foo", "Hidden");
    strings.Table(StringSource::kBase).Add("Old", "Game's");
    EXPECT_EQ(model.ItemCount(), 3);
    EXPECT_EQ(model.ItemLabel(0, strings), "Foo (12) --- [Bar]");
    EXPECT_EQ(model.ItemLabel(1, strings), "Plain (12)");
    EXPECT_EQ(model.ItemLabel(2, strings), "Old (12) --- [Game's] (string.tbl)");
    EXPECT_EQ(model.ModifierCount(0), 2);
    // Add takes the first free slot, even below a used one.
    EXPECT_EQ(model.SlotForNewModifier(0), 1);
    // Only the code decides whether a slot is used.
    table.SetCell(1, 10, "5");
    EXPECT_EQ(model.ModifierCount(1), 0);
    CTxtTable full = TableOf(49, {ItemRow("Full", "abcdefghij")});
    EXPECT_EQ(Classic(full).SlotForNewModifier(0), -1);
}

TEST(UniqueModel, DeleteFreesTheSlotAndClosesTheGapWithoutOverwritingAUsedSlot) {
    const struct {
        const char* key;
        const char* codes;
        int slot;
        DeleteResult result;
        const char* after;
    } cases[] = {
        {"Item", "abcd", 1, DeleteResult::kDeleted, "acd......."},
        {"Item", "acd", 2, DeleteResult::kDeleted, "ac........"}, // the last one
        {"Item", "ac", 0, DeleteResult::kDeleted, "c........."},
        {"Item", "c", 5, DeleteResult::kSlotNotUsed, "c........."},
        {"Item", "c", 10, DeleteResult::kSlotNotUsed, "c........."},
        // Every slot used: each one above moves, the last one included.
        {"Full", "abcdefghij", 0, DeleteResult::kDeleted, "bcdefghij."},
        {"Full", "abcdefghij", 8, DeleteResult::kDeleted, "abcdefghj."},
        {"Full", "abcdefghij", 9, DeleteResult::kDeleted, "abcdefghi."},
        // With gaps, what is above moves down but never onto a used slot.
        {"Item", "a.bc..d", 2, DeleteResult::kDeleted, "a.cd......"},
        {"Item", ".ab", 1, DeleteResult::kDeleted, ".b........"},
        // Azurewrath keeps its last three.
        {"Azurewrath", "abc", 0, DeleteResult::kProtected, "abc......."},
        {"Azurewrath", "abcd", 0, DeleteResult::kDeleted, "bcd......."},
    };
    for (const auto& c : cases) {
        CTxtTable table = TableOf(49, {ItemRow(c.key, c.codes)});
        const std::string count(table.Text(0, 8));
        EXPECT_EQ(Classic(table).DeleteModifier(0, c.slot), c.result) << c.codes << " " << c.slot;
        EXPECT_EQ(Slots(table), c.after) << c.codes << " " << c.slot;
        const std::string after = c.after;
        EXPECT_EQ(table.Text(0, 8),
                  c.result == DeleteResult::kDeleted
                      ? std::to_string(10 - std::count(after.begin(), after.end(), '.'))
                      : count);
    }
}

TEST(UniqueModel, NarrowTablesReadMissingCellsAsEmpty) {
    // Only slot 0 and part of slot 1 exist.
    CTxtTable narrow =
        TableOf(15, {{"Short", "", "", "", "7", "", "", "", "2", "a", "p", "n", "x", "b", "q"}});
    CUniqueModel model = Classic(narrow);
    EXPECT_EQ(model.ItemLabel(0, CStringTables()), "Short (7)");
    EXPECT_EQ(model.ModifierCount(0), 2);
    EXPECT_EQ(model.DeleteModifier(0, 0), DeleteResult::kDeleted);
    EXPECT_EQ(narrow.Serialize().substr(narrow.Serialize().find("Short")),
              "Short\t\t\t\t7\t\t\t\t1\tb\tq\t\t\t\t0\r\n");
    EXPECT_EQ(model.ModifierCount(0), 1);

    CTxtTable headerOnly = TableOf(49, {});
    EXPECT_EQ(Classic(headerOnly).ItemCount(), 0);
    EXPECT_EQ(Classic(headerOnly).ModifierCount(0), 0);
}

} // namespace
} // namespace tolmere
