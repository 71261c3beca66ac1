#include "mods/ModifierDlg.h"

#include "app/UniqueLayout.h"

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

// One item row whose slot 0 holds these four cells, and a count of 1 when it is used.
CTxtTable ClassicItem(const Row& slot = {}) {
    Row row(49);
    row[8] = slot.empty() || slot[0].empty() ? "0" : "1";
    for (std::size_t i = 0; i < slot.size(); ++i)
        row[9 + i] = slot[i];
    return TableOf(49, {row});
}
// A 1.10+ item row: slot 0 in columns 3 to 6, slot 1 in 7 to 10, then a tail cell.
CTxtTable RealItem(const Row& slot0 = {}) {
    Row row{"Item", "cap", ""};
    Row cells = slot0;
    cells.resize(4);
    row.insert(row.end(), cells.begin(), cells.end());
    row.insert(row.end(), {"", "", "", "", "tail\xB5"});
    return NamedTable({"index", "code", "invfile", "prop1", "par1", "min1", "max1", "prop2", "par2",
                       "min2", "max2", "*eol"},
                      {row});
}
ModifierSlots RealSlots(const CTxtTable& table) {
    return RecogniseUniqueItems(table).modifiers;
}

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
    CTxtTable table = ClassicItem();
    CModifierDlg dialog(0, 0, table, Classic(), ClassicUniqueLayout().modifiers, nullptr);
    dialog.InitDialog();
    EXPECT_EQ(dialog.windowTitle(), "Add Modifier");
    QStringList entries;
    for (int i = 0; i < List(dialog)->count(); ++i)
        entries << List(dialog)->itemText(i);
    EXPECT_EQ(entries,
              (QStringList{"armor (ac)", "Attack (att)", "Dexterity (dex)", "Strength + (str)"}));
    EXPECT_EQ(Box(dialog, kModifierMinBox), "20");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "20");
    EXPECT_FALSE(dialog.Control(kModifierParam)->isEnabled());
    EXPECT_EQ(Label(dialog, kModifierMinLabel), "Min");

    // Another choice throws typed values away.
    Type(dialog, kModifierMinBox, "99");
    List(dialog)->setCurrentIndex(2);
    EXPECT_EQ(Box(dialog, kModifierMinBox), "7");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "7");
}

TEST(ModifierDlg, EachBoxWritesItsOwnCellAndEqualsCopiesMinIntoMax) {
    GuideScope guide;
    CTxtTable table = ClassicItem();
    CModifierDlg dialog(0, 0, table, Classic(), ClassicUniqueLayout().modifiers, nullptr);
    dialog.show();
    Type(dialog, kModifierMinBox, "10");
    Type(dialog, kModifierMaxBox, "15");
    dialog.Command(kDialogOk);
    EXPECT_EQ(dialog.result(), kDialogOk);
    EXPECT_EQ(Cells(table, 8, 5), "1|ac||10|15|");

    CModifierDlg same(0, 0, table, Classic(), ClassicUniqueLayout().modifiers, nullptr);
    same.InitDialog();
    Type(same, kModifierMinBox, "12");
    same.Command(kModifierSame);
    EXPECT_EQ(Box(same, kModifierMaxBox), "12");
}

TEST(ModifierDlg, EditingWritesUntouchedCellsBackByteForByte) {
    GuideScope guide;
    // The maximum is Windows-1252: µ must go back as one byte, not as UTF-8.
    CTxtTable table = ClassicItem({"dex", "par", "3", "9\xB5"});
    const std::string before = table.Serialize();
    CModifierDlg dialog(0, 0, table, Classic(), ClassicUniqueLayout().modifiers, nullptr);
    dialog.show();
    EXPECT_TRUE(dialog.Editing());
    EXPECT_EQ(dialog.windowTitle(), "Edit Modifier");
    EXPECT_EQ(List(dialog)->currentText(), "Dexterity (dex)");
    EXPECT_EQ(Box(dialog, kModifierMinBox), "3");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), QString("9") + QChar(0xB5));

    guide->answers = {kGuideNo};
    dialog.Command(kDialogOk);
    EXPECT_TRUE(dialog.isVisible());
    guide->answers = {kGuideYes};
    dialog.Command(kDialogOk);
    EXPECT_EQ(dialog.result(), kDialogOk);
    EXPECT_EQ(guide->shown, (std::vector<std::string>(2, "Confirmation: Change this modifier ?")));
    EXPECT_EQ(table.Serialize(), before);
}

