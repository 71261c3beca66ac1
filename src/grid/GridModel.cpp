// SPDX-License-Identifier: MIT
#include "grid/GridModel.h"

#include "grid/CaseFold.h"

#include <algorithm>

namespace tolmere {

bool CGridModel::AddColumn(GridColumn column) {
    if (rows_ > 0)
        return false;
    column.width = std::max(column.width, kMinColumnWidth);
    columns_.push_back(std::move(column));
    ClampFirstColumn();
    return true;
}

bool CGridModel::FinishColumns() {
    if (columns_.empty() || rows_ > 0)
        return false;
    finished_ = true;
    return true;
}

void CGridModel::AddRow() {
    if (!finished_)
        return;
    // An empty row needs no bytes: its run starts wherever the pool ends and moves
    // there again when it is first filled.
    rowStarts_.push_back(static_cast<std::uint32_t>(pool_.size()));
    cellEnds_.resize(cellEnds_.size() + columns_.size(), 0);
    ++rows_;
    ClampTopRow();
}

void CGridModel::RemoveLastRow() {
    if (rows_ == 0)
        return;
    poolWaste_ += RowLength(rows_ - 1);
    --rows_;
    for (int c = 0; c < ColumnCount(); ++c)
        aside_.erase(CellIndex(rows_, c));
    rowStarts_.pop_back();
    cellEnds_.resize(cellEnds_.size() - columns_.size());
    const int last = std::max(0, rows_ - 1);
    selected_.row = std::min(selected_.row, last);
    anchor_.row = std::min(anchor_.row, last);
    ClampTopRow();
}

const GridColumn* CGridModel::Column(int column) const {
    if (column < 0 || column >= ColumnCount())
        return nullptr;
    return &columns_[static_cast<std::size_t>(column)];
}

bool CGridModel::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount())
        return false;
    columns_[static_cast<std::size_t>(column)].width = std::max(width, kMinColumnWidth);
    return true;
}

bool CGridModel::SetColumnHeader(int column, std::string header) {
    if (column < 0 || column >= ColumnCount())
        return false;
    columns_[static_cast<std::size_t>(column)].header = std::move(header);
    return true;
}

bool CGridModel::SetColumnHidden(int column, bool hidden) {
    if (column <= 0 || column >= ColumnCount())
        return false;
    columns_[static_cast<std::size_t>(column)].hidden = hidden;
    if (hidden && selected_.column == column)
        StepOffHidden(1);
    return true;
}

int CGridModel::ShownWidth(int column) const {
    const GridColumn& col = columns_[static_cast<std::size_t>(column)];
    return col.hidden ? 0 : col.width;
}

void CGridModel::StepOffHidden(int step) {
    for (const int direction : {step, -step}) {
        int c = selected_.column;
        while (c >= 0 && c < ColumnCount() && columns_[static_cast<std::size_t>(c)].hidden)
            c += direction;
        if (c >= 0 && c < ColumnCount()) {
            selected_.column = c;
            return;
        }
    }
}

bool CGridModel::Contains(int row, int column) const {
    return row >= 0 && row < rows_ && column >= 0 && column < ColumnCount();
}

std::uint32_t CGridModel::CellStart(int row, int column) const {
    return column == 0 ? 0 : (cellEnds_[CellIndex(row, column) - 1] & kEndMask);
}

std::uint32_t CGridModel::RowLength(int row) const {
    return cellEnds_[CellIndex(row, ColumnCount() - 1)] & kEndMask;
}

std::string_view CGridModel::Text(int row, int column) const {
    if (!Contains(row, column))
        return {};
    const std::size_t index = CellIndex(row, column);
    if (cellEnds_[index] & kAside)
        return aside_.at(index).text;
    const std::uint32_t start = CellStart(row, column);
    const std::uint32_t end = cellEnds_[index] & kEndMask;
    return std::string_view(pool_).substr(rowStarts_[static_cast<std::size_t>(row)] + start,
                                          end - start);
}

void CGridModel::MoveRowToPoolEnd(int row) {
    std::uint32_t& start = rowStarts_[static_cast<std::size_t>(row)];
    const std::uint32_t length = RowLength(row);
    const std::size_t from = start;
    start = static_cast<std::uint32_t>(pool_.size());
    pool_.append(pool_, from, length);
    poolWaste_ += length;
}

