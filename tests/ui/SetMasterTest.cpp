// SPDX-License-Identifier: MIT
// The set item window on the classic test game, and the palette dialog.
#include "ui/ChangePalDlg.h"
#include "ui/Griddor.h"
#include "ui/ItemSearch.h"
#include "ui/RawEditDlg.h"
#include "ui/SetMasterDlg.h"
#include "ui/StringsDlg.h"

#include "MainWindowFixture.h"
#include "UiTestHelpers.h"
#include "support/TableBuilder.h"

#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace tolmere {
namespace {

using SetMasterTest = MainWindowTest;

TEST_F(SetMasterTest, ListsEditsAndWritesTheClassicSetsByTheirRules) {
    Start();
    const CArchiveBridge bridge(gameDir_, FindArchiveTool(gameDir_, ""));
    CSetMasterDlg sets(data_, &bridge);
    sets.InitDialog();
    ASSERT_EQ(sets.Tree()->topLevelItemCount(), 5);
    EXPECT_EQ(sets.Tree()->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(sets.StatusText(), "Modifiers [2] - TotalModifiers [6]");
    EXPECT_EQ(sets.ModList()->TextColour(), QColor(221, 204, 102));

    // The search finds a set by any part of its name, the set before its items.
    const std::vector<int> found =
        sets.findChild<CItemSearch*>()->Matches(QStringLiteral("PILGRIM"));
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(sets.Model().Node(found[0]).number, 1);

    ASSERT_TRUE(sets.SelectNode(1000));
    EXPECT_EQ(sets.StatusText(), "Modifiers [2]");
    EXPECT_EQ(sets.ModList()->TextColour(), QColor(160, 160, 235));
    for (int command : {kSetAdd, kSetDelete}) {
        sets.Command(command);
        EXPECT_EQ(guide_->shown.back(), "Guide: The items on sets has a fixed number of modifiers");
    }

    // Delete a set modifier: the count follows, the caption shows the change.
    ASSERT_TRUE(sets.SelectNode(0));
    sets.ModList()->SelectLine(0);
    guide_->answers = {kGuideYes};
    sets.Command(kSetDelete);
    EXPECT_EQ(data_.setItems.Text(0, 4), "5");
    EXPECT_EQ(sets.StatusText(), "Modifiers [1] - TotalModifiers [5]");
    EXPECT_TRUE(sets.windowTitle().endsWith(" *"));

    // Pal Colors on a member writes its set's colour cell.
    ASSERT_TRUE(sets.SelectNode(1001));
    std::string chosen;
    testing::WhenModal([&chosen](QWidget* dialog) {
        auto* colours = FindControlAs<QComboBox>(dialog, kPalColours);
        colours->setCurrentIndex(0);
        chosen = colours->currentText().toStdString();
        static_cast<CSkinDialog*>(dialog)->Command(kDialogOk);
    });
    sets.Command(kSetColours);
    ASSERT_FALSE(chosen.empty());
    for (std::int32_t r = 0; r < data_.colours.DataRowCount(); ++r) {
        if (data_.colours.Text(r, 1) == chosen) {
            EXPECT_EQ(data_.setItems.Text(0, 6), data_.colours.Text(r, 0));
        }
    }

    // Spawn On writes the table (the game's own, so asked twice); the archive then holds
    // the edits.
    guide_->answers = {kGuideYes, kGuideYes, kGuideNo};
    sets.Command(kSetSpawnOn);
    EXPECT_TRUE(sets.StatusText().startsWith("SetItems.txt written into patch_d2.mpq"))
        << sets.StatusText().toStdString();
    CTxtTable written;
    ASSERT_TRUE(bridge.FetchTable("SetItems.txt", written).loaded);
    EXPECT_TRUE(written.Serialize() == data_.setItems.Serialize());
    EXPECT_FALSE(sets.windowTitle().endsWith(" *"));
}

TEST_F(SetMasterTest, ATableThatCannotBeHadKeepsEverythingAsItWas) {
    Start();
    ASSERT_TRUE(data_.setItems.Load(std::string(TOLMERE_SOURCE_DIR) +
                                    "/tests/data/seed-game/d2data/excel/SetItems.txt"));
    const std::string before = data_.setItems.Serialize();
    const CArchiveBridge broken(gameDir_, gameDir_ + "no-such-tool");
    CSetMasterDlg sets(data_, &broken);
    sets.InitDialog();
    ASSERT_FALSE(guide_->shown.empty());
    EXPECT_TRUE(testing::StartsWith(guide_->shown.back(), "Error: Unable to extract SetItems.txt"));
    EXPECT_EQ(sets.Tree()->topLevelItemCount(), 5);

    files_ = {QString::fromLatin1(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt"),
              QString::fromStdString(gameDir_ + "missing.txt")};
    for (int attempt = 0; attempt < 2; ++attempt) {
        sets.Command(kSetLoadFile);
        EXPECT_TRUE(testing::StartsWith(guide_->shown.back(), "Guide: Cannot load "));
    }
    EXPECT_EQ(data_.setItems.Serialize(), before);
    EXPECT_EQ(sets.Tree()->topLevelItemCount(), 5);
}

// Ctrl+T: a set's name key used in SetItems.txt selects that set.
TEST_F(SetMasterTest, StringsWindowGoesToTheSetUsingAKey) {
    Start();
    const CArchiveBridge bridge(gameDir_, FindArchiveTool(gameDir_, ""));
    CSetMasterDlg sets(data_, &bridge);
    sets.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sets));
    ASSERT_TRUE(sets.SelectNode(0));
    const std::string key(data_.setItems.Text(1, 0));
    testing::WhenModal([&key](QWidget* modal) {
        auto* strings = qobject_cast<CStringsDlg*>(modal);
        ASSERT_NE(strings, nullptr);
        ASSERT_TRUE(strings->SelectKey(key));
        auto* uses = strings->ControlAs<QTreeWidget>(kStringsUses);
        ASSERT_GE(uses->topLevelItemCount(), 1);
        Q_EMIT uses->itemClicked(uses->topLevelItem(0), 0);
    });
    QTest::keyClick(&sets, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(sets.Tree()->currentItem(), sets.Tree()->topLevelItem(1));
}

// Set Master takes the screen from the main window; however it closes, the program
// goes on in the main window, with its unsaved edits.
TEST_F(SetMasterTest, EveryWayOutOfSetMasterReturnsToTheMainWindow) {
    const std::function<void(CSkinDialog*)> ways[] = {
        [](CSkinDialog* sets) { QTest::keyClick(sets, Qt::Key_Escape); },
        [](CSkinDialog* sets) { QTest::mouseClick(sets->Control(kSetCancel), Qt::LeftButton); },
        [](CSkinDialog* sets) {
            QTest::mouseClick(sets, Qt::LeftButton, {}, QPoint(sets->width() - 20, 12));
        },
        [](CSkinDialog* sets) { sets->close(); },
    };
    for (std::size_t way = 0; way < std::size(ways); ++way) {
        SCOPED_TRACE(way);
        CMainWindow& window = Start();
        data_.uniqueItems.SetCell(0, 0, "edited, not saved");
        bool backInMain = false;
        QTimer::singleShot(0, [&] {
            testing::WhenModal([&](QWidget* sets) { ways[way](static_cast<CSkinDialog*>(sets)); });
            window.Command(kMainSetItems);
            // Whatever quits the program ends this loop too, before this timer runs.
            QTimer::singleShot(50, &window, [&] {
                backInMain = window.isVisible() && QApplication::activeModalWidget() == &window;
                window.done(42);
            });
        });
        EXPECT_EQ(window.RunModal(), 42);
        EXPECT_TRUE(backInMain);
        EXPECT_EQ(data_.uniqueItems.Text(0, 0), "edited, not saved");
        window_.reset();
    }
}

// Each window grows past its template: its list takes its share of the new room, the
// buttons keep to their edges, and it never becomes smaller than the template.
TEST_F(SetMasterTest, TheWindowsGrowWithTheirListsAndKeepTheirSmallestSize) {
    Start();
    CSetMasterDlg sets(data_, nullptr);
    CTxtTable table = data_.uniqueItems;
    CRawEditDlg raw(data_, table, "UniqueItems.txt");
    raw.InitDialog();
    const struct {
        CSkinDialog* window;
        QWidget* list;
        double listShare; // of the new width
        int rightButton;  // -1: none follows the right edge
        QPoint rightMove;
        int bottomButton;
        int find; // the search field, which widens as the list does; -1: none
    } cases[] = {
        {window_.get(), Mods(), 1.0, kMainAbout, {300, 0}, kMainSpawnOn, kMainFind},
        {&sets, sets.Tree(), 0.5, -1, {}, kSetSpawnOn, kSetFind},
        {&raw, raw.findChild<CGriddor*>(), 1.0, -1, {}, kRawApply, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window->windowTitle().toStdString());
        c.window->show();
        const QSize smallest = c.window->size();
        const QRect list = c.list->geometry();
        const QRect right =
            c.rightButton >= 0 ? c.window->Control(c.rightButton)->geometry() : QRect();
        const QRect bottom = c.window->Control(c.bottomButton)->geometry();
        const int findWidth = c.find >= 0 ? c.window->Control(c.find)->width() : 0;
        c.window->resize(smallest + QSize(300, 200));
        EXPECT_EQ(c.list->size(), list.size() + QSize(static_cast<int>(300 * c.listShare), 200));
        if (c.find >= 0) {
            EXPECT_EQ(c.window->Control(c.find)->width(),
                      findWidth + static_cast<int>(300 * c.listShare));
        }
        if (c.rightButton >= 0) {
            EXPECT_EQ(c.window->Control(c.rightButton)->geometry(), right.translated(c.rightMove));
        }
        EXPECT_EQ(c.window->Control(c.bottomButton)->geometry(), bottom.translated(0, 200));
        c.window->resize(smallest - QSize(50, 50));
        EXPECT_EQ(c.window->size(), smallest);
        EXPECT_EQ(c.list->geometry(), list);
        // A double click on the caption fills the screen and a second one gives back the
        // size it had, with or without a window manager to ask.
        const QRect before = c.window->geometry();
        QTest::mouseDClick(c.window, Qt::LeftButton, {}, QPoint(100, 10));
        EXPECT_EQ(c.window->geometry(), c.window->screen()->availableGeometry());
        EXPECT_TRUE(c.window->Maximised());
        QTest::mouseDClick(c.window, Qt::LeftButton, {}, QPoint(100, 10));
        EXPECT_EQ(c.window->geometry(), before);
        c.window->hide();
    }
}

TEST(ChangePal, PreselectsTheSetsColourAndWritesItsCode) {
    const CTxtTable colours = testing::NamedTable({"code", "name"}, {{"whit", "White"},
                                                                     {"lblu", "Light Blue"},
                                                                     {"lite", "Light"},
                                                                     {"blac", "Black"},
                                                                     {"dgry", "Dark Grey"},
                                                                     {" Odd ", "Odd"}});
    const struct {
        const char* code;
        const char* selected;
    } cases[] = {
        {"lblu", "Light Blue"},
        {"lite", "Light"},
        {"", "Dark Grey"},
        {"LBLU", "Dark Grey"},
    };
    for (const auto& c : cases) {
        CTxtTable target = testing::NamedTable({"name", "color"}, {{"Set", c.code}});
        CChangePalDlg dialog(colours, target, 0, 1);
        dialog.InitDialog();
        EXPECT_EQ(dialog.Colours()->currentText().toStdString(), c.selected) << c.code;
        EXPECT_EQ(dialog.Colours()->itemText(0), "Black");
        dialog.Command(kDialogCancel);
        EXPECT_EQ(target.Text(0, 1), c.code);
    }
    CTxtTable target = testing::NamedTable({"name", "color"}, {{"Set", "whit"}});
    CChangePalDlg dialog(colours, target, 0, 1);
    dialog.InitDialog();
    dialog.Colours()->setCurrentIndex(dialog.Colours()->findText("Odd"));
    dialog.Command(kDialogOk);
    EXPECT_EQ(target.Text(0, 1), " Odd ");
    EXPECT_EQ(target.Text(0, 0), "Set");
}

} // namespace
} // namespace tolmere
