// SPDX-License-Identifier: MIT
// Raw Edit on item tables: choosers where the header has code columns, a pick writing
// the code and the base item's name, New Row, and Apply touching only changed cells.
#include "ui/RawEditDlg.h"
#include "ui/Griddor.h"
#include "ui/WindowSizing.h"

#include "UiTestHelpers.h"
#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace tolmere {
namespace {

class RawEditDlgTest : public ::testing::Test {
protected:
    RawEditDlgTest() {
        data_.colours = testing::NamedTable({"code", "name"}, {{"lblu", "Light Blue"}});
        data_.baseLists.Assign(
            0, testing::NamedTable({"name", "code"}, {{"Hand Axe", "hax"}, {"Great Axe", "gax"}}));
        data_.baseLists.Assign(1, testing::NamedTable({"name", "code"}, {{"Cap", "cap"}}));
        data_.baseLists.Assign(2, testing::NamedTable({"name", "code"}, {{"Ring", "rin"}}));
        data_.modKeys = testing::CatalogueOf(
            {{"str", "+%.0f to Strength", "", "5"}, {"dex", "+%.0f to Dexterity", "", "5"}});
    }
    // Edits the cell through its editor: the chooser's item, or typed text.
    void Edit(CGriddor& grid, int row, int column, const QString& text) {
        grid.Select(row, column);
        grid.BeginEdit(row, column);
        if (grid.ColumnAt(column)->chooser)
            grid.Chooser()->setCurrentText(text);
        else
            grid.EditField()->setText(text);
        grid.EndEdit();
    }

    testing::GuideScope guide_;
    ProgramData data_;
};

TEST_F(RawEditDlgTest, APickWritesTheCodeAndTheNameAndApplyTouchesOnlyChangedCells) {
    CTxtTable table = testing::NamedTable(
        {"index", "code", "*type", "lvl", "prop1", "par1", "min1", "max1", "*eol"},
        {{"Edge", "hax", "Hand Axe", "5", "str", "", "1", "1", "\x92\xff"},
         {"Fang", "cap", "Cap", "3", "", "", "", "", "0"}});
    const std::string before = table.Serialize();
    CRawEditDlg dialog(data_, table, "UniqueItems.txt");
    dialog.InitDialog();
    CGriddor& grid = *dialog.Grid();
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(
        grid.ColumnAt(1)->choices,
        (std::vector<std::string>{"Hand Axe |hax", "Great Axe |gax", "Cap |cap", "Ring |rin"}));
    EXPECT_NE(grid.ColumnAt(6)->tip.find("least value of the property in column 5"),
              std::string::npos)
        << grid.ColumnAt(6)->tip;
    // A slot's cell says what its row's property makes of it; an empty slot nothing.
    dialog.resize(1400, 500);
    dialog.show();
    testing::Settle();
    const QPoint inside(3, 3);
    EXPECT_TRUE(grid.TipAt(grid.CellOrigin(0, 6) + inside).startsWith("Min of "))
        << grid.TipAt(grid.CellOrigin(0, 6) + inside).toStdString();
    EXPECT_EQ(grid.TipAt(grid.CellOrigin(1, 6) + inside), QString());
    EXPECT_EQ(grid.TipAt(QPoint(grid.CellOrigin(0, 6).x() + 3, 3)).toStdString(),
              grid.ColumnAt(6)->tip);
    Edit(grid, 0, 1, "Great Axe |gax");
    EXPECT_EQ(grid.CellText(0, 1), "gax");
    EXPECT_EQ(grid.CellText(0, 2), "Great Axe");
    // A name key offers the string table; No leaves it.
    guide_->answers = {kGuideNo};
    Edit(grid, 1, 0, "Fang");
    EXPECT_EQ(guide_->shown.back(), "Confirmation: Care to patch 'Fang' in string table?");
    // New Row copies the selected row, not the last one.
    grid.Select(0, 0);
    dialog.Command(kRawNewRow);
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.CellText(2, 1), "gax");
    EXPECT_EQ(dialog.StatusText(), "Row 1, column 1 (index)");

    dialog.Command(kRawApply);
    EXPECT_EQ(dialog.result(), kDialogOk);
    ASSERT_EQ(table.DataRowCount(), 3);
    EXPECT_EQ(table.Text(0, 1), "gax");
    EXPECT_EQ(table.Text(0, 8), "\x92\xff");
    EXPECT_EQ(table.Text(2, 0), "Edge");
    // Only the picked cells of the first row differ from before.
    CTxtTable expected;
    expected.Parse(before);
    expected.SetCell(0, 1, "gax");
    expected.SetCell(0, 2, "Great Axe");
    expected.AddRow();
    for (std::int32_t c = 0; c < expected.ColumnCount(); ++c)
        expected.SetCell(2, c, std::string(expected.Text(0, c)));
    EXPECT_EQ(table.Serialize(), expected.Serialize());
    EXPECT_TRUE(data_.history.Modified(&table));
}

