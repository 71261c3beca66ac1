// SPDX-License-Identifier: MIT
#include "ui/ModifierDlg.h"

#include "items/UniqueLayout.h"

#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>

namespace tolmere {
namespace {

using testing::CatalogueOf;
using testing::GuideScope;
using testing::NamedTable;
using testing::Row;
using testing::TableOf;

// Rows: code, pattern, kind, default. Sorted without regard to case, "armor" comes
// first although it is neither the first row nor first in byte order.
const CModKeys& Keys() {
    static const CModKeys keys = CatalogueOf({
        {"str", "Strength +%.0f", "", "10"},
        {"ac", "armor %.0f", "", "20"},
        {"dex", "Dexterity %.0f", "", "7"},
        {"att", "Attack %.0f", "", "30"},
    });
    return keys;
}
const CModifierChoices& Classic() {
    static const CModifierChoices choices = CModifierChoices::FromCatalogue(Keys());
    return choices;
}

// A game of five properties and two skills, as its own tables would give them.
const CGameData& Game() {
    static const CGameData game = [] {
        CGameData data;
        data.Assign(
            NamedTable({"code", "func1", "stat1", "func2", "stat2", "func3", "stat3", "*param",
                        "*min", "*max"},
                       {{"str", "1", "strength"},
                        {"hit-skill", "11", "item_skillonhit", "", "", "", "", "Skill #",
                         "% Chance", "Level"},
                        {"skill", "22", "item_singleskill"},
                        {"hp/lvl", "17", "item_hp_perlevel", "", "", "", "", "hp/lvl (8ths)"},
                        {"dmg-cold", "15", "coldmindam", "16", "coldmaxdam", "17", "coldlength",
                         "Length (Frames)", "Min", "Max"}}),
            NamedTable({"Stat", "ID"}, {{"strength", "0"}, {"item_skillonhit", "201"}}),
            NamedTable({"skill", "Id", "skilldesc"}, {{"Fire Ball", "47"}, {"Frost Nova", "44"}}),
            CTxtTable(), CTxtTable());
        return data;
    }();
    return game;
}
const CModifierChoices& Real() {
    static const CStringTables strings;
    static const CModifierChoices choices = CModifierChoices::ForGame(CModKeys(), Game(), strings);
    return choices;
}

// One classic item row whose slot 0 holds these cells, with a count of 1 when it is used.
CTxtTable ClassicItem(const Row& slot) {
    Row row(49);
    row[8] = slot.empty() || slot[0].empty() ? "0" : "1";
    std::copy(slot.begin(), slot.end(), row.begin() + 9);
    return TableOf(49, {row});
}
// A 1.10+ item row: slot 0 in columns 3 to 6, slot 1 in 7 to 10, then a tail cell.
CTxtTable RealItem(const Row& slot) {
    Row row{"Item", "cap", "", "", "", "", "", "", "", "", "", "tail\xB5"};
    std::copy(slot.begin(), slot.end(), row.begin() + 3);
    return NamedTable({"index", "code", "invfile", "prop1", "par1", "min1", "max1", "prop2", "par2",
                       "min2", "max2", "*eol"},
                      {row});
}

// The dialog on slot 0 of a classic or a 1.10+ item, shown, and the table's bytes before.
struct Open {
    explicit Open(bool real, const Row& slot = {})
        : table(real ? RealItem(slot) : ClassicItem(slot)), before(table.Serialize()),
          dialog(0, 0, table, real ? Real() : Classic(),
                 real ? RecogniseUniqueItems(table).modifiers : ClassicUniqueLayout().modifiers,
                 nullptr) {
        dialog.show();
    }
    GuideScope guide;
    CTxtTable table;
    std::string before;
    CModifierDlg dialog;
};

QString Box(const CModifierDlg& dialog, int id) {
    if (auto* combo = dialog.ControlAs<QComboBox>(id))
        return combo->currentText();
    return dialog.ControlAs<QLineEdit>(id)->text();
}
void Type(CModifierDlg& dialog, int id, const QString& text) {
    if (auto* combo = dialog.ControlAs<QComboBox>(id))
        combo->setEditText(text);
    else
        dialog.ControlAs<QLineEdit>(id)->setText(text);
}
QComboBox* List(const CModifierDlg& dialog) {
    return dialog.ControlAs<QComboBox>(kModifierList);
}
QString Label(const CModifierDlg& dialog, int id) {
    return dialog.ControlAs<QLabel>(id)->text();
}
// Picks the list entry whose text starts with `start`.
void Choose(CModifierDlg& dialog, const QString& start) {
    const int index = List(dialog)->findText(start, Qt::MatchStartsWith);
    ASSERT_GE(index, 0) << start.toStdString();
    List(dialog)->setCurrentIndex(index);
}
std::string Cells(const CTxtTable& table, int from, int count) {
    std::string text;
    for (int c = from; c < from + count; ++c)
        text += std::string(table.Text(0, c)) + "|";
    return text;
}

TEST(ModifierDlg, AddingOffersTheSortedCatalogueWithCodesAndItsDefaults) {
    Open open(false);
    CModifierDlg& dialog = open.dialog;
    EXPECT_EQ(dialog.windowTitle(), "Add Modifier");
    QStringList entries;
    for (int i = 0; i < List(dialog)->count(); ++i)
        entries << List(dialog)->itemText(i);
    EXPECT_EQ(entries,
              (QStringList{"armor (ac)", "Attack (att)", "Dexterity (dex)", "Strength + (str)"}));
    EXPECT_EQ(Box(dialog, kModifierMinBox), "20");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "20");
    EXPECT_FALSE(dialog.Control(kModifierParam)->isEnabled());
    // Another choice throws typed values away.
    Type(dialog, kModifierMinBox, "99");
    List(dialog)->setCurrentIndex(2);
    EXPECT_EQ(Box(dialog, kModifierMinBox), "7");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "7");
    // Equals copies the minimum into the maximum; each box writes its own cell.
    Type(dialog, kModifierMinBox, "12");
    dialog.Command(kModifierSame);
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "12");
    Type(dialog, kModifierMaxBox, "15");
    dialog.Command(kDialogOk);
    EXPECT_EQ(dialog.result(), kDialogOk);
    EXPECT_EQ(Cells(open.table, 8, 5), "1|dex||12|15|");
}

