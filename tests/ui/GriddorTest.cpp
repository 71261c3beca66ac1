// SPDX-License-Identifier: MIT
#include "ui/Griddor.h"

#include "UiTestHelpers.h"
#include "ui/DialogTemplate.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialog>
#include <QScrollBar>
#include <QSignalSpy>

namespace tolmere {
namespace {

using testing::Settle;

class GriddorTest : public ::testing::Test {
protected:
    GriddorTest() : grid(new CGriddor(&dialog)), other(new QLineEdit(&dialog)) {
        dialog.resize(640, 330);
        grid->setGeometry(0, 0, 600, 300);
        other->setGeometry(0, 305, 100, 20);
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    // Twelve columns, column 2 a chooser and column 3 read-only; cell (0, 1) holds a
    // Windows-1252 quote and byte 0xFF.
    void Build() {
        for (int c = 0; c < 12; ++c) {
            GridColumn column;
            column.header = "h" + std::to_string(c);
            column.width = c == 0 ? 80 : 100;
            column.chooser = c == 2;
            column.choices = {"Beta", "alpha", "Alps", "gamma"};
            column.editable = c != 3;
            grid->AddColumn(column);
        }
        grid->FinishColumns();
        for (int r = 0; r < 20; ++r) {
            grid->AddRow();
            for (int c = 0; c < 12; ++c)
                grid->SetCellText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
        }
        grid->SetCellText(0, 1, kQuoted);
        grid->SetEditHook([this](CGriddor&, int r, int c) { hooks.emplace_back(r, c); });
        grid->setFocus();
        Settle();
    }
    QImage Shot() const { return grid->viewport()->grab().toImage(); }

    const std::string kQuoted = "\x92q\xFF";
    QDialog dialog;
    CGriddor* grid;
    QLineEdit* other;
    std::vector<std::pair<int, int>> hooks;
};

TEST_F(GriddorTest, EditorsCommitCancelAndMoveOn) {
    Build();
    // An untouched edit keeps the bytes: a Windows-1252 quote and byte 0xFF.
    grid->BeginEdit(0, 1);
    EXPECT_EQ(grid->EditField()->text(), QString::fromUtf16(u"\u2019q\u00FF"));
    grid->EndEdit();
    EXPECT_EQ(grid->CellText(0, 1), kQuoted);
    EXPECT_FALSE(grid->CellChanged(0, 1));
    EXPECT_EQ(hooks, (std::vector<std::pair<int, int>>{{0, 1}}))
        << "the hook hears of every commit";
    hooks.clear();
    grid->Select(0, 0);

    QSignalSpy moved(grid, &CGriddor::selectionChanged);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(moved.count(), 2);
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(grid->Editing());
    EXPECT_EQ(grid->EditField()->selectedText(), "r1c1");
    EXPECT_EQ(grid->EditField()->pos(), grid->CellOrigin(1, 1) + QPoint(1, 3));
    QTest::keyClicks(grid->EditField(), "new");
    QTest::keyClick(grid->EditField(), Qt::Key_Return); // on to the chooser in column 2
    EXPECT_EQ(grid->CellText(1, 1), "new");
    EXPECT_TRUE(grid->CellChanged(1, 1));
    EXPECT_TRUE(grid->Chooser()->isVisible());
    QTest::keyClick(grid->Chooser(), Qt::Key_Escape);
    EXPECT_FALSE(grid->Editing());
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->CellText(1, 2), "r1c2");
    EXPECT_EQ(hooks, (std::vector<std::pair<int, int>>{{1, 1}}));

    grid->BeginEdit(4, 5);
    QTest::keyClicks(grid->EditField(), "x");
    other->setFocus();
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->CellText(4, 5), "x");
    EXPECT_TRUE(other->hasFocus()) << "a commit by leaving keeps the focus where it went";
    EXPECT_EQ(hooks.back(), std::make_pair(4, 5));

