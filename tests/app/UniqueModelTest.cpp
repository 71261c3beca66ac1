#include "app/UniqueModel.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::Row;
using testing::TableOf;

// A row keyed `key` whose slots hold the given codes ("" for a free slot); each used
// slot's parameter, minimum and maximum carry its code, to follow the moves.
Row ItemRow(const std::string& key, const std::vector<std::string>& codes) {
    Row row(49);
    row[0] = key;
    row[4] = "12";
    int used = 0;
    for (std::size_t i = 0; i < 10; ++i) {
        const std::string code = i < codes.size() ? codes[i] : "";
        row[9 + 4 * i] = code;
        for (int f = 1; f < 4; ++f)
            row[9 + 4 * i + f] = code.empty() ? "0" : code + std::to_string(f);
        used += code.empty() ? 0 : 1;
    }
    row[8] = std::to_string(used);
    return row;
}

// Slot codes of data row 0, "." for a free slot that was properly cleared.
std::string Slots(const CTxtTable& table) {
    std::string out;
    for (int k = 0; k < 10; ++k) {
        const std::string code(table.Text(0, 9 + 4 * k));
        if (code.empty()) {
            bool cleared = *table.Cell(0, 10 + 4 * k) == "0" && *table.Cell(0, 11 + 4 * k) == "0" &&
                           *table.Cell(0, 12 + 4 * k) == "0";
            out += cleared ? "." : "?";
            continue;
        }
        // A moved slot must arrive with all four of its cells.
        bool whole = *table.Cell(0, 12 + 4 * k) == code + "3";
        out += whole ? code : code + "!";
    }
    return out;
}

CUniqueModel Classic(CTxtTable& table) {
    return CUniqueModel(table, ClassicUniqueLayout());
}

TEST(UniqueModel, LabelsAndCounts) {
    CTxtTable table =
        TableOf(49, {ItemRow("Foo", {"a", "", "b"}), ItemRow("Plain", {}), ItemRow("Old", {})});
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
    CTxtTable full =
        TableOf(49, {ItemRow("Full", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"})});
    EXPECT_EQ(Classic(full).SlotForNewModifier(0), -1);
    // Deleting from a full row moves every slot above, the last one included.
    EXPECT_EQ(Classic(full).DeleteModifier(0, 0), DeleteResult::kDeleted);
    EXPECT_EQ(Slots(full), "bcdefghij.");
}

TEST(UniqueModel, DeleteClosesTheGapOfPackedSlots) {
    CTxtTable table = TableOf(49, {ItemRow("Item", {"a", "b", "c", "d"})});
    CUniqueModel model = Classic(table);
    EXPECT_EQ(model.DeleteModifier(0, 1), DeleteResult::kDeleted);
    EXPECT_EQ(Slots(table), "acd.......");
    EXPECT_EQ(*table.Cell(0, 8), "3");
    EXPECT_EQ(model.DeleteModifier(0, 2), DeleteResult::kDeleted); // the last one
    EXPECT_EQ(Slots(table), "ac........");
    EXPECT_EQ(*table.Cell(0, 8), "2");
    EXPECT_EQ(model.DeleteModifier(0, 0), DeleteResult::kDeleted);
    EXPECT_EQ(Slots(table), "c.........");
    EXPECT_EQ(*table.Cell(0, 8), "1");
    EXPECT_EQ(model.DeleteModifier(0, 5), DeleteResult::kSlotNotUsed);
    EXPECT_EQ(model.DeleteModifier(0, 10), DeleteResult::kSlotNotUsed);
}

TEST(UniqueModel, DeleteWithGapsNeverOverwritesAUsedSlot) {
    CTxtTable table = TableOf(49, {ItemRow("Item", {"a", "", "b", "c", "", "", "d"})});
    CUniqueModel model = Classic(table);
    EXPECT_EQ(model.DeleteModifier(0, 2), DeleteResult::kDeleted);
    EXPECT_EQ(Slots(table), "a.cd......");
    EXPECT_EQ(*table.Cell(0, 8), "3");

    CTxtTable gapBelow = TableOf(49, {ItemRow("Item", {"", "a", "b"})});
    EXPECT_EQ(Classic(gapBelow).DeleteModifier(0, 1), DeleteResult::kDeleted);
    EXPECT_EQ(Slots(gapBelow), ".b........");
}

TEST(UniqueModel, AzurewrathKeepsItsLastThreeModifiers) {
    CTxtTable table = TableOf(49, {ItemRow("Azurewrath", {"a", "b", "c"})});
    CUniqueModel model = Classic(table);
    EXPECT_EQ(model.DeleteModifier(0, 0), DeleteResult::kProtected);
    EXPECT_EQ(Slots(table), "abc.......");

    CTxtTable four = TableOf(49, {ItemRow("Azurewrath", {"a", "b", "c", "d"})});
    EXPECT_EQ(Classic(four).DeleteModifier(0, 0), DeleteResult::kDeleted);
    EXPECT_EQ(Slots(four), "bcd.......");
}

TEST(UniqueModel, NarrowTablesReadMissingCellsAsEmpty) {
    // Only slots 0 and part of 1 exist.
    CTxtTable narrow =
        TableOf(15, {{"Short", "", "", "", "7", "", "", "", "2", "a", "p", "n", "x", "b", "q"}});
    CUniqueModel model = Classic(narrow);
    CStringTables none;
    EXPECT_EQ(model.ItemLabel(0, none), "Short (7)");
    EXPECT_EQ(model.ModifierCount(0), 2);
    EXPECT_EQ(model.DeleteModifier(0, 0), DeleteResult::kDeleted);
    EXPECT_EQ(*narrow.Cell(0, 9), "b");
    EXPECT_EQ(*narrow.Cell(0, 10), "q");
    EXPECT_EQ(*narrow.Cell(0, 13), "");
    EXPECT_EQ(*narrow.Cell(0, 14), "0");
    EXPECT_EQ(model.ModifierCount(0), 1);

    CTxtTable headerOnly = TableOf(49, {});
    EXPECT_EQ(Classic(headerOnly).ItemCount(), 0);
    EXPECT_EQ(Classic(headerOnly).ModifierCount(0), 0);
}

} // namespace
} // namespace tolmere