TEST(ModifierDlg, AnUnknownCodeIsKeptWhenEdited) {
    GuideScope guide;
    CTxtTable table = ClassicItem({"zzz", "0", "4", "8"});
    const std::string before = table.Serialize();
    CModifierDlg dialog(0, 0, table, Classic(), ClassicUniqueLayout().modifiers, nullptr);
    dialog.show();
    EXPECT_EQ(List(dialog)->currentText(), "zzz");
    EXPECT_EQ(Box(dialog, kModifierMinBox), "4");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "8");
    guide->answers = {kGuideYes};
    dialog.Command(kDialogOk);
    EXPECT_EQ(dialog.result(), kDialogOk);
    EXPECT_EQ(table.Serialize(), before);
}

TEST(ModifierDlg, WhatCannotBeWrittenIsRefusedAndWhatLooksWrongIsAskedAbout) {
    struct Case {
        const char* name;
        const CModifierChoices& choices;
        QString property, param, min, max;
        std::vector<std::string> shown; // first message; nothing written after it
    };
    const Case cases[] = {
        {"nothing chosen",
         Classic(),
         "",
         "",
         "1",
         "1",
         {"Guide: Choose a modifier from the list, or type its code."}},
        {"text that is no code",
         Classic(),
         "no such",
         "",
         "1",
         "1",
         {"Guide: 'no such' is neither a modifier of the list nor a property code."}},
        {"min above max",
         Classic(),
         "armor (ac)",
         "",
         "15",
         "10",
         {"Confirmation: The minimum (15) is greater than the maximum (10).\nWrite it anyway?"}},
        {"unknown property and skill",
         Real(),
         "zap",
         "",
         "1",
         "2",
         {"Confirmation: Properties.txt has no property 'zap'.\nWrite it anyway?"}},
        {"skill not in Skills.txt",
         Real(),
         "skill",
         "Blizzard",
         "1",
         "3",
         {"Confirmation: Skills.txt has no skill 'Blizzard'.\nWrite it anyway?"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GuideScope guide;
        CTxtTable table = &c.choices == &Classic() ? ClassicItem() : RealItem();
        const ModifierSlots slots =
            &c.choices == &Classic() ? ClassicUniqueLayout().modifiers : RealSlots(table);
        const std::string before = table.Serialize();
        CModifierDlg dialog(0, 0, table, c.choices, slots, nullptr);
        dialog.show();
        if (!c.property.isEmpty() && List(dialog)->findText(c.property) >= 0)
            List(dialog)->setCurrentIndex(List(dialog)->findText(c.property));
        Type(dialog, kModifierList, c.property);
        Type(dialog, kModifierParam, c.param);
        Type(dialog, kModifierMinBox, c.min);
        Type(dialog, kModifierMaxBox, c.max);
        dialog.Command(kDialogOk); // No to every question
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(guide->shown, c.shown);
        EXPECT_EQ(table.Serialize(), before);
    }
}

TEST(ModifierDlg, RealSlotsTakeTheirParameterAsTheGameReadsIt) {
    struct Case {
        QString property;
        QString paramLabel, minLabel, maxLabel;
        bool paramEnabled, minEnabled;
        QString param, min, max; // typed
        std::string written;     // slot 0's four cells
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property.toStdString() + " " + c.param.toStdString());
        GuideScope guide;
        CTxtTable table = RealItem();
        CModifierDlg dialog(0, 0, table, Real(), RealSlots(table), nullptr);
        dialog.show();
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
        EXPECT_EQ(dialog.result(), kDialogOk) << ::testing::PrintToString(guide->shown);
        EXPECT_EQ(Cells(table, 3, 4), c.written);
        EXPECT_EQ(Cells(table, 7, 5), "||||tail\xB5|"); // nothing else of the row moves
    }
}

TEST(ModifierDlg, EditingARealSlotShowsItsSkillAndKeepsTheCellsItsWords) {
    GuideScope guide;
    CTxtTable table = RealItem({"hit-skill", "Frost Nova", "10", "5"});
    const std::string before = table.Serialize();
    CModifierDlg dialog(0, 0, table, Real(), RealSlots(table), nullptr);
    dialog.show();
    EXPECT_EQ(Box(dialog, kModifierParam), "Frost Nova (44)");
    EXPECT_EQ(Box(dialog, kModifierMinBox), "10");
    guide->answers = {kGuideYes};
    dialog.Command(kDialogOk);
    EXPECT_EQ(dialog.result(), kDialogOk);
    // The name stays a name: the shown entry stood for the cell as it was.
    EXPECT_EQ(table.Serialize(), before);
}

TEST(ModifierDlg, TypingNarrowsThePropertyListByTextOrCode) {
    CTxtTable table = RealItem();
    CModifierDlg dialog(0, 0, table, Real(), RealSlots(table), nullptr);
    dialog.show();
    QCompleter* completer = List(dialog)->completer();
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