    grid->BeginEdit(0, 3);
    EXPECT_FALSE(grid->Editing()) << "column 3 is read-only";
    grid->BeginEdit(19, 11);
    grid->EditNext();
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(std::make_pair(grid->SelectedRow(), grid->SelectedColumn()), std::make_pair(19, 11));
    EXPECT_EQ(hooks.back(), std::make_pair(19, 11));
    grid->BeginEdit(1, 1); // and the grid goes with its editor open
}

TEST_F(GriddorTest, ChooserFindsTheItemTheCellBegins) {
    Build();
    const struct {
        const char* cell;
        int index;
        const char* text;
    } cases[] = {{"al", 1, "Alps"}, {"GA", 3, "gamma"}, {"alpha", 0, "alpha"}, {"zzz", -1, "zzz"}};
    QComboBox* chooser = grid->Chooser();
    for (const auto& c : cases) {
        grid->SetCellText(2, 2, c.cell);
        grid->BeginEdit(2, 2);
        ASSERT_TRUE(chooser->hasFocus());
        EXPECT_EQ(chooser->currentIndex(), c.index) << c.cell;
        EXPECT_EQ(chooser->lineEdit()->selectedText(), c.text) << c.cell;
        QTest::keyClick(chooser, Qt::Key_Escape);
    }
    EXPECT_EQ(chooser->itemText(1), "Alps") << "sorted without regard to case";
    // Typing finds an entry by any part of it, in a list as wide as the widest entry.
    grid->BeginEdit(2, 2);
    chooser->completer()->setCompletionPrefix("LP");
    EXPECT_EQ(chooser->completer()->completionCount(), 2);
    EXPECT_GT(chooser->view()->minimumWidth(), chooser->fontMetrics().horizontalAdvance("gamma"));
}

TEST_F(GriddorTest, FrozenColumnsStayAtTheLeftWhenScrolledRight) {
    Build();
    for (const int frozen : {1, 2}) {
        const int left = frozen == 1 ? 80 : 180; // the frozen part's width
        grid->SetFrozenColumns(frozen);
        grid->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        grid->Select(5, 4);
        Settle();
        const QImage before = Shot();
        grid->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        Settle();
        EXPECT_GT(grid->FirstVisibleColumn(), 4) << frozen;
        const QImage after = Shot();
        EXPECT_TRUE(testing::SamePixels(before.copy(0, 0, left, 200), after.copy(0, 0, left, 200)))
            << frozen;
        EXPECT_FALSE(
            testing::SamePixels(before.copy(left, 0, 100, 200), after.copy(left, 0, 100, 200)))
            << frozen;
    }
}

TEST_F(GriddorTest, FindKeysAndTheFindSignal) {
    Build();
    QSignalSpy asked(grid, &CGriddor::findRequested);
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(asked.count(), 1);
    grid->Select(5, 7);
    EXPECT_TRUE(grid->Find("C11"));
    EXPECT_EQ(std::make_pair(grid->SelectedRow(), grid->SelectedColumn()), std::make_pair(5, 11));
    QTest::keyClick(grid, Qt::Key_F3);
    EXPECT_EQ(grid->SelectedRow(), 6);
    QTest::keyClick(grid, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(grid->SelectedRow(), 4);
    // A hit on the row the viewport's edge cuts scrolls until it shows whole.
    grid->Select(0, 0);
    const int cut = grid->VisibleRows() - 1;
    ASSERT_GT(grid->CellRect(cut, 1).bottom(), grid->viewport()->height() - 1);
    grid->SetHits({{cut, 1}, {cut + 3, 1}});
    QTest::keyClick(grid, Qt::Key_F3);
    EXPECT_EQ(grid->SelectedRow(), cut);
    EXPECT_LT(grid->CellRect(cut, 1).bottom(), grid->viewport()->height());
    EXPECT_EQ(grid->TopRow(), 1);
    // The clipboard gets cells as the screen shows them.
    grid->SelectRange({0, 0, 0, 1});
    EXPECT_EQ(grid->SelectionText(), QString::fromUtf8("r0c0\t\u2019q\u00FF\n"));
}

TEST_F(GriddorTest, MouseSelectsEditsAndDragsColumnWidths) {
    Build();
    QWidget* view = grid->viewport();
    const auto move = [view](int x, int y) {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), view->mapToGlobal(QPointF(x, y)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    };
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(130, 24 + 3 * 24 + 5));
    EXPECT_EQ(std::make_pair(grid->SelectedRow(), grid->SelectedColumn()), std::make_pair(3, 1));
    // Shift+click and a drag select a block; a header its whole column.
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(230, 24 + 5 * 24 + 5));
    EXPECT_EQ(grid->Selection(), (GridRange{3, 1, 5, 2}));
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(230, 24 + 5));
    QMouseEvent drag(QEvent::MouseMove, QPointF(30, 24 + 24 + 5),
                     view->mapToGlobal(QPointF(30, 24 + 24 + 5)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &drag);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(30, 24 + 24 + 5));
    EXPECT_EQ(grid->Selection(), (GridRange{0, 0, 1, 2}));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(130, 10));
    EXPECT_EQ(grid->Selection(), (GridRange{0, 1, 19, 1}));
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(30, 24 + 2 * 24 + 5));
    EXPECT_TRUE(grid->Editing());
    EXPECT_EQ(grid->SelectedRow(), 2);
    QTest::keyClick(grid->EditField(), Qt::Key_Escape);

    move(81, 10);
    EXPECT_EQ(view->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(81, 10));
    move(131, 10);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(131, 10));
    EXPECT_EQ(grid->ColumnAt(0)->width, 130);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(130, 10));
    move(-40, 10);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(-40, 10));
    EXPECT_EQ(grid->ColumnAt(0)->width, 20);
}

} // namespace
} // namespace tolmere
