// SPDX-License-Identifier: MIT
// What the raw grid shows, without any drawing: its columns, its cells (kept compact,
// since the largest mod tables have hundreds of thousands), the selection and the
// scroll position, and the rules by which keys and scroll requests move them.
#pragma once

#include "grid/CellSheet.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tolmere {

enum class GridAlign : int { kLeft = 1, kRight = 2, kCentre = 3 };

struct GridColumn {
    bool editable = true;
    int width = 100; // pixels
    std::string header;
    GridAlign headerAlign = GridAlign::kCentre;
    GridAlign cellAlign = GridAlign::kLeft;
    bool chooser = false;             // edited with the chooser rather than the edit field
    std::vector<std::string> choices; // the chooser's items, in list order
    std::string tip;                  // what the column holds, shown over its header
    bool hidden = false;              // takes no room; keys step over it
    int tag = 0;                      // the owner's; the grid never reads it
};

struct GridCell {
    int row = 0;
    int column = 0;
    bool operator==(const GridCell& other) const {
        return row == other.row && column == other.column;
    }
    bool operator!=(const GridCell& other) const { return !(*this == other); }
};

enum class GridKey { kUp, kDown, kPageUp, kPageDown, kLeft, kRight, kHome, kEnd };

// What a scroll bar asks for. kTrack carries the position the thumb was dragged to.
enum class GridScroll { kLineBack, kLineForward, kPageBack, kPageForward, kTrack, kStart, kEnd };

// The last column the viewport shows, and whether the viewport's edge cuts it.
struct GridLastColumn {
    int column = -1;
    bool cutOff = false;
};

// Cells live in one byte pool, each row in one run of it: a row keeps where its run
// starts and every cell where it ends within the run (16 bits, so two bytes a cell).
// A table is read row by row, cell by cell, so filling only ever appends; a row
// filled out of turn moves to the pool's end, and the pool is compacted once half of
// it is left behind. Changed cells, and the rare cell that would push its row's run past what 15
// bits can address, are kept aside in a map instead; the pool keeps the filled bytes.
class CGridModel : public CCellSheet {
public:
    static constexpr int kRowHeight = 24;
    static constexpr int kHeaderHeight = kRowHeight;
    // Horizontal scrolling leaves at least this many columns in view at its right end,
    // and pages by as many to the left.
    static constexpr int kColumnPage = 5;
    static constexpr int kMinColumnWidth = 20;

    // Columns may be added until rows exist; FinishColumns then lets rows be added.
    bool AddColumn(GridColumn column);
    // False with no columns, or once rows exist.
    bool FinishColumns();
    bool ColumnsFinished() const { return finished_; }
    // A row of empty cells; nothing before FinishColumns.
    void AddRow();
    // Takes back the last AddRow, cells and marks with it; the selection stays inside.
    void RemoveLastRow();

    int RowCount() const { return rows_; }
    // The rows the view shows, fewer than RowCount while a filter hides some: keys,
    // scrolling, hit tests and the selection keep within them. -1 shows every row.
    void SetViewRowCount(int rows);
    int ViewRowCount() const { return viewRows_ >= 0 ? std::min(viewRows_, rows_) : rows_; }
    bool InView(int row, int column) const {
        return row >= 0 && row < ViewRowCount() && column >= 0 && column < ColumnCount();
    }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn* Column(int column) const;
    // The new width, at least kMinColumnWidth; false for no such column.
    bool SetColumnWidth(int column, int width);
    bool SetColumnHeader(int column, std::string header);
    // Hides or shows a column; the first column stays shown.
    bool SetColumnHidden(int column, bool hidden);
    // The room a column takes: its width, or none while hidden.
    int ShownWidth(int column) const;
    bool Contains(int row, int column) const;

    // The cell's bytes; empty outside the grid. Valid until the next Fill or SetText.
    std::string_view Text(int row, int column) const;
    // The loaded text: not a change, and clears the cell's change mark.
    bool Fill(int row, int column, std::string_view text);
    // A change, by the user or the owner: Changed reports it from now on.
    bool SetText(int row, int column, std::string_view text);
    bool Changed(int row, int column) const;
    // Puts back a text as it was before a change: marked as changed or as loaded.
    bool Restore(int row, int column, std::string_view text, bool changed);
    int SheetRows() const override { return rows_; }
    int SheetColumns() const override { return ColumnCount(); }
    std::string_view SheetText(int row, int column) const override { return Text(row, column); }
    // What the cells take in memory, bytes reserved included.
    std::size_t MemoryBytes() const;

