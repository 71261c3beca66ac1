// SPDX-License-Identifier: MIT
#include "tables/EditHistory.h"

#include "grid/RawEdit.h"

#include "items/UniqueLayout.h"
#include "items/UniqueModel.h"
#include "mods/ModifierEdit.h"
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <random>

namespace tolmere {
namespace {

std::string Bytes(CStrTbl strings) {
    std::string bytes;
    strings.Serialize(bytes);
    return bytes;
}

// A classic table of a few items, and names with one key twice.
struct Documents {
    Documents() {
        std::vector<testing::Row> rows;
        for (int item = 0; item < 4; ++item) {
            testing::Row row(49);
            row[0] = "Item" + std::to_string(item);
            row[8] = "2";
            row[9] = "str";
            row[12] = "5";
            row[13] = "dex";
            row[16] = "\xe9";
            rows.push_back(row);
        }
        // The last line without its line end, which a new row must add and its undo
        // take away again.
        std::string bytes = testing::NamedTable(testing::ClassicUniqueHeader(), rows).Serialize();
        bytes.resize(bytes.size() - 2);
        table.Parse(bytes);
        strings.Add("Item0", "First");
        strings.Add("Item1", "Twin");
        strings.Add("Item1", "Other twin");
    }
    std::string State() { return table.Serialize() + "|" + Bytes(strings) + "|" + Names(); }
    // The order lookups walk, which writing does not show.
    std::string Names() const {
        std::string names;
        for (const StrEntry& e : strings.List())
            names += e.key + "=" + e.text + ";";
        return names;
    }
    CTxtTable table;
    CStrTbl strings;
};

// One of the edits the windows make, recorded as they record it.
EditStep RandomEdit(Documents& docs, std::mt19937& rng) {
    const UniqueItemsLayout layout = ClassicUniqueLayout();
    CUniqueModel model(docs.table, layout);
    const std::int32_t row = static_cast<std::int32_t>(rng() % 4);
    const std::string key = "Item" + std::to_string(row);
    EditStep step;
    switch (rng() % 5) {
    case 4: { // Raw Edit's New Row, with text in a new row and in an old one
        RawEdits edits;
        edits.rows = docs.table.DataRowCount() + 1 + static_cast<std::int32_t>(rng() % 2);
        edits.cells[{edits.rows - 1, 0}] = "New" + std::to_string(rng() % 100);
        edits.cells[{row, 2}] = std::to_string(rng() % 100);
        ApplyRawEdits(docs.table, edits, step);
        break;
    }
    case 0: { // add or edit a modifier
        const CRowRecorder recorder(docs.table, row);
        const std::int32_t slot =
            rng() % 2 ? model.SlotForNewModifier(row) : static_cast<std::int32_t>(rng() % 10);
        if (slot >= 0)
            WriteModifier(
                docs.table, row, slot, layout.modifiers,
                {"c" + std::to_string(rng() % 5), std::nullopt, "1", std::to_string(rng())});
        recorder.Finish(step);
        break;
    }
    case 1: { // delete one
        const CRowRecorder recorder(docs.table, row);
        model.DeleteModifier(row, static_cast<std::int32_t>(rng() % 10));
        recorder.Finish(step);
        break;
    }
    default: { // rename, or clear a name
        const CEntryRecorder recorder(docs.strings, {key});
        if (rng() % 3 == 0)
            docs.strings.Remove(docs.strings.Find(key));
        else
            docs.strings.Set(key, "Name " + std::to_string(rng() % 100));
        recorder.Finish(step);
        break;
    }
    }
    return step;
}

TEST(EditHistory, RandomEditsUndoToTheStartAndRedoToTheEndByteForByte) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        Documents docs;
        CEditHistory history;
        std::mt19937 rng(seed);
        std::vector<std::string> states{docs.State()};
        for (int action = 0; action < 200; ++action) {
            EditStep step = RandomEdit(docs, rng);
            if (step.Empty())
                continue;
            history.Push(std::move(step));
            states.push_back(docs.State());
        }
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_NE(history.Undo(), nullptr);
            ASSERT_EQ(docs.State(), states[i - 1]) << "seed " << seed << ", undoing to " << i - 1;
        }
        EXPECT_EQ(history.Undo(), nullptr);
        EXPECT_FALSE(history.Modified(&docs.table));
        for (std::size_t i = 1; i < states.size(); ++i) {
            ASSERT_NE(history.Redo(), nullptr);
            ASSERT_EQ(docs.State(), states[i]) << "seed " << seed << ", redoing to " << i;
        }
        EXPECT_EQ(history.Redo(), nullptr);
    }
}