void CGridModel::Compact() {
    std::string pool;
    pool.reserve(pool_.size() - poolWaste_);
    for (int row = 0; row < rows_; ++row) {
        std::uint32_t& start = rowStarts_[static_cast<std::size_t>(row)];
        const std::uint32_t length = RowLength(row);
        const std::size_t from = start;
        start = static_cast<std::uint32_t>(pool.size());
        pool.append(pool_, from, length);
    }
    pool_.swap(pool);
    poolWaste_ = 0;
}

bool CGridModel::Fill(int row, int column, std::string_view text) {
    if (!Contains(row, column))
        return false;
    const std::size_t index = CellIndex(row, column);
    if (cellEnds_[index] & kAside) {
        aside_.erase(index);
        cellEnds_[index] &= kEndMask;
    }
    const std::uint32_t start = CellStart(row, column);
    const std::uint32_t oldLength = cellEnds_[index] - start;
    const std::uint32_t rowLength = RowLength(row);
    if (rowLength - oldLength + text.size() > kEndMask) {
        // Too long for the row's run: the text lives aside, still as filled text.
        aside_[index] = AsideText{std::string(text), false};
        cellEnds_[index] |= kAside;
        return true;
    }
    if (text.size() != oldLength) {
        if (rowStarts_[static_cast<std::size_t>(row)] + rowLength != pool_.size())
            MoveRowToPoolEnd(row);
        const auto delta = static_cast<int>(text.size()) - static_cast<int>(oldLength);
        for (int c = column; c < ColumnCount(); ++c) {
            std::uint16_t& end = cellEnds_[CellIndex(row, c)];
            end = static_cast<std::uint16_t>((end & kAside) | ((end & kEndMask) + delta));
        }
    }
    pool_.replace(rowStarts_[static_cast<std::size_t>(row)] + start, oldLength, text);
    if (poolWaste_ > 65536 && poolWaste_ > pool_.size() / 2)
        Compact();
    return true;
}

bool CGridModel::SetText(int row, int column, std::string_view text) {
    if (!Contains(row, column))
        return false;
    const std::size_t index = CellIndex(row, column);
    aside_[index] = AsideText{std::string(text), true};
    cellEnds_[index] |= kAside;
    return true;
}

bool CGridModel::Changed(int row, int column) const {
    if (!Contains(row, column))
        return false;
    const std::size_t index = CellIndex(row, column);
    return (cellEnds_[index] & kAside) && aside_.at(index).changed;
}

bool CGridModel::Restore(int row, int column, std::string_view text, bool changed) {
    return changed ? SetText(row, column, text) : Fill(row, column, text);
}

std::size_t CGridModel::MemoryBytes() const {
    std::size_t bytes = pool_.capacity() + rowStarts_.capacity() * sizeof(std::uint32_t) +
                        cellEnds_.capacity() * sizeof(std::uint16_t);
    // A node of the map: the entry, the link to the next node and the cached hash.
    constexpr std::size_t kNode = sizeof(std::pair<const std::uint64_t, AsideText>) + 16;
    bytes += aside_.bucket_count() * sizeof(void*) + aside_.size() * kNode;
    for (const auto& entry : aside_) {
        if (entry.second.text.capacity() > std::string().capacity())
            bytes += entry.second.text.capacity() + 1;
    }
    return bytes;
}

void CGridModel::SetFrozenColumns(int count) {
    frozen_ = std::max(0, count);
    ClampFirstColumn();
}

void CGridModel::SetViewWidth(int width) {
    viewWidth_ = std::max(0, width);
    ClampFirstColumn();
}

int CGridModel::FrozenColumns() const {
    int count = std::clamp(frozen_, 0, std::max(0, ColumnCount() - 1));
    const auto width = [this](int upTo) {
        int sum = gutter_;
        for (int c = 0; c < upTo; ++c)
            sum += ShownWidth(c);
        return sum;
    };
    while (count > 0 && viewWidth_ > 0 && width(count) * 2 > viewWidth_)
        --count;
    return count;
}