    // The first `count` columns stay at the left while the others scroll: the first
    // visible column then counts among the rest. None unless asked for.
    void SetFrozenColumns(int count);
    void SetFrozenFirstColumn(bool frozen) { SetFrozenColumns(frozen ? 1 : 0); }
    int FrozenColumnsAsked() const { return frozen_; }
    bool FrozenFirstColumn() const { return frozen_ > 0; }
    // The columns frozen now: as many of those asked for as leave one column to scroll
    // and, once the view's width is known, take at most half of it with the gutter, so
    // that the scrolled columns always have room to show.
    int FrozenColumns() const;
    // The viewport's width, for FrozenColumns; 0 (the start) sets no limit.
    void SetViewWidth(int width);
    int FrozenWidth() const;
    // A gutter left of the columns for the rows' numbers; none unless asked for.
    void SetRowGutter(int width);
    int RowGutter() const { return gutter_; }
    // What lies left of the scrolled columns: the gutter and the frozen column.
    int LeftWidth() const { return gutter_ + FrozenWidth(); }
    // The row whose gutter is under the point, or nothing.
    std::optional<int> GutterHit(int x, int y) const;

    // The current cell, one corner of the selected range; the anchor is the other.
    GridCell Selected() const { return selected_; }
    GridCell Anchor() const { return anchor_; }
    GridRange Selection() const;
    // False, and nothing moves, for a cell outside the grid. The range shrinks to it.
    bool Select(int row, int column);
    // Moves the current cell, keeping the anchor: the range grows or shrinks.
    bool ExtendTo(int row, int column);
    // The range, its top-left cell current; clamped to the grid.
    void SelectRange(GridRange range);
    int TopRow() const { return topRow_; }
    void SetTopRow(int row); // clamped
    int FirstVisibleColumn() const { return firstColumn_; }
    void SetFirstVisibleColumn(int column); // clamped to the scrollable columns
    int VisibleRows() const { return visibleRows_; }
    // At least one, so that paging always moves.
    void SetVisibleRows(int rows);
    // The rows a viewport this tall shows: the whole ones under the header, and one
    // more when more than 4 pixels of it show.
    static int VisibleRowsForHeight(int height);
    int MaxTopRow() const;
    // The right end of horizontal scrolling.
    int MaxFirstColumn() const;

    GridLastColumn LastVisibleColumn(int clientWidth) const;
    // Nothing over the header (y up to 24, its bottom line included), below the last
    // row, or right of the grid's last column when all of it shows; anywhere right of
    // a cut-off last visible column is that column.
    std::optional<GridCell> HitTest(int x, int y, int clientWidth) const;
    // The cell's top-left corner in the viewport; left of 0 for a column scrolled out.
    std::pair<int, int> CellOrigin(int row, int column) const;

    // True when the selection or the scroll position moved. A move past an edge stops
    // there and scrolls the selection into view.
    // With `extend` (Shift held) the anchor stays and the range follows the move.
    bool Key(GridKey key, int clientWidth, bool extend = false);
    // The new top row, already applied.
    int VerticalScroll(GridScroll action, int position = 0);
    // The new first visible column, already applied.
    int HorizontalScroll(GridScroll action, int clientWidth, int position = 0);
    void EnsureRowVisible(int row);
    void EnsureColumnVisible(int column, int clientWidth);

    // The cell an edit moves on to after `from`: the next column, wrapping to the next
    // row's first; nothing after the last cell.
    std::optional<GridCell> NextEditCell(GridCell from) const;
    // The first cell after `from` (before it when `backwards`) in row order, wrapping
    // round to `from` itself last, that holds any of `needles` without regard to
    // case (ASCII and Latin-1 letters).
    std::optional<GridCell> Find(const std::vector<std::string>& needles, GridCell from,
                                 bool backwards) const;
    std::optional<GridCell> Find(std::string_view needle, GridCell from, bool backwards) const;

private:
    struct AsideText {
        std::string text;
        bool changed = false;
    };
    static constexpr std::uint16_t kAside = 0x8000;
    static constexpr std::uint16_t kEndMask = 0x7FFF;

    std::size_t CellIndex(int row, int column) const {
        return static_cast<std::size_t>(row) * columns_.size() + static_cast<std::size_t>(column);
    }
    std::uint32_t CellStart(int row, int column) const;
    std::uint32_t RowLength(int row) const;
    void MoveRowToPoolEnd(int row);
    void Compact();
    void ClampTopRow();
    // The selection's column stepped off hidden ones, `step` (±1) first, then back.
    void StepOffHidden(int step);
    void ClampFirstColumn();

    std::vector<GridColumn> columns_;
    bool finished_ = false;
    int frozen_ = 0;
    int viewWidth_ = 0;
    int gutter_ = 0;
    int viewRows_ = -1;
    int rows_ = 0;
    std::string pool_;
    std::vector<std::uint32_t> rowStarts_;
    std::vector<std::uint16_t> cellEnds_; // rows × columns; kAside marks a cell kept aside
    std::unordered_map<std::uint64_t, AsideText> aside_;
    std::size_t poolWaste_ = 0; // bytes of runs left behind when a row moved

    GridCell selected_;
    GridCell anchor_;
    int topRow_ = 0;
    int firstColumn_ = 0;
    int visibleRows_ = 1;
};

} // namespace tolmere