TEST(EditHistory, ADocumentIsModifiedUntilItMatchesWhatWasSaved) {
    Documents docs;
    CEditHistory history;
    const void* table = &docs.table;
    const void* names = &docs.strings;
    const auto edit = [&](const void* which) {
        EditStep step;
        if (which == table)
            step.cells.push_back({&docs.table, 0, 1, "", "x"});
        else
            step.entries.push_back({&docs.strings, "k", std::nullopt, EntryState{"t", 9, 0}});
        history.Push(std::move(step));
    };
    EXPECT_FALSE(history.Modified(table));
    edit(table);
    EXPECT_TRUE(history.Modified(table));
    EXPECT_FALSE(history.Modified(names));
    history.Undo();
    EXPECT_FALSE(history.Modified(table)); // back where it was saved
    history.Redo();
    history.MarkClean(table); // saved here
    EXPECT_FALSE(history.Modified(table));
    history.Undo();
    EXPECT_TRUE(history.Modified(table)); // undone past the save
    edit(names);                          // and the save's step is gone for good
    EXPECT_TRUE(history.Modified(table));
    history.Undo();
    EXPECT_TRUE(history.Modified(table));
    // A new history keeps what was unsaved, unsaved.
    edit(names);
    history.Clear();
    EXPECT_TRUE(history.Modified(table));
    EXPECT_TRUE(history.Modified(names));
    EXPECT_FALSE(history.CanUndo());
    history.MarkClean(table);
    EXPECT_FALSE(history.Modified(table));
    EXPECT_TRUE(history.Modified(names));
}

TEST(EditHistory, ForgettingAReplacedDocumentKeepsTheOthersSteps) {
    Documents docs;
    CTxtTable other = docs.table;
    CEditHistory history;
    const auto edit = [&](CTxtTable& table, const char* text) {
        EditStep step;
        step.cells.push_back({&table, 0, 1, std::string(table.Text(0, 1)), text});
        table.SetCell(0, 1, text);
        history.Push(std::move(step));
    };
    edit(docs.table, "a");
    edit(other, "x");
    history.MarkClean(&docs.table);
    edit(docs.table, "b");
    edit(other, "y");
    history.Forget(&other);
    EXPECT_FALSE(history.Modified(&other));
    EXPECT_TRUE(history.Modified(&docs.table));
    history.Undo(); // "b" goes; the saved state is one step back again
    EXPECT_EQ(docs.table.Text(0, 1), "a");
    EXPECT_FALSE(history.Modified(&docs.table));
    history.Undo();
    EXPECT_EQ(docs.table.Text(0, 1), "");
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(other.Text(0, 1), "y");
}

TEST(EditHistory, ACellChangedTwiceInOneStepUndoesToItsFirstText) {
    Documents docs;
    CEditHistory history;
    EditStep step;
    step.cells.push_back({&docs.table, 0, 1, "", "a"});
    step.cells.push_back({&docs.table, 0, 1, "a", "b"});
    docs.table.SetCell(0, 1, "b");
    history.Push(std::move(step));
    history.Undo();
    EXPECT_EQ(docs.table.Text(0, 1), "");
    history.Redo();
    EXPECT_EQ(docs.table.Text(0, 1), "b");
}

} // namespace
} // namespace tolmere