// A slot edited without a change goes back byte for byte: a Windows-1252 maximum as one
// byte, an unknown code as it was, a skill named in the cell as its name.
TEST(ModifierDlg, EditingShowsTheSlotAndWritesUntouchedCellsBack) {
    const struct {
        bool real;
        Row slot;
        QString property, param, min, max; // as shown
    } cases[] = {
        {false, {"dex", "par", "3", "9\xB5"}, "Dexterity (dex)", "", "3", "9µ"},
        {false, {"zzz", "0", "4", "8"}, "zzz", "", "4", "8"},
        {true, {"hit-skill", "Frost Nova", "10", "5"}, "hit-skill", "Frost Nova (44)", "10", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot[0]);
        Open open(c.real, c.slot);
        CModifierDlg& dialog = open.dialog;
        EXPECT_EQ(dialog.windowTitle(), "Edit Modifier");
        EXPECT_EQ(List(dialog)->currentText(), c.property);
        if (c.real) {
            EXPECT_EQ(Box(dialog, kModifierParam), c.param);
        }
        EXPECT_EQ(Box(dialog, kModifierMinBox), c.min);
        EXPECT_EQ(Box(dialog, kModifierMaxBox), c.max);
        // Editing opens on the first value, ready to type over; Apply asks nothing.
        ASSERT_NE(dialog.focusWidget(), nullptr);
        EXPECT_EQ(dialog.focusWidget()->objectName(), ControlName(kModifierMinBox));
        dialog.Command(kDialogOk);
        EXPECT_EQ(dialog.result(), kDialogOk);
        EXPECT_TRUE(open.guide->shown.empty());
        EXPECT_EQ(open.table.Serialize(), open.before);
    }
}