void CGridModel::SetRowGutter(int width) {
    gutter_ = std::max(0, width);
}

std::optional<int> CGridModel::GutterHit(int x, int y) const {
    if (x < 0 || x >= gutter_ || y <= kHeaderHeight)
        return std::nullopt;
    const int row = (y - kHeaderHeight) / kRowHeight + topRow_;
    if (row >= ViewRowCount())
        return std::nullopt;
    return row;
}

int CGridModel::FrozenWidth() const {
    int width = 0;
    for (int c = 0, frozen = FrozenColumns(); c < frozen; ++c)
        width += ShownWidth(c);
    return width;
}

void CGridModel::SetViewRowCount(int rows) {
    viewRows_ = rows;
    const int last = std::max(0, ViewRowCount() - 1);
    selected_.row = std::min(selected_.row, last);
    anchor_.row = std::min(anchor_.row, last);
    ClampTopRow();
}

bool CGridModel::Select(int row, int column) {
    if (!InView(row, column))
        return false;
    selected_ = anchor_ = {row, column};
    return true;
}

bool CGridModel::ExtendTo(int row, int column) {
    if (!InView(row, column))
        return false;
    selected_ = {row, column};
    return true;
}

void CGridModel::SelectRange(GridRange range) {
    range = range.Within(*this);
    range.bottom = std::min(range.bottom, ViewRowCount() - 1);
    if (range.Empty())
        return;
    selected_ = {range.top, range.left};
    anchor_ = {range.bottom, range.right};
}

GridRange CGridModel::Selection() const {
    if (ViewRowCount() == 0 || columns_.empty())
        return {};
    return {std::min(selected_.row, anchor_.row), std::min(selected_.column, anchor_.column),
            std::max(selected_.row, anchor_.row), std::max(selected_.column, anchor_.column)};
}

void CGridModel::SetTopRow(int row) {
    topRow_ = row;
    ClampTopRow();
}

void CGridModel::SetFirstVisibleColumn(int column) {
    firstColumn_ = column;
    ClampFirstColumn();
}

void CGridModel::SetVisibleRows(int rows) {
    visibleRows_ = std::max(1, rows);
    ClampTopRow();
}

int CGridModel::VisibleRowsForHeight(int height) {
    const int below = height - kHeaderHeight;
    if (below <= 0)
        return 0;
    return below / kRowHeight + (below % kRowHeight > 4 ? 1 : 0);
}

int CGridModel::MaxTopRow() const {
    return std::max(0, ViewRowCount() - visibleRows_);
}

int CGridModel::MaxFirstColumn() const {
    return std::max(FrozenColumns(), ColumnCount() - kColumnPage);
}

void CGridModel::ClampTopRow() {
    topRow_ = std::clamp(topRow_, 0, MaxTopRow());
}

void CGridModel::ClampFirstColumn() {
    // Keys may scroll past MaxFirstColumn when wide columns hide the selection.
    const int low = FrozenColumns();
    firstColumn_ = std::clamp(firstColumn_, low, std::max(low, ColumnCount() - 1));
}

GridLastColumn CGridModel::LastVisibleColumn(int clientWidth) const {
    if (columns_.empty())
        return {};
    int sum = LeftWidth();
    for (int c = firstColumn_; c < ColumnCount(); ++c) {
        sum += ShownWidth(c);
        if (sum > clientWidth)
            return {c, true};
    }
    return {ColumnCount() - 1, false};
}

std::optional<GridCell> CGridModel::HitTest(int x, int y, int clientWidth) const {
    if (y <= kHeaderHeight || x < 0 || ViewRowCount() == 0 || columns_.empty())
        return std::nullopt;
    const int row = (y - kHeaderHeight) / kRowHeight + topRow_;
    if (row >= ViewRowCount())
        return std::nullopt;
    x -= gutter_;
    if (x < 0)
        return std::nullopt;
    for (int c = 0, frozen = FrozenColumns(); c < frozen; ++c) {
        if (x < ShownWidth(c))
            return GridCell{row, c};
        x -= ShownWidth(c);
    }
    const GridLastColumn last = LastVisibleColumn(clientWidth);
    for (int c = firstColumn_; c <= last.column; ++c) {
        const int width = ShownWidth(c);
        if (c == last.column) {
            // Right of the grid's own last column lies nothing.
            if (!last.cutOff && x >= width)
                return std::nullopt;
            return GridCell{row, c};
        }
        if (x < width)
            return GridCell{row, c};
        x -= width;
    }
    return std::nullopt;
}

