#include "mods/ModifierDlg.h"

#include "app/UniqueLayout.h"

#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

namespace tolmere {
namespace {

using testing::CatalogueOf;
using testing::GuideScope;
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

// One item row whose slot 0 holds these four cells, and a count of 1 when it is used.
CTxtTable ItemWith(const Row& slot = {}) {
    Row row(49);
    row[8] = slot.empty() || slot[0].empty() ? "0" : "1";
    for (std::size_t i = 0; i < slot.size(); ++i)
        row[9 + i] = slot[i];
    return TableOf(49, {row});
}

QString Box(const CModifierDlg& dialog, int id) {
    return dialog.ControlAs<QLineEdit>(id)->text();
}
void Type(CModifierDlg& dialog, int id, const QString& text) {
    dialog.ControlAs<QLineEdit>(id)->setText(text);
}
QComboBox* List(const CModifierDlg& dialog) {
    return dialog.ControlAs<QComboBox>(kModifierList);
}
std::string Cell(const CTxtTable& table, int column) {
    return std::string(table.Text(0, column));
}

TEST(ModifierDlg, AddingOffersTheSortedCatalogueAndItsDefaults) {
    CTxtTable table = ItemWith();
    CModifierDlg dialog(0, 0, table, Keys(), ClassicUniqueLayout().modifiers, nullptr);
    dialog.InitDialog();
    EXPECT_EQ(dialog.windowTitle(), "Add Modifier");
    QStringList entries;
    for (int i = 0; i < List(dialog)->count(); ++i)
        entries << List(dialog)->itemText(i);
    EXPECT_EQ(entries, (QStringList{"armor ", "Attack ", "Dexterity ", "Strength +"}));
    EXPECT_EQ(List(dialog)->currentIndex(), 0);
    EXPECT_EQ(Box(dialog, kModifierMinBox), "20");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "20");
    EXPECT_EQ(Box(dialog, kModifierDuration), "0");
    EXPECT_FALSE(dialog.Control(kModifierDuration)->isEnabled());

    // Another choice throws typed values away and resets the duration box.
    Type(dialog, kModifierMinBox, "99");
    Type(dialog, kModifierDuration, "5");
    dialog.Control(kModifierDuration)->setEnabled(true);
    List(dialog)->setCurrentIndex(2);
    EXPECT_EQ(Box(dialog, kModifierMinBox), "7");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "7");
    EXPECT_EQ(Box(dialog, kModifierDuration), "0");
    EXPECT_FALSE(dialog.Control(kModifierDuration)->isEnabled());
}

TEST(ModifierDlg, BoxesAreBoundCrosswiseAndEqualsCopiesMinIntoMax) {
    {
        GuideScope guide;
        CTxtTable table = ItemWith();
        CModifierDlg dialog(0, 0, table, Keys(), ClassicUniqueLayout().modifiers, nullptr);
        dialog.show();
        Type(dialog, kModifierMinBox, "15");
        Type(dialog, kModifierMaxBox, "10");
        dialog.Command(kDialogOk);
        EXPECT_EQ(dialog.result(), kDialogOk);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(Cell(table, 9), "ac");
        EXPECT_EQ(Cell(table, 11), "10"); // minimum, from the box labelled "Max"
        EXPECT_EQ(Cell(table, 12), "15");
        EXPECT_EQ(Cell(table, 8), "1");
    }
    {
        CTxtTable table = ItemWith();
        CModifierDlg dialog(0, 0, table, Keys(), ClassicUniqueLayout().modifiers, nullptr);
        dialog.InitDialog();
        Type(dialog, kModifierMinBox, "15");
        Type(dialog, kModifierMaxBox, "10");
        dialog.Command(kModifierSame);
        EXPECT_EQ(Box(dialog, kModifierMinBox), "15");
        EXPECT_EQ(Box(dialog, kModifierMaxBox), "15");
    }
}

TEST(ModifierDlg, EditingShowsTheStoredValuesAndWritesThemBackUnchanged) {
    GuideScope guide;
    // The maximum is Windows-1252: µ must go back as one byte, not as UTF-8.
    CTxtTable table = ItemWith({"dex", "par", "3", "9\xB5"});
    const std::string before = table.Serialize();
    CModifierDlg dialog(0, 0, table, Keys(), ClassicUniqueLayout().modifiers, nullptr);
    dialog.show();
    EXPECT_TRUE(dialog.Editing());
    EXPECT_EQ(dialog.windowTitle(), "Edit Modifier");
    EXPECT_EQ(List(dialog)->currentText(), "Dexterity ");
    EXPECT_EQ(Box(dialog, kModifierMinBox), QString("9") + QChar(0xB5));
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "3");

    guide->answers = {kGuideNo};
    dialog.Command(kDialogOk);
    EXPECT_TRUE(dialog.isVisible());
    guide->answers = {kGuideYes};
    dialog.Command(kDialogOk);
    EXPECT_EQ(dialog.result(), kDialogOk);
    EXPECT_EQ(guide->shown, (std::vector<std::string>(2, "Confirmation: Change this modifier ?")));
    EXPECT_EQ(table.Serialize(), before);
}

TEST(ModifierDlg, AnUnknownCodeIsStillEditedWithTheFirstEntryChosen) {
    CTxtTable table = ItemWith({"zzz", "", "4", "8"});
    CModifierDlg dialog(0, 0, table, Keys(), ClassicUniqueLayout().modifiers, nullptr);
    dialog.InitDialog();
    EXPECT_EQ(dialog.windowTitle(), "Edit Modifier");
    EXPECT_EQ(List(dialog)->currentIndex(), 0);
    EXPECT_EQ(Box(dialog, kModifierMinBox), "8");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "4");
}

TEST(ModifierDlg, AnEmptyCatalogueLeavesNothingToApply) {
    GuideScope guide;
    const CModKeys empty = CatalogueOf({});
    CTxtTable table = ItemWith();
    const std::string before = table.Serialize();
    CModifierDlg dialog(0, 0, table, empty, ClassicUniqueLayout().modifiers, nullptr);
    dialog.show();
    EXPECT_EQ(List(dialog)->count(), 0);
    EXPECT_EQ(Box(dialog, kModifierMinBox), "");
    EXPECT_EQ(Box(dialog, kModifierMaxBox), "");
    dialog.Command(kDialogOk);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(guide->shown, std::vector<std::string>{});
    dialog.Command(kDialogCancel);
    EXPECT_EQ(dialog.result(), kDialogCancel);
    EXPECT_EQ(table.Serialize(), before);
}

} // namespace
} // namespace tolmere