// A modder's round: find every row using a property, replace it in one step, paste a
// block, calculate, fill, and undo it all before Apply, which then changes nothing.
TEST_F(RawEditDlgTest, FindReplacePasteCalcAndUndoBeforeApply) {
    CTxtTable table = testing::NamedTable({"index", "prop1", "min1", "max1"},
                                          {{"Edge", "res-all", "5", "7"},
                                           {"Fang", "str", "3", "x"},
                                           {"Gale", "RES-ALL", "2", "4"},
                                           {"Hale", "res-all-max", "1", "1"}});
    const std::string before = table.Serialize();
    CRawEditDlg dialog(data_, table, "UniqueItems.txt");
    dialog.InitDialog();
    dialog.show();
    CGriddor& grid = *dialog.Grid();
    auto* find = dialog.ControlAs<QLineEdit>(kRawFind);
    find->setText("res-all");
    EXPECT_EQ(dialog.HitCountText(), "3 found");
    dialog.ControlAs<QCheckBox>(kRawFindWhole)->setChecked(true);
    EXPECT_EQ(dialog.HitCountText(), "2 found");
    grid.Select(1, 0);
    QTest::keyClick(&grid, Qt::Key_F3);
    EXPECT_EQ(dialog.HitCountText(), "2 of 2");
    EXPECT_EQ(grid.SelectedRow(), 2);
    dialog.Command(kRawListAll);
    ASSERT_EQ(dialog.HitList()->count(), 2);
    EXPECT_EQ(dialog.HitList()->item(0)->text(), "1 Edge · prop1: res-all");
    dialog.HitList()->setCurrentRow(0);
    EXPECT_EQ(grid.SelectedRow(), 0);
    // Only the rows with a hit, as a view: rows 1 and 3 of the table.
    dialog.ControlAs<QCheckBox>(kRawFindFilter)->setChecked(true);
    ASSERT_EQ(grid.Model().ViewRowCount(), 2);
    EXPECT_EQ(grid.TableRow(1), 2);
    EXPECT_EQ(grid.Hits(), (std::vector<GridCell>{{0, 1}, {1, 1}}));
    dialog.ControlAs<QCheckBox>(kRawFindFilter)->setChecked(false);
    EXPECT_EQ(grid.Model().ViewRowCount(), 4);

    // Replace counts first and asks; No changes nothing, Yes is one step.
    grid.Select(0, 0);
    dialog.ControlAs<QLineEdit>(kRawReplace)->setText("res-fire");
    guide_->answers = {kGuideNo, kGuideYes};
    dialog.Command(kRawReplaceAll);
    EXPECT_EQ(grid.CellText(0, 1), "res-all");
    dialog.Command(kRawReplaceAll);
    EXPECT_EQ(guide_->shown.back(), "Confirmation: Replace 2 times in 2 cells in the table?");
    EXPECT_EQ(grid.CellText(2, 1), "res-fire");
    EXPECT_TRUE(grid.CellChanged(0, 1));

    // A block from a spreadsheet, repeated over the selection twice its height.
    QGuiApplication::clipboard()->setText("8\t9\r\n");
    grid.SelectRange({1, 2, 2, 3});
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid.CellText(2, 3), "9");
    grid.SelectRange({0, 2, 3, 3});
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "5\t7\n8\t9\n8\t9\n1\t1\n");
    EXPECT_NE(dialog.StatusText().indexOf("4 × 2 cells, sum 48, 1 to 9"), -1)
        << dialog.StatusText().toStdString();
    auto* calc = dialog.ControlAs<QLineEdit>(kRawCalc);
    calc->setText("*1.5");
    calc->setFocus();
    QTest::keyClick(calc, Qt::Key_Return);
    EXPECT_EQ(grid.CellText(0, 2), "8"); // 7.5, half away from zero
    QTest::keyClick(&grid, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(grid.CellText(3, 3), "11");

    for (int step = 0; step < 4; ++step)
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(grid.UndoStack().CanUndo());
    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(grid.CellText(2, 1), "res-fire");
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    dialog.Command(kRawApply);
    EXPECT_EQ(table.Serialize(), before);
}

