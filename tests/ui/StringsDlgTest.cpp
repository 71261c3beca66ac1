// SPDX-License-Identifier: MIT
#include "ui/StringsDlg.h"
#include "ui/StringsModel.h"

#include "UiTestHelpers.h"
#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"

#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace tolmere {
namespace {

std::string Bytes(CStrTbl table) {
    std::string bytes;
    table.Serialize(bytes);
    return bytes;
}

class StringsDlgTest : public ::testing::Test {
protected:
    StringsDlgTest() {
        CStrTbl& base = data.strings.Table(StringSource::kBase);
        base.Add("Ember Tooth", "Ember Tooth");
        base.Add("ModStr1w", "extra gold");
        data.strings.Table(StringSource::kExpansion).Add("Frost Veil", "Frost Veil");
        CStrTbl patch;
        patch.Add("ModStr1w", "Extra Gold");
        patch.Add("Ash Crown", "Ash Crown");
        EXPECT_TRUE(data.strings.Patch().Parse(Bytes(patch)));
        data.uniqueItems =
            testing::NamedTable({"index", "code"}, {{"Gone Key", "rin"}, {"Ember Tooth", "amu"}});
        original = Bytes(data.strings.Patch());
        dialog = std::make_unique<CStringsDlg>(data, [this](const StringUse& use) {
            wentTo = use.table + "#" + std::to_string(use.row);
            return true;
        });
        dialog->show();
        testing::Settle();
    }

    // The keys the list shows, in its order.
    std::string Keys() const {
        std::string keys;
        for (int row = 0; row < dialog->Model().rowCount(); ++row)
            keys += std::string(dialog->Model().RowAt(row)->key) + ";";
        return keys;
    }
    template <class T> T* Box(int id) const { return dialog->ControlAs<T>(id); }
    void Type(int id, const QString& text) { Box<QLineEdit>(id)->setText(text); }
    std::string Shown(const std::string& key) const {
        const CStringTables::Found found = data.strings.Lookup(key);
        return found.entry ? found.entry->text + " @" + CStringTables::FileName(found.source) : "-";
    }

    testing::GuideScope guide;
    ProgramData data;
    std::string original;
    std::string wentTo;
    std::unique_ptr<CStringsDlg> dialog;
};

TEST_F(StringsDlgTest, SearchAndFilters) {
    EXPECT_EQ(Keys(), "ModStr1w;Ash Crown;Frost Veil;Ember Tooth;Gone Key;");
    QTest::keyClicks(Box<QLineEdit>(kStringsFind), QStringLiteral("GOL"));
    EXPECT_EQ(Keys(), "ModStr1w;");
    Type(kStringsFind, QString());
    Box<QComboBox>(kStringsTableFilter)->setCurrentIndex(3); // string.tbl
    EXPECT_EQ(Keys(), "Ember Tooth;");
    Box<QComboBox>(kStringsTableFilter)->setCurrentIndex(0);
    Box<QComboBox>(kStringsShow)->setCurrentIndex(2); // duplicates and gaps
    EXPECT_EQ(Keys(), "Gone Key;");
    Box<QComboBox>(kStringsShow)->setCurrentIndex(1); // used by the item tables
    EXPECT_EQ(Keys(), "Ember Tooth;Gone Key;");
    dialog->Model().sort(CStringsModel::kKey, Qt::DescendingOrder);
    EXPECT_EQ(Keys(), "Gone Key;Ember Tooth;");
}

// Apply, an edit in place, Revert and Delete, then undone in the window to the bytes the
// table had.
TEST_F(StringsDlgTest, EditsAreStepsUndoneToTheSameBytes) {
    ASSERT_TRUE(dialog->SelectKey("Frost Veil"));
    Type(kStringsText, QStringLiteral("Frost\\nVeil"));
    dialog->Command(kStringsApply);
    EXPECT_EQ(Shown("Frost Veil"), "Frost\nVeil @patchstring.tbl");
    EXPECT_TRUE(data.history.Modified(&data.strings.Patch()));

    const int row = dialog->Model().ViewRowOf("Ember Tooth");
    dialog->Model().setData(dialog->Model().index(row, CStringsModel::kText),
                            QStringLiteral("\u00ffc4Ember"), Qt::EditRole);
    testing::Settle();
    EXPECT_EQ(Shown("Ember Tooth"), "\xc3\xbf"
                                    "c4Ember @patchstring.tbl");

    ASSERT_TRUE(dialog->SelectKey("ModStr1w"));
    dialog->Command(kStringsRevert);
    EXPECT_EQ(Shown("ModStr1w"), "extra gold @string.tbl");
    ASSERT_TRUE(dialog->SelectKey("Ash Crown"));
    dialog->Command(kStringsDelete);
    EXPECT_EQ(Shown("Ash Crown"), "-");
    EXPECT_TRUE(guide->shown.empty());
    EXPECT_TRUE(dialog->Changed());

    for (int i = 0; i < 4; ++i)
        QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Bytes(data.strings.Patch()), original);
    EXPECT_FALSE(data.history.Modified(&data.strings.Patch()));
    EXPECT_EQ(Shown("Frost Veil"), "Frost Veil @expansionstring.tbl");
}