std::pair<int, int> CGridModel::CellOrigin(int row, int column) const {
    const int y = kHeaderHeight + (row - topRow_) * kRowHeight;
    if (column < FrozenColumns()) {
        int x = gutter_;
        for (int c = 0; c < column; ++c)
            x += ShownWidth(c);
        return {x, y};
    }
    int x = LeftWidth();
    for (int c = firstColumn_; c < column && c < ColumnCount(); ++c)
        x += ShownWidth(c);
    for (int c = std::max(column, 0); c < firstColumn_; ++c)
        x -= ShownWidth(c);
    return {x, y};
}

void CGridModel::EnsureRowVisible(int row) {
    if (row < topRow_)
        topRow_ = row;
    else if (row >= topRow_ + visibleRows_)
        topRow_ = row - visibleRows_ + 1;
    ClampTopRow();
}

void CGridModel::EnsureColumnVisible(int column, int clientWidth) {
    if (column < FrozenColumns() || column >= ColumnCount())
        return;
    if (column < firstColumn_) {
        firstColumn_ = column;
        return;
    }
    while (firstColumn_ < column) {
        const GridLastColumn last = LastVisibleColumn(clientWidth);
        if (column < last.column || (column == last.column && !last.cutOff))
            break;
        ++firstColumn_;
    }
}

bool CGridModel::Key(GridKey key, int clientWidth, bool extend) {
    if (columns_.empty())
        return false;
    const GridCell before = selected_;
    const GridCell anchor = extend ? anchor_ : GridCell{};
    const int top = topRow_;
    const int first = firstColumn_;
    const int lastRow = std::max(0, ViewRowCount() - 1);
    const int lastColumn = ColumnCount() - 1;
    const int page = visibleRows_;
    GridCell& sel = selected_;
    // A move past an edge stops there and shows the selection, wherever the view was.
    switch (key) {
    case GridKey::kUp:
        if (sel.row - 1 < 0) {
            sel.row = 0;
            EnsureRowVisible(sel.row);
        } else if (--sel.row < topRow_) {
            --topRow_;
        }
        break;
    case GridKey::kDown:
        if (sel.row + 1 > lastRow) {
            sel.row = lastRow;
            EnsureRowVisible(sel.row);
        } else if (++sel.row >= topRow_ + page) {
            ++topRow_;
        }
        break;
    case GridKey::kPageUp:
        if (sel.row - page < 0) {
            sel.row = 0;
            EnsureRowVisible(sel.row);
        } else {
            sel.row -= page;
            if (sel.row < topRow_)
                topRow_ = sel.row;
        }
        break;
    case GridKey::kPageDown:
        if (sel.row + page > lastRow) {
            sel.row = lastRow;
            EnsureRowVisible(sel.row);
        } else {
            sel.row += page;
            if (sel.row >= topRow_ + page)
                topRow_ = sel.row - page + 1;
        }
        break;
    case GridKey::kLeft:
        if (sel.column - 1 < 0) {
            sel.column = 0;
            EnsureColumnVisible(sel.column, clientWidth);
        } else if (--sel.column < firstColumn_ && sel.column >= FrozenColumns()) {
            --firstColumn_;
        }
        break;
    case GridKey::kRight:
        if (sel.column + 1 > lastColumn) {
            sel.column = lastColumn;
            EnsureColumnVisible(sel.column, clientWidth);
        } else {
            ++sel.column;
            const GridLastColumn last = LastVisibleColumn(clientWidth);
            if (last.cutOff && sel.column >= last.column)
                ++firstColumn_;
            // A column wider than the one that scrolled out still needs more room.
            EnsureColumnVisible(sel.column, clientWidth);
        }
        break;
    case GridKey::kHome:
        if (sel.column != 0) {
            sel.column = 0;
            firstColumn_ = FrozenColumns();
        }
        break;
    case GridKey::kEnd:
        if (sel.column != lastColumn) {
            sel.column = lastColumn;
            firstColumn_ = std::max(FrozenColumns(), ColumnCount() - kColumnPage);
            // Five columns wider than the view would leave the last one out of sight.
            EnsureColumnVisible(sel.column, clientWidth);
        }
        break;
    }
    if (columns_[static_cast<std::size_t>(sel.column)].hidden) {
        StepOffHidden(key == GridKey::kLeft || key == GridKey::kEnd ? -1 : 1);
        EnsureColumnVisible(sel.column, clientWidth);
    }
    ClampTopRow();
    ClampFirstColumn();
    const GridCell oldAnchor = anchor_;
    anchor_ = extend ? anchor : sel;
    return sel != before || anchor_ != oldAnchor || topRow_ != top || firstColumn_ != first;
}