// Sorting is the view's: numbers by value, edits land in their own table rows, and the
// table keeps its order.
// The hit list takes room from the grid; the hit shown before stays shown whole.
TEST_F(RawEditDlgTest, ListingTheHitsKeepsTheCurrentHitInView) {
    testing::Row header{"index"}, cells{"Edge"};
    for (int c = 1; c < 12; ++c) {
        header.push_back("prop" + std::to_string(c));
        cells.push_back(c == 8 ? "res-all" : "str");
    }
    CTxtTable table = testing::NamedTable(header, {cells, cells});
    CRawEditDlg dialog(data_, table, "UniqueItems.txt");
    dialog.InitDialog();
    dialog.show();
    CGriddor& grid = *dialog.Grid();
    dialog.ControlAs<QLineEdit>(kRawFind)->setText("res-all");
    QTest::keyClick(&grid, Qt::Key_F3);
    ASSERT_EQ(grid.SelectedColumn(), 8);
    const QRect view = grid.viewport()->rect();
    ASSERT_TRUE(view.contains(grid.CellRect(grid.Selection().top, 8)));
    dialog.Command(kRawListAll);
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.CellRect(grid.Selection().top, 8)))
        << "the hit's column left the narrowed grid";
}

TEST_F(RawEditDlgTest, ASortedViewEditsTheRowsItShows) {
    CTxtTable table = testing::NamedTable(
        {"index", "lvl"}, {{"A", "10"}, {"B", "9"}, {"C", "100"}, {"D", "-1"}, {"E", "9"}});
    CRawEditDlg dialog(data_, table, "other.txt");
    dialog.InitDialog();
    dialog.show();
    CGriddor& grid = *dialog.Grid();
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {},
                       QPoint(grid.RowNumbersWidth() + grid.ColumnAt(0)->width + 10, 10));
    ASSERT_EQ(grid.SortColumn(), 1);
    std::string shown;
    for (int v = 0; v < grid.RowCount(); ++v)
        shown += grid.CellText(grid.TableRow(v), 0);
    EXPECT_EQ(shown, "DBEAC");
    // The view's first two rows get a block: D and B in the table.
    QGuiApplication::clipboard()->setText("x\ny\n");
    grid.SelectRange({0, 0, 1, 0});
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dialog.StatusText().left(6), "Row 4,");
    // The row column numbers the table's rows: D, then B.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(5, 24 + 24 + 5));
    EXPECT_EQ(grid.Selection(), (GridRange{1, 0, 1, 1}));
    EXPECT_EQ(grid.SelectedRow(), 1);
    dialog.Command(kRawApply);
    std::string keys;
    for (std::int32_t r = 0; r < table.DataRowCount(); ++r)
        keys += table.Text(r, 0);
    EXPECT_EQ(keys, "AyCxE");
}

// A unique items table with one column renamed fits no layout: Raw Edit still opens it,
// says what is missing, offers no chooser, and renaming the column back repairs it.
TEST_F(RawEditDlgTest, AHeaderThatFitsNoLayoutIsRepairedInRawEdit) {
    CTxtTable table =
        testing::NamedTable({"index", "kode", "*type", "lvl", "prop1", "par1", "min1", "max1"},
                            {{"Edge", "hax", "Hand Axe", "5", "str", "", "1", "1"}});
    const std::string before = table.Serialize();
    ASSERT_NE(RawLayoutProblem(table, "UniqueItems.txt"), "");
    CRawEditDlg dialog(data_, table, "UniqueItems.txt");
    dialog.InitDialog();
    EXPECT_TRUE(dialog.LayoutNote().startsWith("UniqueItems.txt: no column named"))
        << dialog.LayoutNote().toStdString();
    CGriddor& grid = *dialog.Grid();
    for (int c = 0; c < grid.ColumnCount(); ++c)
        EXPECT_FALSE(grid.ColumnAt(c)->chooser) << c;
    // The header's menu, then the name asked for.
    dialog.show();
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        testing::WhenModal([](QWidget* modal) {
            auto* input = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(input, nullptr);
            input->setTextValue("code");
            input->accept();
        });
        menu->actions().front()->trigger();
        menu->close();
    });
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {},
                      QPoint(grid.RowNumbersWidth() + 150, 10));
    EXPECT_EQ(grid.ColumnAt(1)->header, "code");
    dialog.Command(kRawApply);
    EXPECT_EQ(RawLayoutProblem(table, "UniqueItems.txt"), "");
    std::string repaired = before;
    repaired.replace(repaired.find("kode"), 4, "code");
    EXPECT_EQ(table.Serialize(), repaired);
    data_.history.Undo();
    EXPECT_EQ(table.Serialize(), before);
}

