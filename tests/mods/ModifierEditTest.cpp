#include "mods/ModifierEdit.h"

#include "base/Guide.h"
#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::GuideScope;
using testing::Row;
using testing::TableOf;
using Shown = std::vector<std::string>;

const ModifierSlots kPlacing{SlotRun(9, 10), 8, "0"};
const std::string kAskOverwrite = "Confirmation: Modifier already existed, overwrite ?";
const std::string kAskChange = "Confirmation: Change this modifier ?";

// One item row of `columns` cells whose slots hold these codes, each with parameter
// "p<slot>", minimum "1" and maximum "2", and the guide that answers its questions.
struct Item {
    Item(const std::vector<std::string>& codes, std::deque<int> answers = {}, int columns = 49) {
        Row row(static_cast<std::size_t>(columns));
        row[8] = std::to_string(codes.size());
        for (std::size_t slot = 0; slot < codes.size(); ++slot) {
            const Row cells{codes[slot], "p" + std::to_string(slot), "1", "2"};
            for (std::size_t i = 0; i < 4 && 9 + 4 * slot + i < row.size(); ++i)
                row[9 + 4 * slot + i] = cells[i];
        }
        table = TableOf(columns, {row});
        before = table.Serialize();
        guide->answers = std::move(answers);
    }
    // What the modifier dialog does on Apply, questions answered by the guide.
    bool Apply(std::int32_t slot, const std::string& code, std::int32_t row = 0,
               const ModifierSlots& placing = kPlacing) {
        const std::int32_t target = SettleModifierTarget(
            PlanModifier(table, row, slot, placing, code), slot,
            [](const std::string& question) { return GuideConfirm(question); },
            [](const std::string& message) { GuideMsg(message, kCaptionGuide); });
        return target >= 0 && WriteModifier(table, row, target, placing, {code, {}, "5", "9"});
    }
    // Code, parameter, minimum and maximum, joined by "|".
    std::string Slot(int slot) const {
        std::string cells;
        for (SlotField field : {kSlotCode, kSlotParam, kSlotMin, kSlotMax})
            cells +=
                (field ? "|" : "") + std::string(table.Text(0, kPlacing.Slot(slot).Column(field)));
        return cells;
    }
    std::string Count() const { return std::string(table.Text(0, kPlacing.countColumn)); }

    bool Unchanged() const { return table.Serialize() == before; }

    GuideScope guide;
    CTxtTable table;
    std::string before;
};

TEST(ModifierEdit, AddingWritesTheFreeSlotOrAnAcceptedHolderOfTheCode) {
    Item free({"A", "B"});
    EXPECT_TRUE(free.Apply(2, "C"));
    EXPECT_EQ(free.guide->shown, Shown{});
    // Minimum and maximum go to their own cells; the parameter cell keeps its text.
    EXPECT_EQ(free.Slot(2), "C||5|9");
    EXPECT_EQ(free.Count(), "3");

    // The holder may be any slot, the first one too.
    Item held({"B", "A"}, {kGuideYes});
    EXPECT_TRUE(held.Apply(2, "B"));
    EXPECT_EQ(held.guide->shown, Shown{kAskOverwrite});
    EXPECT_EQ(held.Slot(0), "B|p0|5|9");
    EXPECT_EQ(held.Slot(2), "|||");
    EXPECT_EQ(held.Count(), "2");

    Item declined({"A", "B"}, {kGuideNo});
    EXPECT_FALSE(declined.Apply(2, "B"));
    EXPECT_EQ(declined.guide->shown, Shown{kAskOverwrite});
    EXPECT_TRUE(declined.Unchanged());
}

TEST(ModifierEdit, EveryHolderOfTheCodeIsAskedAboutAndTheLastAcceptedTakesIt) {
    Item both({"A", "B", "C", "B"}, {kGuideYes, kGuideYes});
    EXPECT_TRUE(both.Apply(5, "B"));
    EXPECT_EQ(both.guide->shown, (Shown{kAskOverwrite, kAskOverwrite}));
    EXPECT_EQ(both.Slot(1), "B|p1|1|2");
    EXPECT_EQ(both.Slot(3), "B|p3|5|9");
    EXPECT_EQ(both.Count(), "4");
    // A No at any question writes nothing, not even for the slots accepted before it.
    Item second({"A", "B", "C", "B"}, {kGuideYes, kGuideNo});
    EXPECT_FALSE(second.Apply(5, "B"));
    EXPECT_TRUE(second.Unchanged());
}

TEST(ModifierEdit, EditingAsksFirstAndRefusesACodeHeldByAnotherSlot) {
    Item same({"A", "B"}, {kGuideYes});
    EXPECT_TRUE(same.Apply(0, "A")); // its own code is no duplicate
    EXPECT_EQ(same.guide->shown, Shown{kAskChange});
    EXPECT_EQ(same.Slot(0), "A|p0|5|9");
    EXPECT_EQ(same.Count(), "2") << "the count is of the used slots, not the one written";

    Item declined({"A", "B"}, {kGuideNo});
    EXPECT_FALSE(declined.Apply(0, "C"));
    EXPECT_TRUE(declined.Unchanged());

    Item duplicate({"A", "", "", "B"}, {kGuideYes});
    EXPECT_FALSE(duplicate.Apply(0, "B"));
    EXPECT_EQ(duplicate.guide->shown,
              (Shown{kAskChange, "Guide: Modifier already existed somewhere else."}));
    EXPECT_TRUE(duplicate.Unchanged());
}

TEST(ModifierEdit, NeverWritesOutsideTheTableOrTheSlotRun) {
    // Slot 2 would end at column 20, one past this file's last column.
    Item narrow({"A"}, {}, 20);
    EXPECT_FALSE(narrow.Apply(2, "C"));
    EXPECT_TRUE(narrow.Unchanged());
    // Slots beyond the file read as free, so the count covers the cells there are.
    EXPECT_TRUE(narrow.Apply(1, "B"));
    EXPECT_EQ(narrow.Slot(1), "B||5|9");
    EXPECT_EQ(narrow.Count(), "2");

    // Without the count column the slot itself must stay as it was, too.
    Item noCount({}, {}, 20);
    EXPECT_FALSE(noCount.Apply(0, "A", 0, ModifierSlots{SlotRun(9, 2), 30, "0"}));
    EXPECT_TRUE(noCount.Unchanged());
    // A layout without a count column writes the slot's cells and nothing else.
    Item counted({"A"});
    EXPECT_TRUE(counted.Apply(1, "B", 0, ModifierSlots{SlotRun(9, 10), -1, ""}));
    EXPECT_EQ(counted.Slot(1), "B||5|9");
    EXPECT_EQ(counted.Count(), "1");

    for (std::int32_t row : {-1, 1}) {
        Item item({"A"});
        EXPECT_FALSE(item.Apply(1, "B", row));
        EXPECT_TRUE(item.Unchanged()) << row;
    }
    // Slot -1 would put its maximum into the count column, slot 10 past the run.
    for (std::int32_t slot : {-1, 10}) {
        Item item({"A"}, {}, 60);
        EXPECT_FALSE(item.Apply(slot, "B"));
        EXPECT_TRUE(item.Unchanged()) << slot;
    }
}

} // namespace
} // namespace tolmere
