// SPDX-License-Identifier: MIT
#include "mods/ModifierEdit.h"

#include "base/Guide.h"
#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::Row;

const ModifierSlots kPlacing{SlotRun(9, 10), 8, "0"};
const ModifierSlots kTwoSlotsCountPastTheFile{SlotRun(9, 2), 30, "0"};
const ModifierSlots kNoCount{SlotRun(9, 10), -1, ""};

// One item row of `columns` cells whose slots hold these one-letter codes ('.' a free
// slot), each with parameter "p<slot>", minimum "1" and maximum "2".
CTxtTable Item(const std::string& codes, int columns) {
    Row row(static_cast<std::size_t>(columns));
    row[8] = std::to_string(codes.size());
    for (std::size_t slot = 0; slot < codes.size(); ++slot) {
        const Row cells{codes[slot] == '.' ? "" : codes.substr(slot, 1), "p" + std::to_string(slot),
                        "1", "2"};
        for (std::size_t i = 0; i < 4 && 9 + 4 * slot + i < row.size(); ++i)
            row[9 + 4 * slot + i] = cells[i];
    }
    return testing::TableOf(columns, {row});
}

// Row 0's slots that hold any cell, as "slot=code|par|min|max", and the count cell.
std::string Slots(const CTxtTable& table) {
    std::string out;
    for (std::int32_t slot = 0; slot < kPlacing.SlotCount(); ++slot) {
        std::string cells;
        for (SlotField field : {kSlotCode, kSlotParam, kSlotMin, kSlotMax})
            cells +=
                (field ? "|" : "") + std::string(table.Text(0, kPlacing.Slot(slot).Column(field)));
        if (cells != "|||")
            out += std::to_string(slot) + "=" + cells + " ";
    }
    return out + "n=" + std::string(table.Text(0, kPlacing.countColumn));
}

// The messages shown, as letters: O the overwrite question, E the refusal of a code held
// elsewhere. The texts are the program's exact wording.
std::string Letters(const std::vector<std::string>& shown) {
    std::string letters;
    for (const std::string& message : shown) {
        if (message == "Confirmation: Modifier already existed, overwrite ?")
            letters += 'O';
        else
            letters += message == "Guide: Modifier already existed somewhere else." ? 'E' : '?';
    }
    return letters;
}

// What the modifier dialog does on Apply, with the questions answered as scripted:
// the free slot or the last accepted holder of the code takes it; editing asks nothing
// (undo covers it) and refuses a code another slot holds; nothing is written outside the table or
// the run.
TEST(ModifierEdit, ApplyWritesWhereTheQuestionsAndTheTableAllow) {
    const struct {
        const char* name;
        const char* codes;
        const char* answers; // Y or N for each question, in turn
        std::int32_t slot;
        const char* code;
        const char* shown;
        const char* after; // the slots afterwards, "" when Apply must write nothing
        std::int32_t row = 0;
        int columns = 49;
        const ModifierSlots* placing = &kPlacing;
    } cases[] = {
        // Minimum and maximum go to their own cells; the parameter cell keeps its text.
        {"free slot", "AB", "", 2, "C", "", "0=A|p0|1|2 1=B|p1|1|2 2=C||5|9 n=3"},
        {"the first slot holds it", "BA", "Y", 2, "B", "O", "0=B|p0|5|9 1=A|p1|1|2 n=2"},
        {"holder declined", "AB", "N", 2, "B", "O", ""},
        {"the last accepted holder", "ABCB", "YY", 5, "B", "OO",
         "0=A|p0|1|2 1=B|p1|1|2 2=C|p2|1|2 3=B|p3|5|9 n=4"},
        // A No at any question writes nothing, not even for the slots accepted before it.
        {"a No after a Yes", "ABCB", "YN", 5, "B", "OO", ""},
        // Its own code is no duplicate; the count is of the used slots.
        {"edit keeping the code", "AB", "", 0, "A", "", "0=A|p0|5|9 1=B|p1|1|2 n=2"},
        {"edit to a free code", "AB", "", 0, "C", "", "0=C|p0|5|9 1=B|p1|1|2 n=2"},
        {"edit to a code held elsewhere", "A..B", "", 0, "B", "E", ""},
        // Slot 2 would end at column 20, one past this file's last column; slots beyond
        // the file read as free, so the count covers the cells there are.
        {"slot past the file", "A", "", 2, "C", "", "", 0, 20},
        {"slot inside a narrow file", "A", "", 1, "B", "", "0=A|p0|1|2 1=B||5|9 n=2", 0, 20},
        // Without the count column the slot itself must stay as it was, too.
        {"count column past the file", "", "", 0, "A", "", "", 0, 20, &kTwoSlotsCountPastTheFile},
        // A layout without a count column writes the slot's cells and nothing else.
        {"layout without a count", "A", "", 1, "B", "", "0=A|p0|1|2 1=B||5|9 n=1", 0, 49,
         &kNoCount},
        {"row -1", "A", "", 1, "B", "", "", -1},
        {"row past the table", "A", "", 1, "B", "", "", 1},
        // Slot -1 would put its maximum into the count column, slot 10 past the run.
        {"slot -1", "A", "", -1, "B", "", "", 0, 60},
        {"slot past the run", "A", "", 10, "B", "", "", 0, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::GuideScope guide;
        for (const char* a = c.answers; *a; ++a)
            guide->answers.push_back(*a == 'Y' ? kGuideYes : kGuideNo);
        CTxtTable table = Item(c.codes, c.columns);
        const std::string before = table.Serialize();
        const std::int32_t target = SettleModifierTarget(
            PlanModifier(table, c.row, c.slot, *c.placing, c.code), c.slot,
            [](const std::string& question) { return GuideConfirm(question); },
            [](const std::string& message) { GuideMsg(message, kCaptionGuide); });
        const bool written =
            target >= 0 && WriteModifier(table, c.row, target, *c.placing, {c.code, {}, "5", "9"});
        EXPECT_EQ(Letters(guide->shown), c.shown);
        EXPECT_EQ(written, *c.after != '\0');
        if (written)
            EXPECT_EQ(Slots(table), c.after);
        else
            EXPECT_EQ(table.Serialize(), before);
    }
}

} // namespace
} // namespace tolmere