int CGridModel::VerticalScroll(GridScroll action, int position) {
    int top = topRow_;
    switch (action) {
    case GridScroll::kLineBack:
        top -= 1;
        break;
    case GridScroll::kLineForward:
        top += 1;
        break;
    case GridScroll::kPageBack:
        top -= visibleRows_;
        break;
    case GridScroll::kPageForward:
        top += visibleRows_;
        break;
    case GridScroll::kTrack:
        top = position;
        break;
    case GridScroll::kStart:
        top = 0;
        break;
    case GridScroll::kEnd:
        top = ViewRowCount() - 1;
        break;
    }
    SetTopRow(top);
    return topRow_;
}

int CGridModel::HorizontalScroll(GridScroll action, int clientWidth, int position) {
    int first = firstColumn_;
    switch (action) {
    case GridScroll::kLineBack:
        first -= 1;
        break;
    case GridScroll::kLineForward:
        first += 1;
        break;
    case GridScroll::kPageBack:
        first -= kColumnPage;
        break;
    case GridScroll::kPageForward:
        // One column wider than the viewport would leave the page where it was.
        first = std::max(LastVisibleColumn(clientWidth).column, first + 1);
        break;
    case GridScroll::kTrack:
        first = position;
        break;
    case GridScroll::kStart:
        first = 0;
        break;
    case GridScroll::kEnd:
        first = ColumnCount() - 1;
        break;
    }
    // Never further right than the selection's own scrolling has already gone.
    firstColumn_ = std::clamp(first, FrozenColumns(), std::max(MaxFirstColumn(), firstColumn_));
    return firstColumn_;
}

std::optional<GridCell> CGridModel::NextEditCell(GridCell from) const {
    GridCell next{from.row, from.column + 1};
    if (next.column >= ColumnCount()) {
        next.column = 0;
        ++next.row;
    }
    if (!InView(next.row, next.column))
        return std::nullopt;
    return next;
}

std::optional<GridCell> CGridModel::Find(const std::vector<std::string>& needles, GridCell from,
                                         bool backwards) const {
    std::vector<std::string> folded;
    for (const std::string& needle : needles) {
        if (!needle.empty())
            folded.push_back(FoldCase(needle));
    }
    const long long total = static_cast<long long>(rows_) * ColumnCount();
    if (folded.empty() || total == 0)
        return std::nullopt;
    const long long start = Contains(from.row, from.column)
                                ? static_cast<long long>(CellIndex(from.row, from.column))
                                : (backwards ? 0 : total - 1);
    const long long step = backwards ? total - 1 : 1;
    long long index = start;
    for (long long i = 0; i < total; ++i) {
        index = (index + step) % total;
        const auto row = static_cast<int>(index / ColumnCount());
        const auto column = static_cast<int>(index % ColumnCount());
        const std::string_view text = Text(row, column);
        for (const std::string& needle : folded) {
            if (FindFolded(text, needle, 0) != std::string_view::npos)
                return GridCell{row, column};
        }
    }
    return std::nullopt;
}

std::optional<GridCell> CGridModel::Find(std::string_view needle, GridCell from,
                                         bool backwards) const {
    return Find(std::vector<std::string>{std::string(needle)}, from, backwards);
}

} // namespace tolmere