// The header menu freezes the columns up to the one clicked, and unfreezes them.
TEST_F(RawEditDlgTest, TheHeaderMenuFreezesUpToAColumn) {
    CTxtTable table = testing::NamedTable({"a", "b", "c", "d", "e"}, {{"1", "2", "3", "4", "5"}});
    CRawEditDlg dialog(data_, table, "Other.txt");
    dialog.InitDialog();
    dialog.resize(900, 400);
    dialog.show();
    testing::Settle();
    CGriddor& grid = *dialog.Grid();
    const auto choose = [&grid](int column, const char* caption) {
        QTimer::singleShot(0, [caption] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions())
                if (action->text() == QLatin1String(caption))
                    action->trigger();
            menu->close();
        });
        QTest::mouseClick(grid.viewport(), Qt::RightButton, {},
                          QPoint(grid.CellOrigin(0, column).x() + 5, 10));
    };
    choose(2, "Freeze up to this column");
    EXPECT_EQ(grid.FrozenColumns(), 3);
    EXPECT_EQ(grid.Model().FrozenColumns(), 3);
    choose(1, "Unfreeze");
    EXPECT_EQ(grid.FrozenColumns(), 0);
}

// Column widths come back the next time a table of that name is opened, and not for a
// header of another width.
TEST_F(RawEditDlgTest, ColumnWidthsAreRememberedPerTableName) {
    QStandardPaths::setTestModeEnabled(true);
    CWindowSizing::SetRemembered(true);
    CTxtTable table = testing::NamedTable({"key", "value"}, {{"a", "1"}});
    CTxtTable wider = testing::NamedTable({"key", "value", "more"}, {{"a", "1", "2"}});
    const auto widthOpened = [this](CTxtTable& t, const char* name, int setWidth) {
        CRawEditDlg dialog(data_, t, name);
        dialog.InitDialog();
        const int width = dialog.Grid()->ColumnAt(1)->width;
        dialog.Grid()->SetColumnWidth(1, setWidth);
        dialog.Command(kRawCancel);
        return width;
    };
    widthOpened(table, "widths.txt", 173);
    EXPECT_EQ(widthOpened(table, "widths.txt", 100), 173);
    EXPECT_EQ(widthOpened(wider, "widths.txt", 100), 100);
    EXPECT_EQ(widthOpened(table, "other widths.txt", 100), 100);
    // Hidden columns too.
    {
        CRawEditDlg dialog(data_, table, "widths.txt");
        dialog.InitDialog();
        dialog.Grid()->SetColumnHidden(1, true);
        dialog.Command(kRawCancel);
    }
    CRawEditDlg dialog(data_, table, "widths.txt");
    dialog.InitDialog();
    EXPECT_TRUE(dialog.Grid()->ColumnAt(1)->hidden);
    dialog.Command(kRawCancel);
    QSettings().remove(QStringLiteral("raw"));
    CWindowSizing::SetRemembered(false);
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(RawEditDlgTest, CancelAsksAboutChangesAndLeavesTheTable) {
    CTxtTable table = testing::NamedTable({"key", "value"}, {{"a", "1"}});
    const std::string before = table.Serialize();
    CRawEditDlg dialog(data_, table, "other.txt");
    dialog.InitDialog();
    dialog.Command(kRawNewRow);
    guide_->answers = {kGuideNo};
    dialog.Command(kRawCancel);
    EXPECT_EQ(guide_->shown,
              std::vector<std::string>{"Confirmation: Discard the changes made in the grid?"});
    EXPECT_NE(dialog.result(), kDialogCancel);
    guide_->answers = {kGuideYes};
    dialog.Command(kRawCancel);
    EXPECT_EQ(dialog.result(), kDialogCancel);
    EXPECT_EQ(table.Serialize(), before);
}

TEST_F(RawEditDlgTest, RealSetItemsGetTheirChoosersAndApplyChangesNothingUntouched) {
    std::string skip;
    const std::string real = testing::RealTablesDir(skip);
    if (real.empty())
        GTEST_SKIP() << skip;
    for (const char* name : {"SetItems.txt", "UniqueItems.txt"}) {
        CTxtTable table;
        ASSERT_TRUE(table.Load(real + "/114d/" + name));
        const std::string before = table.Serialize();
        CRawEditDlg dialog(data_, table, name);
        dialog.InitDialog();
        CGriddor& grid = *dialog.Grid();
        EXPECT_EQ(grid.RowCount(), table.DataRowCount());
        int choosers = 0;
        for (int c = 0; c < grid.ColumnCount(); ++c)
            choosers += grid.ColumnAt(c)->chooser ? 1 : 0;
        EXPECT_GE(choosers, 12) << name;
        // Every cell through its editor and back unchanged: the table stays byte for byte.
        for (int c = 0; c < grid.ColumnCount(); c += 7) {
            grid.Select(0, c);
            grid.BeginEdit(0, c);
            grid.EndEdit();
        }
        dialog.Command(kRawApply);
        EXPECT_EQ(table.Serialize(), before) << name;
    }
}

} // namespace
} // namespace tolmere