TEST_F(StringsDlgTest, RefusalsAreSaid) {
    Type(kStringsKey, QStringLiteral("ModStr1w"));
    Type(kStringsText, QStringLiteral("x"));
    dialog->Command(kStringsAdd);
    Type(kStringsText, QStringLiteral("a\\q"));
    dialog->Command(kStringsApply);
    ASSERT_EQ(guide->shown.size(), 2u);
    EXPECT_NE(guide->shown[0].find("has \u201cModStr1w\u201d already"), std::string::npos);
    EXPECT_NE(guide->shown[1].find("backslash"), std::string::npos);
    EXPECT_EQ(Bytes(data.strings.Patch()), original);
}

TEST_F(StringsDlgTest, PaletteTypesTheCodeAtTheCursor) {
    ASSERT_TRUE(dialog->SelectKey("Ash Crown"));
    Box<QLineEdit>(kStringsText)->setCursorPosition(4);
    auto* colours = Box<QComboBox>(kStringsColour);
    const int gold = colours->findText(QStringLiteral("Unique gold"), Qt::MatchEndsWith);
    ASSERT_GT(gold, 0);
    QMetaObject::invokeMethod(colours, "activated", Q_ARG(int, gold));
    EXPECT_EQ(Box<QLineEdit>(kStringsText)->text(), QStringLiteral("Ash \u00ffc4Crown"));
    dialog->Command(kStringsApply);
    EXPECT_EQ(Shown("Ash Crown"), "Ash \xc3\xbf"
                                  "c4Crown @patchstring.tbl");
}

TEST_F(StringsDlgTest, WhereUsedGoesThere) {
    // A click on a row, as the user makes it: Qt moves the current row before the
    // selection, so the details must follow the selection, not the current row.
    QTableView* list = dialog->List();
    const QModelIndex cell = dialog->Model().index(dialog->Model().ViewRowOf("Ember Tooth"), 1);
    list->scrollTo(cell);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
    EXPECT_EQ(Box<QLineEdit>(kStringsKey)->text(), QStringLiteral("Ember Tooth"));
    auto* uses = Box<QTreeWidget>(kStringsUses);
    ASSERT_EQ(uses->topLevelItemCount(), 1);
    EXPECT_EQ(uses->topLevelItem(0)->text(0),
              QStringLiteral("UniqueItems.txt, row 1 (index): Ember Tooth"));
    Q_EMIT uses->itemClicked(uses->topLevelItem(0), 0);
    EXPECT_EQ(wentTo, "UniqueItems.txt#1");
    EXPECT_EQ(dialog->result(), kDialogOk);
}

} // namespace
} // namespace tolmere
