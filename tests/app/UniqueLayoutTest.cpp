#include "app/UniqueLayout.h"
#include "app/UniqueModel.h"
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

// A header of the 1.10+ kind: `front` extra columns, then index … lvl … code, and
// `slots` slots of prop/par/min/max.
Row RealHeader(int front, int slots) {
    Row header;
    for (int i = 0; i < front; ++i)
        header.push_back("*extra" + std::to_string(i));
    for (const char* name : {"index", "version", "lvl", "lvl req", "code", "invfile"})
        header.push_back(name);
    for (int n = 1; n <= slots; ++n) {
        for (const char* field : {"prop", "par", "min", "max"})
            header.push_back(field + std::to_string(n));
    }
    header.push_back("*eol");
    return header;
}

Row OldHeader() {
    Row header{"name", "version", "Level", "LevelReq", "code"};
    for (int n = 1; n <= 10; ++n) {
        for (const char* field : {"Code", "Param", "Min", "Max"})
            header.push_back("ItemMod" + std::to_string(n) + field);
    }
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
    };
    for (const auto& c : cases) {
        const UniqueItemsLayout layout = RecogniseUniqueItems(NamedTable(c.header, {}));
        EXPECT_EQ(Summary(layout), c.summary) << c.summary;
        EXPECT_EQ(layout.problem, c.problem) << c.summary;
    }
    // Names are matched without regard to letter case, as the game does; "prop01" is
    // no slot.
    Row shouting{"INDEX", "Code",   "LVL",   "Prop1", "PAR1", "Min1",
                 "max1",  "prop01", "par01", "min01", "max01"};
    EXPECT_EQ(Summary(RecogniseUniqueItems(NamedTable(shouting, {}))), "1.10+ 0 1 2 -1 -1 1 3/6");
    // Slots are taken in number order wherever their columns stand.
    Row shuffled = RealHeader(0, 2);
    std::swap(shuffled[6], shuffled[10]); // prop1 and prop2 trade places
    const UniqueItemsLayout layout = RecogniseUniqueItems(NamedTable(shuffled, {}));
    EXPECT_EQ(layout.modifiers.Slot(0).code, 10);
    EXPECT_EQ(layout.modifiers.Slot(1).code, 6);
    EXPECT_EQ(RecogniseUniqueItems(CTxtTable{}).problem, "UniqueItems.txt: no header row");
}

// Every column whose text differs between two copies of a row.
std::set<std::int32_t> ChangedColumns(const CTxtTable& a, const CTxtTable& b, std::int32_t row) {
    std::set<std::int32_t> changed;
    for (std::int32_t c = 0; c < a.ColumnCount(); ++c) {
        if (a.Text(row, c) != b.Text(row, c))
            changed.insert(c);
    }
    return changed;
}

std::set<std::int32_t> SlotCells(const ModifierSlots& mods, std::int32_t from, std::int32_t to) {
    std::set<std::int32_t> cells;
    for (std::int32_t slot = from; slot <= to && slot < mods.SlotCount(); ++slot) {
        for (SlotField field : {kSlotCode, kSlotParam, kSlotMin, kSlotMax})
            cells.insert(mods.Slot(slot).Column(field));
    }
    if (mods.countColumn >= 0)
        cells.insert(mods.countColumn);
    return cells;
}

bool Within(const std::set<std::int32_t>& changed, const std::set<std::int32_t>& allowed) {
    return std::includes(allowed.begin(), allowed.end(), changed.begin(), changed.end());
}

// Adds modifiers until the row is full, edits and deletes, checking after each step
// that no cell outside the slots the step touched has changed, and that every other
// row and the file's bytes outside the row are as they were.
void EditEveryWay(CTxtTable& table, std::int32_t row) {
    CUniqueModel model(table, RecogniseUniqueItems(table));
    ASSERT_TRUE(model.Layout().Editable()) << model.Layout().problem;
    const ModifierSlots& mods = model.Modifiers();
    const std::string before = table.Serialize();
    for (std::int32_t slot; (slot = model.SlotForNewModifier(row)) >= 0;) {
        CTxtTable copy = table;
        ASSERT_FALSE(PlanModifier(table, row, slot, mods, "zz" + std::to_string(slot)).editing);
        ASSERT_TRUE(
            WriteModifier(table, row, slot, mods, {"zz" + std::to_string(slot), "1", "2", "3"}));
        EXPECT_TRUE(Within(ChangedColumns(copy, table, row), SlotCells(mods, slot, slot))) << slot;
    }
    EXPECT_EQ(model.ModifierCount(row), mods.SlotCount());
    const std::int32_t middle = mods.SlotCount() / 2;
    CTxtTable copy = table;
    ASSERT_TRUE(WriteModifier(table, row, middle, mods, {"edited", std::nullopt, "4", "5"}));
    EXPECT_TRUE(Within(ChangedColumns(copy, table, row),
                       {mods.Slot(middle).code, mods.Slot(middle).min, mods.Slot(middle).max}));
    EXPECT_EQ(table.Text(row, mods.Slot(middle).code), "edited");
    copy = table;
    ASSERT_EQ(model.DeleteModifier(row, middle), DeleteResult::kDeleted);
    EXPECT_TRUE(
        Within(ChangedColumns(copy, table, row), SlotCells(mods, middle, mods.SlotCount())));
    EXPECT_EQ(model.ModifierCount(row), mods.SlotCount() - 1);
    EXPECT_EQ(table.Text(row, mods.Slot(mods.SlotCount() - 2).code),
              copy.Text(row, mods.Slot(mods.SlotCount() - 1).code)); // the last moved down
    // Every other row is untouched: the whole file differs only in this row's line.
    CTxtTable reloaded;
    reloaded.Parse(before);
    for (std::int32_t other = 0; other < table.DataRowCount(); ++other) {
        if (other != row) {
            EXPECT_TRUE(ChangedColumns(reloaded, table, other).empty()) << other;
        }
    }
}

TEST(UniqueLayout, EditsOfRealRowsTouchOnlyTheirSlots) {
    std::string skip;
    const std::string real = testing::RealTablesDir(skip);
    if (real.empty())
        GTEST_SKIP() << skip;
    const struct {
        const char* file;
        const char* layout;
        std::int32_t slots;
        std::int32_t firstCode;
    } files[] = {{"/114d/UniqueItems.txt", "1.10+", 12, 21},
                 {"/109b/UniqueItems.txt", "1.09", 10, 14}};
    for (const auto& f : files) {
        CTxtTable table;
        ASSERT_TRUE(table.Load(real + f.file));
        const UniqueItemsLayout layout = RecogniseUniqueItems(table);
        EXPECT_EQ(layout.name, f.layout);
        ASSERT_EQ(layout.modifiers.SlotCount(), f.slots);
        EXPECT_EQ(layout.modifiers.Slot(0).code, f.firstCode);
        // Rows with no modifier, with some, and with every slot used where the file has one.
        CUniqueModel model(table, layout);
        std::map<std::int32_t, std::int32_t> rowOfCount;
        for (std::int32_t row = 0; row < model.ItemCount(); ++row)
            rowOfCount.emplace(model.ModifierCount(row), row);
        for (const auto& [count, row] : rowOfCount) {
            SCOPED_TRACE(std::string(f.file) + " row " + std::to_string(row));
            EditEveryWay(table, row);
        }
    }
}

} // namespace
} // namespace tolmere