TEST(ModifierDlg, WhatCannotBeWrittenIsRefusedAndWhatLooksWrongIsAskedAbout) {
    const struct {
        bool real;
        QString property, param, min, max;
        const char* shown; // the first message; nothing is written after it
    } cases[] = {
        {false, "", "", "1", "1", "Guide: Choose a modifier from the list, or type its code."},
        {false, "no such", "", "1", "1",
         "Guide: 'no such' is neither a modifier of the list nor a property code."},
        {false, "armor (ac)", "", "15", "10",
         "Confirmation: The minimum (15) is greater than the maximum (10).\nWrite it anyway?"},
        {true, "zap", "", "1", "2",
         "Confirmation: Properties.txt has no property 'zap'.\nWrite it anyway?"},
        {true, "skill", "Blizzard", "1", "3",
         "Confirmation: Skills.txt has no skill 'Blizzard'.\nWrite it anyway?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        Open open(c.real);
        CModifierDlg& dialog = open.dialog;
        if (!c.property.isEmpty() && List(dialog)->findText(c.property) >= 0)
            List(dialog)->setCurrentIndex(List(dialog)->findText(c.property));
        Type(dialog, kModifierList, c.property);
        Type(dialog, kModifierParam, c.param);
        Type(dialog, kModifierMinBox, c.min);
        Type(dialog, kModifierMaxBox, c.max);
        dialog.Command(kDialogOk); // No to every question
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(open.guide->shown, std::vector<std::string>{c.shown});
        EXPECT_EQ(open.table.Serialize(), open.before);
    }
}

TEST(ModifierDlg, RealSlotsTakeTheirParameterAsTheGameReadsIt) {
    const struct {
        QString property;
        QString paramLabel, minLabel, maxLabel;
        bool paramEnabled, minEnabled;
        QString param, min, max; // typed
        std::string written;     // slot 0's four cells
    } cases[] = {
        {"hit-skill", "Skill", "% Chance", "Level", true, true, "Frost Nova (44)", "10", "5",
         "hit-skill|44|10|5|"},
        {"skill", "Skill", "Min", "Max", true, true, "Fire Ball (47)", "1", "3", "skill|47|1|3|"},
        // A skill typed by name is written as typed: the game looks names up too.
        {"skill", "Skill", "Min", "Max", true, true, "fire ball", "2", "2", "skill|fire ball|2|2|"},
        {"hp/lvl", "hp/lvl (8ths)", "", "", true, false, "12", "", "", "hp/lvl|12|||"},
        {"dmg-cold", "Length (Frames)", "Min", "Max", true, true, "50", "4", "9",
         "dmg-cold|50|4|9|"},
        {"str", "", "Min", "Max", false, true, "", "5", "8", "str||5|8|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.property.toStdString() + " " + c.param.toStdString());
        Open open(true);
        CModifierDlg& dialog = open.dialog;
        Choose(dialog, c.property);
        EXPECT_EQ(Label(dialog, kModifierParamLabel), c.paramLabel);
        EXPECT_EQ(Label(dialog, kModifierMinLabel), c.minLabel);
        EXPECT_EQ(Label(dialog, kModifierMaxLabel), c.maxLabel);
        EXPECT_EQ(dialog.Control(kModifierParam)->isEnabled(), c.paramEnabled);
        EXPECT_EQ(dialog.Control(kModifierMinBox)->isEnabled(), c.minEnabled);
        if (c.paramLabel == "Skill") {
            auto* param = dialog.ControlAs<QComboBox>(kModifierParam);
            param->setCurrentIndex(param->findText(c.param));
        }
        Type(dialog, kModifierParam, c.param);
        Type(dialog, kModifierMinBox, c.min);
        Type(dialog, kModifierMaxBox, c.max);
        dialog.Command(kDialogOk);
        EXPECT_EQ(dialog.result(), kDialogOk) << ::testing::PrintToString(open.guide->shown);
        EXPECT_EQ(Cells(open.table, 3, 4), c.written);
        EXPECT_EQ(Cells(open.table, 7, 5), "||||tail\xB5|"); // nothing else of the row moves
    }
    // Typing narrows the property list by text or code.
    Open open(true);
    QCompleter* completer = List(open.dialog)->completer();
    const auto matches = [completer](const QString& typed) {
        completer->setCompletionPrefix(typed);
        QStringList found;
        for (int i = 0; completer->setCurrentRow(i); ++i)
            found << completer->currentCompletion();
        return found;
    };
    EXPECT_EQ(matches("lvl"), QStringList{"hp/lvl"});
    EXPECT_EQ(matches("SKILL"), (QStringList{"hit-skill", "skill"}));
}

} // namespace
} // namespace tolmere

namespace tolmere {
namespace {

// A code with a space the game does not read: the modifier it was meant to be is offered,
// and written on Apply only when taken.
TEST(ModifierDlg, ACodeWithSpacesIsOfferedTrimmed) {
    for (const int answer : {kGuideYes, kGuideNo}) {
        GuideScope guide;
        guide->answers = {answer};
        CTxtTable table = ClassicItem({"dex ", "", "3", "9"});
        CModifierDlg dialog(0, 0, table, Classic(), ClassicUniqueLayout().modifiers, nullptr);
        dialog.InitDialog();
        ASSERT_EQ(guide->shown.size(), 1u);
        EXPECT_EQ(guide->shown[0], "Confirmation: The code 'dex ' has spaces the game does not "
                                   "read, so the game ignores this modifier. Edit it as 'dex'?");
        dialog.Command(kDialogOk);
        EXPECT_EQ(table.Text(0, 9), answer == kGuideYes ? "dex" : "dex ");
        EXPECT_EQ(table.Text(0, 11), "3");
    }
}

} // namespace
} // namespace tolmere
