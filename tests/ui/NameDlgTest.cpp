// SPDX-License-Identifier: MIT
#include "ui/NameDlg.h"
#include "tables/StringTables.h"

#include "UiTestHelpers.h"

#include <gtest/gtest.h>

#include <QLabel>

#include <tuple>
#include <vector>

namespace tolmere {
namespace {

using Entry = std::tuple<std::uint32_t, std::string, std::string>;

std::vector<Entry> Entries(const CStrTbl& strings) {
    std::vector<Entry> entries;
    for (const StrEntry& e : strings.List())
        entries.emplace_back(e.indexNumber, e.key, e.text);
    return entries;
}

class NameDlgTest : public ::testing::Test {
protected:
    NameDlgTest() {
        strings.Add("Ember Tooth", "Ember Tooth");
        strings.Add("Tide Sister", "Tide Sister");
        strings.Add("Hollow Crown", "\xff"
                                    "c4Hollow Crown");
    }

    // Opens the dialog, lets `act` edit it, and finishes with OK.
    void EditAndAccept(const std::string& nameKey, const std::string& prefixKey,
                       const std::function<void(CNameDlg&)>& act) {
        CNameDlg dialog(tables, nameKey, prefixKey);
        dialog.show();
        testing::Settle();
        act(dialog);
        dialog.Command(kDialogOk);
        EXPECT_EQ(dialog.result(), kDialogOk);
    }

    static QLineEdit* Box(const CNameDlg& dialog, int id) {
        return dialog.ControlAs<QLineEdit>(id);
    }

    CStringTables tables;
    CStrTbl& strings = tables.Patch();
};

TEST_F(NameDlgTest, ANewNameIsAppendedAfterEveryEntryAndAnEmptiedOneRemoved) {
    auto before = Entries(strings);
    EditAndAccept("Glass Warden", "", [](CNameDlg& dialog) {
        EXPECT_EQ(Box(dialog, kNameDlgName)->text(), "");
        QLineEdit* name = Box(dialog, kNameDlgName);
        QTest::keyClicks(name, "Glass W");
        name->insert(QString::fromUtf8("\xc3\xa4")); // beyond what key clicks can type
        QTest::keyClicks(name, "rden");
    });
    before.emplace_back(4, "Glass Warden", "Glass W\xc3\xa4rden");
    EXPECT_EQ(Entries(strings), before);

    EditAndAccept("Tide Sister", "", [](CNameDlg& dialog) {
        EXPECT_EQ(Box(dialog, kNameDlgName)->text(), "Tide Sister");
        Box(dialog, kNameDlgName)->clear();
    });
    before.erase(before.begin() + 1);
    EXPECT_EQ(Entries(strings), before);
}

TEST_F(NameDlgTest, UntouchedTextComesBackByteForByteAndNoPrefixKeyHidesThePrefix) {
    strings.Add("Split Name", "first\nsecond");
    strings.Add("", "not a prefix");
    const auto before = Entries(strings);
    EditAndAccept("Hollow Crown", "", [](CNameDlg& dialog) {
        EXPECT_FALSE(dialog.Control(kNameDlgPrefix)->isVisible());
        EXPECT_FALSE(dialog.Control(kNameDlgPrefixLabel)->isVisible());
        EXPECT_TRUE(dialog.Control(kNameDlgName)->isVisible());
    });
    EditAndAccept("Split Name", "", [](CNameDlg&) {});
    EXPECT_EQ(Entries(strings), before);
}

TEST_F(NameDlgTest, WithAPrefixKeyBothAreShownAndWritten) {
    EditAndAccept("Ember Tooth", "Tide Sister", [](CNameDlg& dialog) {
        EXPECT_TRUE(dialog.Control(kNameDlgPrefix)->isVisible());
        EXPECT_EQ(Box(dialog, kNameDlgPrefix)->text(), "Tide Sister");
        Box(dialog, kNameDlgName)->setText("Ember Fang");
        Box(dialog, kNameDlgPrefix)->setText("Sea");
    });
    EXPECT_EQ(strings.Find("Ember Tooth")->text, "Ember Fang");
    EXPECT_EQ(strings.Find("Tide Sister")->text, "Sea");
    EXPECT_EQ(strings.EntryCount(), 3u);
}

TEST_F(NameDlgTest, TheGamesOwnNamesAreShownAndARenameGoesIntoPatchstring) {
    CStrTbl& expansion = tables.Table(StringSource::kExpansion);
    expansion.Add("Old Name", "From the game");
    tables.Table(StringSource::kBase).Add("Old Name", "Older");
    const auto before = Entries(strings);
    // Left as it is, the game's name needs no entry of ours.
    EditAndAccept("Old Name", "", [](CNameDlg& dialog) {
        EXPECT_EQ(Box(dialog, kNameDlgName)->text(), "From the game");
        EXPECT_NE(Box(dialog, kNameDlgName)->toolTip().indexOf("expansionstring.tbl"), -1);
        // The key, where the name comes from and where a change goes, and the text
        // selected to type over.
        EXPECT_EQ(dialog.ControlAs<QLabel>(kNameDlgSource)->text().toStdString(),
                  "Key \u201cOld Name\u201d, from expansionstring.tbl; a change is written into "
                  "patchstring.tbl");
        EXPECT_EQ(Box(dialog, kNameDlgName)->selectedText(), "From the game");
    });
    EXPECT_EQ(Entries(strings), before);
    EditAndAccept("Old Name", "",
                  [](CNameDlg& dialog) { Box(dialog, kNameDlgName)->setText("Renamed"); });
    EXPECT_EQ(strings.Find("Old Name")->text, "Renamed");
    EXPECT_EQ(expansion.Find("Old Name")->text, "From the game"); // the game's tables stay
    // Clearing removes our entry; the game's name shows again.
    EditAndAccept("Old Name", "", [](CNameDlg& dialog) { Box(dialog, kNameDlgName)->clear(); });
    EXPECT_EQ(Entries(strings), before);
    EXPECT_EQ(tables.Lookup("Old Name").entry->text, "From the game");
}

TEST_F(NameDlgTest, CancelAfterEditingChangesNothing) {
    const auto before = Entries(strings);
    testing::WhenModal([](QWidget* dialog) {
        auto* name = FindControlAs<QLineEdit>(dialog, kNameDlgName);
        name->selectAll();
        QTest::keyClicks(name, "Other");
        FindControlAs<QLineEdit>(dialog, kNameDlgPrefix)->clear();
        QTest::keyClick(name, Qt::Key_Escape);
    });
    CNameDlg dialog(tables, "Ember Tooth", "Hollow Crown", nullptr);
    EXPECT_EQ(dialog.RunModal(), kDialogCancel);
    EXPECT_EQ(Entries(strings), before);
}

} // namespace
} // namespace tolmere
