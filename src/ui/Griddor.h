// SPDX-License-Identifier: MIT
// The raw grid: a spreadsheet of text cells under a header row, drawn by its own paint
// routine, with keyboard and mouse navigation and in-cell editing through an edit
// field or a drop-down chooser. It knows nothing of tables: its owner adds columns and
// rows, fills and reads cells, and hears of every committed edit through one hook.
// Cells are bytes; the screen shows them decoded and an untouched cell keeps its bytes.
#pragma once

#include "grid/GridModel.h"
#include "grid/GridUndo.h"
#include "grid/ViewSheet.h"

#include <QAbstractScrollArea>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class QComboBox;
class QLineEdit;

namespace tolmere {

enum GriddorControl : int { kGridEditField = 2010, kGridChooser = 2011 };

class CGriddor : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 24;
    using CellEditHook = std::function<void(CGriddor& grid, int row, int column)>;
    // A cell's tooltip as bytes (empty for none); the row is the table's.
    using CellTipHook = std::function<std::string(int row, int column)>;

    explicit CGriddor(QWidget* owner);
    ~CGriddor() override;

    // Set-up, in this order: columns, FinishColumns, rows, the hook.
    void AddColumn(const GridColumn& column);
    bool FinishColumns();
    void AddRow();
    void SetEditHook(CellEditHook hook);
    void SetCellTipHook(CellTipHook hook);

    int RowCount() const;
    int ColumnCount() const;
    // The cell's bytes; empty outside the grid.
    std::string CellText(int row, int column) const;
    // Replaces the cell's bytes; nothing outside the grid. Until SetEditHook this fills
    // the grid; afterwards every write counts as a change.
    void SetCellText(int row, int column, std::string text);
    const GridColumn* ColumnAt(int column) const;
    void SetColumnHeader(int column, std::string header);
    void SetColumnWidth(int column, int width);
    // A hidden column takes no room and keys step over it; the first stays shown.
    void SetColumnHidden(int column, bool hidden);
    // Whether the first column stays at the left while the others scroll (it does at first).
    void SetFirstColumnFrozen(bool frozen);
    // The first `count` columns stay at the left (as many as leave the view half free).
    void SetFrozenColumns(int count);
    int FrozenColumns() const; // as asked for
    // A "row" column at the left with each row's number in the table.
    void ShowRowNumbers(bool on);
    int RowNumbersWidth() const;
    bool FirstColumnFrozen() const;
    // Whether the cell was set since it was filled (by the user or the hook).
    bool CellChanged(int row, int column) const;
    // Writes what an operation would change, rows it asks for first, as one step of the
    // grid's own undo; false when it changes nothing.
    bool ApplyEdit(const GridEditResult& result, const std::string& name);
    // ApplyEdit for changes found on ViewCells: their rows are view rows.
    bool ApplyViewEdit(const GridEditResult& result, const std::string& name);
    bool Undo();
    bool Redo();
    // The cells in the order the view shows them, for operations on the selection.
    const CViewSheet& ViewCells() const;
    // Sorts the view by the column, ascending (1) or descending (-1), or gives back the
    // table's order (0). The table itself keeps its order; the selected cell stays.
    void SortView(int column, int direction);
    // Shows only these table rows (in the view's order), or every row again.
    void FilterView(bool on, const std::vector<int>& tableRows = {});
    bool Filtered() const;
    int SortColumn() const;
    int SortDirection() const;
    // A view row's table row and back.
    int TableRow(int viewRow) const;
    int ViewRow(int tableRow) const;
    const CGridUndo& UndoStack() const;
    const CGridModel& Model() const;

    // The selected cell's table row; Select takes a table row.
    int SelectedRow() const;
    int SelectedColumn() const;
    void Select(int row, int column);
    // Scrolls until the selected cell shows whole, as after the grid was narrowed.
    void ShowSelected();
    // The selected range in view rows: a cell, a block, whole rows or columns.
    GridRange Selection() const;
    // Selects the range, its top-left cell current and shown.
    void SelectRange(const GridRange& range);
    // The selection as a spreadsheet copies it: tab-separated, cells as shown.
    QString SelectionText() const;
    // The cells a find found, highlighted; the current one is shown selected.
    void SetHits(std::vector<GridCell> hits);
    const std::vector<GridCell>& Hits() const;
    // The hit at `index`, or the next or previous one from the selection, wrapping;
    // -1 when there are none.
    int GoToHit(int index);
    int NextHit(bool backwards);
    int TopRow() const;
    int FirstVisibleColumn() const;
    int VisibleRows() const;

    // The cell under a point of the viewport, or nothing (the header row, past the
    // last row or column).
    std::optional<std::pair<int, int>> HitTest(const QPoint& point) const;
    // What hovering the point shows: a header's column tip, a cell's the tip hook's.
    QString TipAt(const QPoint& point) const;
    // The cell's top-left corner in the viewport.
    QPoint CellOrigin(int row, int column) const;

    void BeginEdit(int row, int column);
    // Commits the open editor's text into the selected cell and calls the hook.
    void EndEdit();
    // Commits, then edits the next cell (wrapping to the next row).
    void EditNext();
    bool Editing() const;
    QLineEdit* EditField() const;
    QComboBox* Chooser() const;

    // Finds `text` (without regard to case) in any cell after the selected one, in
    // row order, or before it when `backwards`, wrapping around; selects and shows the
    // cell found. False when no cell holds it.
    bool Find(const QString& text, bool backwards = false);

    // Where a cell is drawn, in the grid's coordinates, and in which font.
    QRect CellRect(int row, int column) const;
    const QFont& CellFont() const;

Q_SIGNALS:
    // The selection moved; for a status line ("Row 12, column 4 (prop1)").
    void selectionChanged(int row, int column);
    // Ctrl+F was pressed in the grid: the owner asks for the text and calls Find.
    void findRequested();
    // Ctrl+H, Ctrl+G, Ctrl+V and Ctrl+D: the owner asks and shows what it must.
    void replaceRequested();
    void goToRequested();
    void pasteRequested();
    void fillDownRequested();
    // The right button on a column's header, at this point of the screen.
    void headerMenuRequested(int column, const QPoint& global);
    // The view was sorted or given back its table order.
    void viewSorted();
    // F3 or Shift+F3 moved to a hit (its index).
    void hitChanged(int index);
    // Cells changed through an edit, a paste, an undo …
    void edited();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct Impl;
    // Where the view stood before a move, to repaint and report only what changed.
    struct View {
        GridCell selected;
        int topRow = 0;
        int firstColumn = 0;
        GridRange range;
    };
    View CurrentView() const;
    void AfterMove(const View& before);
    void SelectCell(GridCell cell);
    void ExtendCell(GridCell cell);
    void AfterEdit(const std::vector<GridCell>& cells);
    // Keeps a sorted view's order in step with rows added or taken back.
    void SyncOrder();
    void RebuildOrder(GridCell at);
    void RebuildPlaces();
    void SyncScrollBars();
    void OnScrollAction(Qt::Orientation orientation, int action);
    void UpdateCell(GridCell cell);
    void CancelEdit();
    void HideEditor(QWidget* editor);
    int HeaderEdgeAt(const QPoint& point) const;

    std::unique_ptr<Impl> impl_;
};

} // namespace tolmere
