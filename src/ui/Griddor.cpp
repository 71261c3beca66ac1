// SPDX-License-Identifier: MIT
#include "ui/Griddor.h"

#include "grid/GridOps.h"
#include "grid/Tsv.h"
#include "ui/DialogTemplate.h"
#include "ui/ScreenText.h"
#include "ui/SkinLook.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace tolmere {
namespace {

const QColor kHeaderBack(69, 68, 25);
const QColor kFrame(108, 108, 108);
const QColor kHeaderText(200, 200, 235);
const QColor kCellBack(59, 58, 5);
const QColor kCellText = skin::kStaticText; // 4.5:1 or more on kCellBack, glyph edges too
const QColor kSelectedBack(69, 68, 65);
const QColor kSelectedText(220, 255, 255);
const QColor kSelectedFrame(0, 255, 128);
const QColor kSelectedFrameUnfocused(0, 128, 64);
const QColor kRangeBack(30, 62, 84);     // the selected range around the current cell
const QColor kHitBack(96, 70, 0);        // a cell the find found
const QColor kChangedMark(255, 150, 40); // the corner of a cell changed since opening

// Cells as the screen shows them, in UTF-8, for the clipboard. Most cells are ASCII and
// pass through as they are; any other is decoded as the grid decodes it for drawing.
class CScreenCells : public CCellSheet {
public:
    explicit CScreenCells(const CCellSheet& cells) : cells_(cells) {}
    int SheetRows() const override { return cells_.SheetRows(); }
    int SheetColumns() const override { return cells_.SheetColumns(); }
    // Valid until the next call.
    std::string_view SheetText(int row, int column) const override {
        const std::string_view bytes = cells_.SheetText(row, column);
        if (std::all_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            return bytes;
        scratch_ = ScreenText(bytes, TextSource::kTableCell).toStdString();
        return scratch_;
    }

private:
    const CCellSheet& cells_;
    mutable std::string scratch_;
};

bool CellBefore(const GridCell& a, const GridCell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

constexpr int kTextInset = 2;
constexpr int kEdgeGrip = 3; // pixels either side of a header edge that start a drag
constexpr int kChooserWidth = 240;
constexpr int kEditHeight = 22;
constexpr int kWheelRows = 3;

QFont GridFont(const char* family, double points, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

Qt::Alignment ToQt(GridAlign align) {
    switch (align) {
    case GridAlign::kRight:
        return Qt::AlignRight;
    case GridAlign::kCentre:
        return Qt::AlignHCenter;
    case GridAlign::kLeft:
        break;
    }
    return Qt::AlignLeft;
}

// The chooser's item for a cell: the very same text first, so that committing an
// untouched chooser never changes the cell; then the first item the text begins,
// searching after item 0 and wrapping, so item 0 comes last.
int ChooserIndex(const QStringList& items, const QString& cell) {
    if (cell.isEmpty())
        return -1;
    const int exact = static_cast<int>(items.indexOf(cell));
    if (exact >= 0)
        return exact;
    const int count = static_cast<int>(items.size());
    for (int i = 1; i <= count; ++i) {
        const int index = i % count;
        if (items[index].startsWith(cell, Qt::CaseInsensitive))
            return index;
    }
    return -1;
}

} // namespace

struct CGriddor::Impl {
    CGridModel model;
    CellEditHook hook;
    CellTipHook tipHook;
    QLineEdit* edit = nullptr;
    QComboBox* chooser = nullptr;
    QWidget* editor = nullptr; // the open one, or null
    std::string editOriginal;  // the cell's bytes when its edit began
    QString lastFind;
    // The dialogs' readable size; a row of 24 pixels holds it.
    QFont cellFont = GridFont("Arial", 9, false);
    QFont headerFont = GridFont("Arial", 9, true);
    int syncing = 0;          // the grid itself is setting the scroll bars
    bool skipRelease = false; // the release that ends a double click
    int dragColumn = -1;
    int dragStartX = 0;
    int dragStartWidth = 0;
    int wheelDelta = 0;
    bool dragSelecting = false;
    CGridUndo undo;
    std::vector<GridCell> hits; // view rows, in view order
    std::vector<int> order;     // view row → table row; empty for the table's order
    std::vector<int> place;     // table row → view row (-1 hidden), while sorted or filtered
    bool filtered = false;
    std::vector<char> keep; // table rows a filter lets through
    int orderRows = 0;      // the rows there were when the order was made
    int sortColumn = -1;
    int sortDirection = 0;
    CViewSheet view{model, order, filtered};
};

CGriddor::CGriddor(QWidget* owner) : QAbstractScrollArea(owner), impl_(std::make_unique<Impl>()) {
    // The frame would offset the viewport; cells are placed from the grid's own corner.
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    impl_->model.SetFrozenFirstColumn(true);

    impl_->edit = new QLineEdit(this);
    impl_->edit->setObjectName(ControlName(kGridEditField));
    impl_->edit->setFont(impl_->cellFont);
    impl_->edit->hide();
    impl_->edit->installEventFilter(this);

    impl_->chooser = new QComboBox(this);
    impl_->chooser->setObjectName(ControlName(kGridChooser));
    impl_->chooser->setEditable(true);
    impl_->chooser->setInsertPolicy(QComboBox::NoInsert);
    impl_->chooser->setFont(impl_->cellFont);
    impl_->chooser->hide();
    impl_->chooser->installEventFilter(this);

    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(Qt::Vertical, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(Qt::Horizontal, action); });
    SyncScrollBars();
}

CGriddor::~CGriddor() {
    // The editors outlive this object's members: their last focus change must not
    // reach a grid that is half gone.
    impl_->edit->removeEventFilter(this);
    impl_->chooser->removeEventFilter(this);
}

void CGriddor::AddColumn(const GridColumn& column) {
    if (impl_->model.AddColumn(column)) {
        SyncScrollBars();
        viewport()->update();
    }
}

bool CGriddor::FinishColumns() {
    const bool finished = impl_->model.FinishColumns();
    viewport()->update();
    return finished;
}

void CGriddor::AddRow() {
    const int rows = impl_->model.RowCount();
    impl_->model.AddRow();
    if (impl_->model.RowCount() != rows) {
        SyncOrder();
        SyncScrollBars();
        viewport()->update();
    }
}

void CGriddor::SetCellTipHook(CellTipHook hook) {
    impl_->tipHook = std::move(hook);
}

void CGriddor::SetEditHook(CellEditHook hook) {
    impl_->hook = std::move(hook);
}

int CGriddor::RowCount() const {
    return impl_->model.RowCount();
}

int CGriddor::ColumnCount() const {
    return impl_->model.ColumnCount();
}

std::string CGriddor::CellText(int row, int column) const {
    return std::string(impl_->model.Text(row, column));
}

void CGriddor::SetCellText(int row, int column, std::string text) {
    // Until the hook is installed the owner is still filling the grid; after that
    // every write is a change the owner will want to save.
    if (!impl_->hook) {
        if (impl_->model.Fill(row, column, text))
            UpdateCell({ViewRow(row), column});
        return;
    }
    if (impl_->undo.IsOpen()) {
        // Inside an edit's step: the hook's writes are undone with the edit.
        impl_->undo.Write(impl_->model, row, column, text);
        UpdateCell({ViewRow(row), column});
        return;
    }
    GridEditResult result;
    result.changes.push_back({row, column, std::move(text)});
    ApplyEdit(result, "Edit");
}

bool CGriddor::ApplyEdit(const GridEditResult& result, const std::string& name) {
    EndEdit();
    if (!impl_->undo.Apply(impl_->model, result, name))
        return false;
    std::vector<GridCell> cells;
    for (const GridChange& change : result.changes)
        cells.push_back({change.row, change.column});
    AfterEdit(cells);
    return true;
}

bool CGriddor::ApplyViewEdit(const GridEditResult& result, const std::string& name) {
    return ApplyEdit(impl_->view.ToSheetRows(result), name);
}

const CViewSheet& CGriddor::ViewCells() const {
    return impl_->view;
}

int CGriddor::TableRow(int viewRow) const {
    return impl_->view.SheetRow(viewRow);
}

int CGriddor::ViewRow(int tableRow) const {
    const auto& place = impl_->place;
    return tableRow >= 0 && tableRow < static_cast<int>(place.size())
               ? place[static_cast<std::size_t>(tableRow)]
               : tableRow;
}

int CGriddor::SortColumn() const {
    return impl_->sortColumn;
}

int CGriddor::SortDirection() const {
    return impl_->sortDirection;
}

void CGriddor::SortView(int column, int direction) {
    EndEdit();
    if (column < 0 || column >= ColumnCount())
        direction = 0;
    const GridCell at{SelectedRow(), SelectedColumn()};
    impl_->sortColumn = direction == 0 ? -1 : column;
    impl_->sortDirection = direction;
    RebuildOrder(at);
    Q_EMIT viewSorted();
}

void CGriddor::FilterView(bool on, const std::vector<int>& tableRows) {
    EndEdit();
    const GridCell at{SelectedRow(), SelectedColumn()};
    impl_->filtered = on;
    impl_->keep.assign(static_cast<std::size_t>(RowCount()), on ? 0 : 1);
    for (const int row : tableRows)
        if (row >= 0 && row < RowCount())
            impl_->keep[static_cast<std::size_t>(row)] = 1;
    RebuildOrder(at);
}

bool CGriddor::Filtered() const {
    return impl_->filtered;
}

void CGriddor::RebuildOrder(GridCell at) {
    auto& order = impl_->order;
    const int rows = RowCount();
    order.clear();
    if (impl_->sortDirection != 0) {
        order = SortedRows(impl_->model, impl_->sortColumn, impl_->sortDirection < 0);
    } else if (impl_->filtered) {
        order.resize(static_cast<std::size_t>(rows));
        std::iota(order.begin(), order.end(), 0);
    }
    if (impl_->filtered)
        order.erase(
            std::remove_if(order.begin(), order.end(),
                           [this](int r) { return !impl_->keep[static_cast<std::size_t>(r)]; }),
            order.end());
    impl_->orderRows = rows;
    RebuildPlaces();
    impl_->hits.clear();
    if (ViewRow(at.row) >= 0)
        SelectCell({ViewRow(at.row), at.column});
    else if (impl_->model.ViewRowCount() > 0)
        SelectCell({0, at.column});
    SyncScrollBars();
    viewport()->update();
}

void CGriddor::RebuildPlaces() {
    const auto& order = impl_->order;
    const bool identity = order.empty() && !impl_->filtered;
    impl_->place.assign(identity ? 0 : static_cast<std::size_t>(RowCount()), -1);
    for (std::size_t v = 0; v < order.size(); ++v)
        impl_->place[static_cast<std::size_t>(order[v])] = static_cast<int>(v);
    impl_->model.SetViewRowCount(impl_->filtered ? static_cast<int>(order.size()) : -1);
}

void CGriddor::SyncOrder() {
    auto& order = impl_->order;
    if (order.empty() && !impl_->filtered)
        return;
    // Rows come and go only at the table's end; rows added show at the view's end.
    const int rows = RowCount();
    order.erase(std::remove_if(order.begin(), order.end(), [rows](int r) { return r >= rows; }),
                order.end());
    impl_->orderRows = std::min(impl_->orderRows, rows);
    for (int r = impl_->orderRows; r < rows; ++r)
        order.push_back(r);
    impl_->orderRows = rows;
    impl_->keep.resize(static_cast<std::size_t>(rows), 1);
    RebuildPlaces();
}

bool CGriddor::Undo() {
    EndEdit();
    std::vector<GridCell> cells;
    if (!impl_->undo.Undo(impl_->model, &cells))
        return false;
    AfterEdit(cells);
    return true;
}

bool CGriddor::Redo() {
    EndEdit();
    std::vector<GridCell> cells;
    if (!impl_->undo.Redo(impl_->model, &cells))
        return false;
    AfterEdit(cells);
    return true;
}

const CGridUndo& CGriddor::UndoStack() const {
    return impl_->undo;
}

void CGriddor::AfterEdit(const std::vector<GridCell>& cells) {
    SyncOrder();
    // Show the first cell changed when none of them is on screen.
    const CGridModel& model = impl_->model;
    const bool shown = std::any_of(cells.begin(), cells.end(), [this, &model](GridCell cell) {
        const int row = ViewRow(cell.row);
        return row >= model.TopRow() && row < model.TopRow() + model.VisibleRows();
    });
    if (!shown && !cells.empty()) {
        impl_->model.EnsureRowVisible(ViewRow(cells.front().row));
        impl_->model.EnsureColumnVisible(cells.front().column, viewport()->width());
    }
    SyncScrollBars();
    viewport()->update();
    Q_EMIT edited();
}

const GridColumn* CGriddor::ColumnAt(int column) const {
    return impl_->model.Column(column);
}

void CGriddor::ShowRowNumbers(bool on) {
    const int digits = static_cast<int>(std::to_string(std::max(RowCount(), 9999)).size());
    impl_->model.SetRowGutter(
        on ? QFontMetrics(impl_->cellFont).horizontalAdvance(QString(digits + 1, u'9')) +
                 2 * kTextInset
           : 0);
    SyncScrollBars();
    viewport()->update();
}

int CGriddor::RowNumbersWidth() const {
    return impl_->model.RowGutter();
}

void CGriddor::SetFirstColumnFrozen(bool frozen) {
    SetFrozenColumns(frozen ? 1 : 0);
}

void CGriddor::SetFrozenColumns(int count) {
    impl_->model.SetFrozenColumns(count);
    SyncScrollBars();
    viewport()->update();
}

bool CGriddor::FirstColumnFrozen() const {
    return impl_->model.FrozenFirstColumn();
}

int CGriddor::FrozenColumns() const {
    return impl_->model.FrozenColumnsAsked();
}

void CGriddor::SetColumnHidden(int column, bool hidden) {
    const View before = CurrentView();
    if (!impl_->model.SetColumnHidden(column, hidden))
        return;
    impl_->model.EnsureColumnVisible(impl_->model.Selected().column, viewport()->width());
    SyncScrollBars();
    AfterMove(before);
    viewport()->update();
}

void CGriddor::SetColumnWidth(int column, int width) {
    if (impl_->model.SetColumnWidth(column, width)) {
        SyncScrollBars();
        viewport()->update();
    }
}

void CGriddor::SetColumnHeader(int column, std::string header) {
    if (impl_->model.SetColumnHeader(column, std::move(header)))
        viewport()->update(QRect(0, 0, viewport()->width(), CGridModel::kHeaderHeight));
}

bool CGriddor::CellChanged(int row, int column) const {
    return impl_->model.Changed(row, column);
}

const CGridModel& CGriddor::Model() const {
    return impl_->model;
}

int CGriddor::SelectedRow() const {
    return TableRow(impl_->model.Selected().row);
}

int CGriddor::SelectedColumn() const {
    return impl_->model.Selected().column;
}

void CGriddor::Select(int row, int column) {
    if (!impl_->model.Contains(row, column))
        return;
    EndEdit();
    SelectCell({ViewRow(row), column});
}

GridRange CGriddor::Selection() const {
    return impl_->model.Selection();
}

void CGriddor::SelectRange(const GridRange& range) {
    EndEdit();
    const View before = CurrentView();
    impl_->model.SelectRange(range);
    const GridCell cell = impl_->model.Selected();
    impl_->model.EnsureRowVisible(cell.row);
    impl_->model.EnsureColumnVisible(cell.column, viewport()->width());
    AfterMove(before);
    viewport()->update();
}

QString CGriddor::SelectionText() const {
    return QString::fromStdString(EncodeTsv(CScreenCells(impl_->view), impl_->model.Selection()));
}

void CGriddor::SetHits(std::vector<GridCell> hits) {
    std::sort(hits.begin(), hits.end(), CellBefore);
    impl_->hits = std::move(hits);
    viewport()->update();
}

const std::vector<GridCell>& CGriddor::Hits() const {
    return impl_->hits;
}

int CGriddor::GoToHit(int index) {
    const auto& hits = impl_->hits;
    if (hits.empty())
        return -1;
    const int count = static_cast<int>(hits.size());
    index = ((index % count) + count) % count;
    EndEdit();
    const GridCell hit = hits[static_cast<std::size_t>(index)];
    SelectCell(hit);
    // A hit on the part-shown last row scrolls on until the whole row shows.
    const View before = CurrentView();
    while (impl_->model.TopRow() < hit.row &&
           CellRect(hit.row, hit.column).bottom() >= viewport()->height())
        impl_->model.SetTopRow(impl_->model.TopRow() + 1);
    AfterMove(before);
    Q_EMIT hitChanged(index);
    return index;
}

int CGriddor::NextHit(bool backwards) {
    const auto& hits = impl_->hits;
    if (hits.empty())
        return -1;
    const GridCell at = impl_->model.Selected();
    const auto after = std::upper_bound(hits.begin(), hits.end(), at, CellBefore);
    const auto from = std::lower_bound(hits.begin(), hits.end(), at, CellBefore);
    const int index = backwards ? static_cast<int>(from - hits.begin()) - 1
                                : static_cast<int>(after - hits.begin());
    return GoToHit(index);
}

int CGriddor::TopRow() const {
    return impl_->model.TopRow();
}

int CGriddor::FirstVisibleColumn() const {
    return impl_->model.FirstVisibleColumn();
}

int CGriddor::VisibleRows() const {
    return impl_->model.VisibleRows();
}

std::optional<std::pair<int, int>> CGriddor::HitTest(const QPoint& point) const {
    const auto cell = impl_->model.HitTest(point.x(), point.y(), viewport()->width());
    if (!cell)
        return std::nullopt;
    return std::make_pair(cell->row, cell->column);
}

QPoint CGriddor::CellOrigin(int row, int column) const {
    const auto [x, y] = impl_->model.CellOrigin(row, column);
    return QPoint(x, y);
}

const QFont& CGriddor::CellFont() const {
    return impl_->cellFont;
}

QRect CGriddor::CellRect(int row, int column) const {
    const GridColumn* col = impl_->model.Column(column);
    return col ? QRect(CellOrigin(row, column), QSize(col->width, kRowHeight)) : QRect();
}

void CGriddor::UpdateCell(GridCell cell) {
    // Filling a large table writes every cell; only the few on screen need painting.
    const CGridModel& model = impl_->model;
    if (!viewport()->isVisible() || cell.row < model.TopRow() ||
        cell.row > model.TopRow() + model.VisibleRows())
        return;
    viewport()->update(CellRect(cell.row, cell.column));
}

CGriddor::View CGriddor::CurrentView() const {
    return {impl_->model.Selected(), impl_->model.TopRow(), impl_->model.FirstVisibleColumn(),
            impl_->model.Selection()};
}

void CGriddor::AfterMove(const View& before) {
    const View now = CurrentView();
    SyncScrollBars();
    if (now.topRow != before.topRow || now.firstColumn != before.firstColumn) {
        viewport()->update();
    } else if (now.selected != before.selected) {
        UpdateCell(before.selected);
        UpdateCell(now.selected);
    }
    if (now.range != before.range)
        viewport()->update();
    if (now.selected != before.selected || now.range != before.range)
        Q_EMIT selectionChanged(TableRow(now.selected.row), now.selected.column);
}

void CGriddor::ExtendCell(GridCell cell) {
    const View before = CurrentView();
    CGridModel& model = impl_->model;
    if (!model.ExtendTo(cell.row, cell.column))
        return;
    model.EnsureRowVisible(cell.row);
    model.EnsureColumnVisible(cell.column, viewport()->width());
    AfterMove(before);
}

void CGriddor::SelectCell(GridCell cell) {
    const View before = CurrentView();
    CGridModel& model = impl_->model;
    if (!model.Select(cell.row, cell.column))
        return;
    model.EnsureRowVisible(cell.row);
    model.EnsureColumnVisible(cell.column, viewport()->width());
    AfterMove(before);
}

void CGriddor::ShowSelected() {
    const View before = CurrentView();
    CGridModel& model = impl_->model;
    const GridCell cell = model.Selected();
    model.EnsureRowVisible(cell.row);
    model.EnsureColumnVisible(cell.column, viewport()->width());
    AfterMove(before);
}

void CGriddor::SyncScrollBars() {
    const CGridModel& model = impl_->model;
    ++impl_->syncing;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, model.MaxTopRow());
    vertical->setSingleStep(1);
    vertical->setPageStep(model.VisibleRows());
    vertical->setValue(model.TopRow());
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(model.FrozenColumns(),
                         std::max(model.MaxFirstColumn(), model.FirstVisibleColumn()));
    horizontal->setSingleStep(1);
    horizontal->setPageStep(CGridModel::kColumnPage);
    horizontal->setValue(model.FirstVisibleColumn());
    --impl_->syncing;
}

void CGriddor::OnScrollAction(Qt::Orientation orientation, int action) {
    GridScroll request = GridScroll::kTrack;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        request = GridScroll::kLineBack;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        request = GridScroll::kLineForward;
        break;
    case QAbstractSlider::SliderPageStepSub:
        request = GridScroll::kPageBack;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        request = GridScroll::kPageForward;
        break;
    case QAbstractSlider::SliderToMinimum:
        request = GridScroll::kStart;
        break;
    case QAbstractSlider::SliderToMaximum:
        request = GridScroll::kEnd;
        break;
    case QAbstractSlider::SliderMove:
        break;
    default:
        return;
    }
    EndEdit();
    QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    const int position =
        orientation == Qt::Vertical
            ? impl_->model.VerticalScroll(request, bar->sliderPosition())
            : impl_->model.HorizontalScroll(request, viewport()->width(), bar->sliderPosition());
    // The slider takes this position as its value once the action is over.
    bar->setSliderPosition(position);
    viewport()->update();
}

void CGriddor::scrollContentsBy(int, int) {
    if (impl_->syncing == 0) {
        EndEdit();
        impl_->model.SetTopRow(verticalScrollBar()->value());
        impl_->model.SetFirstVisibleColumn(horizontalScrollBar()->value());
    }
    viewport()->update();
}

void CGriddor::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const bool sideways = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    impl_->wheelDelta += delta.x() != 0 ? delta.x() : delta.y();
    const int notches = impl_->wheelDelta / 120;
    impl_->wheelDelta %= 120;
    event->accept();
    if (notches == 0)
        return;
    EndEdit();
    const View before = CurrentView();
    CGridModel& model = impl_->model;
    if (sideways)
        model.HorizontalScroll(GridScroll::kTrack, viewport()->width(),
                               model.FirstVisibleColumn() - notches);
    else
        model.VerticalScroll(GridScroll::kTrack, model.TopRow() - notches * kWheelRows);
    AfterMove(before);
}

void CGriddor::resizeEvent(QResizeEvent*) {
    impl_->model.SetVisibleRows(CGridModel::VisibleRowsForHeight(viewport()->height()));
    impl_->model.SetViewWidth(viewport()->width());
    SyncScrollBars();
    if (impl_->editor) {
        const GridCell cell = impl_->model.Selected();
        const QPoint origin = viewport()->geometry().topLeft() + CellOrigin(cell.row, cell.column);
        impl_->editor->move(impl_->editor == impl_->edit ? origin + QPoint(1, 3)
                                                         : origin + QPoint(1, 1));
    }
    viewport()->update();
}

void CGriddor::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, kCellBack);
    const CGridModel& model = impl_->model;
    if (!model.ColumnsFinished()) {
        // Shows which fonts this system gives the grid, before there is anything to show.
        const struct {
            const char* text;
            QFont font;
        } lines[] = {{"Data not Available", impl_->cellFont},
                     {"Data not Available (Bold)", impl_->headerFont},
                     {"1234567890", GridFont("Courier New", 9.7, false)},
                     {"1234567890 Bold", GridFont("Courier New", 9.7, true)}};
        painter.setPen(kCellText);
        int y = 0;
        for (const auto& line : lines) {
            painter.setFont(line.font);
            painter.drawText(QRect(0, y, viewport()->width(), 20),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             QString::fromLatin1(line.text));
            y += 20;
        }
        return;
    }

    // The columns on screen: the frozen one, then the scrolled ones up to the edge.
    struct Shown {
        int column;
        int x;
        int width;
    };
    std::vector<Shown> shown;
    for (int c = 0; c < model.FrozenColumns(); ++c)
        if (model.ShownWidth(c) > 0)
            shown.push_back({c, model.CellOrigin(0, c).first, model.ShownWidth(c)});
    for (int c = model.FirstVisibleColumn(), x = model.LeftWidth();
         c < model.ColumnCount() && x < viewport()->width(); ++c) {
        const int width = model.ShownWidth(c);
        if (width == 0)
            continue;
        shown.push_back({c, x, width});
        x += width;
    }

    const auto drawCell = [&painter, &dirty](const QRect& rect, const QColor& back,
                                             const QColor& frame, const QColor& ink,
                                             Qt::Alignment align, const QString& text) {
        if (!rect.intersects(dirty))
            return;
        painter.fillRect(rect, back);
        painter.setPen(frame);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        if (text.isEmpty())
            return;
        const QRect inside = rect.adjusted(kTextInset, 0, -kTextInset, 0);
        painter.setClipRect(inside);
        painter.setPen(ink);
        painter.drawText(inside, align | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter.setClipping(false);
    };

    painter.setFont(impl_->headerFont);
    for (const Shown& col : shown) {
        const GridColumn& column = *model.Column(col.column);
        QString title = ScreenText(column.header, TextSource::kTableCell);
        if (col.column == impl_->sortColumn)
            title +=
                impl_->sortDirection > 0 ? QStringLiteral(" \u25B2") : QStringLiteral(" \u25BC");
        drawCell(QRect(col.x, 0, col.width, kRowHeight), kHeaderBack, kFrame, kHeaderText,
                 ToQt(column.headerAlign), title);
    }
    const int gutter = model.RowGutter();
    if (gutter > 0)
        drawCell(QRect(0, 0, gutter, kRowHeight), kHeaderBack, kFrame, kHeaderText,
                 Qt::AlignHCenter, QStringLiteral("row"));
    painter.setFont(impl_->cellFont);
    const GridCell selected = model.Selected();
    const GridRange range = model.Selection();
    const bool focused = hasFocus();
    const auto& hits = impl_->hits;
    for (int row = model.TopRow(), y = CGridModel::kHeaderHeight;
         row < model.ViewRowCount() && y < viewport()->height(); ++row, y += kRowHeight) {
        if (gutter > 0) // the table's own row number, whatever order the view shows
            drawCell(QRect(0, y, gutter, kRowHeight), kHeaderBack, kFrame, kHeaderText,
                     Qt::AlignRight, QString::number(TableRow(row) + 1));
        for (const Shown& col : shown) {
            const QRect rect(col.x, y, col.width, kRowHeight);
            if (!rect.intersects(dirty))
                continue;
            const GridCell cell{row, col.column};
            const int tableRow = TableRow(row);
            const bool isSelected = selected == cell;
            const bool isHit =
                !hits.empty() && std::binary_search(hits.begin(), hits.end(), cell, CellBefore);
            const QColor& plainBack = range.Contains(row, col.column) ? kRangeBack
                                      : isHit                         ? kHitBack
                                                                      : kCellBack;
            const QColor& back = isSelected && focused ? kSelectedBack : plainBack;
            const QColor& ink = isSelected && focused ? kSelectedText : kCellText;
            const QColor& frame =
                !isSelected ? kFrame : (focused ? kSelectedFrame : kSelectedFrameUnfocused);
            drawCell(rect, back, frame, ink, ToQt(model.Column(col.column)->cellAlign),
                     ScreenText(model.Text(tableRow, col.column), TextSource::kTableCell));
            if (model.Changed(tableRow, col.column)) {
                // A corner mark: changed since the window opened, not yet applied.
                const QPoint corner = rect.topLeft() + QPoint(1, 1);
                const QPoint mark[] = {corner, corner + QPoint(6, 0), corner + QPoint(0, 6)};
                painter.setPen(Qt::NoPen);
                painter.setBrush(kChangedMark);
                painter.drawPolygon(mark, 3);
                painter.setBrush(Qt::NoBrush);
            }
        }
    }
}

void CGriddor::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (key == Qt::Key_F && mods == Qt::ControlModifier) {
        Q_EMIT findRequested();
        return;
    }
    if (key == Qt::Key_F3 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        if (!impl_->hits.empty())
            NextHit(mods == Qt::ShiftModifier);
        else if (!impl_->lastFind.isEmpty())
            Find(impl_->lastFind, mods == Qt::ShiftModifier);
        return;
    }
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        const bool shift = mods & Qt::ShiftModifier;
        switch (key) {
        case Qt::Key_A:
            SelectRange(GridRange::All(impl_->model));
            return;
        case Qt::Key_C:
            QGuiApplication::clipboard()->setText(SelectionText());
            return;
        case Qt::Key_V:
            Q_EMIT pasteRequested();
            return;
        case Qt::Key_D:
            Q_EMIT fillDownRequested();
            return;
        case Qt::Key_H:
            Q_EMIT replaceRequested();
            return;
        case Qt::Key_G:
            Q_EMIT goToRequested();
            return;
        case Qt::Key_Z:
            shift ? Redo() : Undo();
            return;
        case Qt::Key_Y:
            Redo();
            return;
        case Qt::Key_Space: { // the whole column
            const GridCell at = impl_->model.Selected();
            SelectRange({0, at.column, RowCount() - 1, at.column});
            return;
        }
        default:
            break;
        }
    }
    if (key == Qt::Key_Space && mods == Qt::ShiftModifier) { // the whole row
        const GridCell at = impl_->model.Selected();
        SelectRange({at.row, 0, at.row, ColumnCount() - 1});
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier) {
        if (!Editing())
            BeginEdit(SelectedRow(), SelectedColumn());
        return;
    }
    static const struct {
        int key;
        GridKey move;
    } moves[] = {{Qt::Key_Up, GridKey::kUp},         {Qt::Key_Down, GridKey::kDown},
                 {Qt::Key_PageUp, GridKey::kPageUp}, {Qt::Key_PageDown, GridKey::kPageDown},
                 {Qt::Key_Left, GridKey::kLeft},     {Qt::Key_Right, GridKey::kRight},
                 {Qt::Key_Home, GridKey::kHome},     {Qt::Key_End, GridKey::kEnd}};
    for (const auto& move : moves) {
        if (move.key == key && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
            const View before = CurrentView();
            impl_->model.Key(move.move, viewport()->width(), mods == Qt::ShiftModifier);
            AfterMove(before);
            return;
        }
    }
    event->ignore();
}

bool CGriddor::focusNextPrevChild(bool next) {
    EndEdit();
    return QAbstractScrollArea::focusNextPrevChild(next);
}

int CGriddor::HeaderEdgeAt(const QPoint& point) const {
    const CGridModel& model = impl_->model;
    if (!model.ColumnsFinished() || point.y() < 0 || point.y() >= CGridModel::kHeaderHeight)
        return -1;
    const auto onEdge = [&point](int edge) { return std::abs(point.x() - edge) <= kEdgeGrip; };
    for (int c = 0; c < model.FrozenColumns(); ++c)
        if (model.ShownWidth(c) > 0 && onEdge(model.CellOrigin(0, c).first + model.ShownWidth(c)))
            return c;
    for (int c = model.FirstVisibleColumn(), x = model.LeftWidth();
         c < model.ColumnCount() && x < viewport()->width(); ++c) {
        if (model.ShownWidth(c) == 0)
            continue;
        x += model.ShownWidth(c);
        if (onEdge(x))
            return c;
    }
    return -1;
}

void CGriddor::mousePressEvent(QMouseEvent* event) {
    impl_->skipRelease = false;
    const QPoint point = event->position().toPoint();
    const int edge = event->button() == Qt::LeftButton ? HeaderEdgeAt(point) : -1;
    if (edge < 0 && event->button() == Qt::LeftButton) {
        const bool extend = event->modifiers() & Qt::ShiftModifier;
        const CGridModel& model = impl_->model;
        if (point.y() < CGridModel::kHeaderHeight && model.RowCount() > 0) {
            // A header selects its whole column; with Shift, the columns up to it.
            const auto cell =
                model.HitTest(point.x(), CGridModel::kHeaderHeight + 1, viewport()->width());
            if (cell) {
                EndEdit();
                setFocus(Qt::MouseFocusReason);
                const int from = extend ? model.Anchor().column : cell->column;
                SelectRange({0, std::min(from, cell->column), RowCount() - 1,
                             std::max(from, cell->column)});
            }
            return;
        }
        if (const auto row = model.GutterHit(point.x(), point.y())) {
            // A row's number selects the whole row; with Shift, the rows up to it.
            EndEdit();
            setFocus(Qt::MouseFocusReason);
            const int from = extend ? model.Anchor().row : *row;
            SelectRange({std::min(from, *row), 0, std::max(from, *row), ColumnCount() - 1});
            return;
        }
        const auto cell = model.HitTest(point.x(), point.y(), viewport()->width());
        if (cell) {
            EndEdit();
            setFocus(Qt::MouseFocusReason);
            if (extend)
                ExtendCell(*cell);
            else
                SelectCell(*cell);
            impl_->dragSelecting = true;
        }
        return;
    }
    if (edge < 0 && event->button() == Qt::RightButton && point.y() < CGridModel::kHeaderHeight) {
        const auto cell =
            impl_->model.HitTest(point.x(), CGridModel::kHeaderHeight + 1, viewport()->width());
        if (cell)
            Q_EMIT headerMenuRequested(cell->column, viewport()->mapToGlobal(point));
        return;
    }
    if (edge < 0) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    EndEdit();
    impl_->dragColumn = edge;
    impl_->dragStartX = event->position().toPoint().x();
    impl_->dragStartWidth = impl_->model.Column(edge)->width;
}

void CGriddor::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (impl_->dragColumn >= 0) {
        impl_->model.SetColumnWidth(impl_->dragColumn,
                                    impl_->dragStartWidth + point.x() - impl_->dragStartX);
        SyncScrollBars();
        viewport()->update();
        return;
    }
    if (impl_->dragSelecting && (event->buttons() & Qt::LeftButton)) {
        if (const auto cell = impl_->model.HitTest(point.x(), point.y(), viewport()->width()))
            ExtendCell(*cell);
        return;
    }
    if (HeaderEdgeAt(point) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void CGriddor::mouseReleaseEvent(QMouseEvent*) {
    // The press selected; the release only ends a drag.
    impl_->dragColumn = -1;
    impl_->dragSelecting = false;
    impl_->skipRelease = false;
}

void CGriddor::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (point.y() < CGridModel::kHeaderHeight && HeaderEdgeAt(point) < 0) {
        // A header's double click sorts the view by it: ascending, descending, then back
        // to the table's order.
        const auto cell =
            impl_->model.HitTest(point.x(), CGridModel::kHeaderHeight + 1, viewport()->width());
        if (cell) {
            const bool same = impl_->sortColumn == cell->column;
            SortView(cell->column, !same ? 1 : impl_->sortDirection > 0 ? -1 : 0);
        }
        return;
    }
    const auto cell = impl_->model.HitTest(point.x(), point.y(), viewport()->width());
    if (!cell)
        return;
    // The release that follows would otherwise commit the editor just opened.
    impl_->skipRelease = true;
    EndEdit();
    SelectCell(*cell);
    BeginEdit(TableRow(cell->row), cell->column);
}

void CGriddor::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    UpdateCell(impl_->model.Selected());
}

void CGriddor::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    UpdateCell(impl_->model.Selected());
}

void CGriddor::BeginEdit(int row, int column) {
    EndEdit();
    const GridColumn* col = impl_->model.Column(column);
    if (!impl_->model.Contains(row, column) || !col->editable)
        return;
    SelectCell({ViewRow(row), column});
    impl_->editOriginal = std::string(impl_->model.Text(row, column));
    const QString shown = ScreenText(impl_->editOriginal, TextSource::kTableCell);
    const QPoint origin = viewport()->geometry().topLeft() + CellOrigin(ViewRow(row), column);
    QWidget* editor = nullptr;
    if (col->chooser) {
        QStringList items;
        for (const std::string& choice : col->choices)
            items.push_back(ScreenText(choice, TextSource::kTableCell));
        std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        QComboBox* chooser = impl_->chooser;
        chooser->clear();
        chooser->addItems(items);
        // The list as wide as its longest entry, and typing finds an entry by any part.
        int widest = 0;
        for (const QString& item : items)
            widest = std::max(widest, chooser->fontMetrics().horizontalAdvance(item));
        chooser->view()->setMinimumWidth(widest + 2 * chooser->fontMetrics().averageCharWidth() +
                                         chooser->view()->verticalScrollBar()->sizeHint().width());
        if (QCompleter* old = chooser->completer())
            old->deleteLater();
        auto* completer = new QCompleter(items, chooser);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->popup()->setMinimumWidth(chooser->view()->minimumWidth());
        chooser->setCompleter(completer);
        const int index = ChooserIndex(items, shown);
        chooser->setCurrentIndex(index);
        if (index < 0)
            chooser->setEditText(shown);
        chooser->lineEdit()->selectAll();
        chooser->setGeometry(
            QRect(origin + QPoint(1, 1), QSize(kChooserWidth, chooser->sizeHint().height())));
        editor = chooser;
    } else {
        QLineEdit* edit = impl_->edit;
        edit->setText(shown);
        edit->selectAll();
        edit->setGeometry(QRect(origin + QPoint(1, 3), QSize(col->width - 2, kEditHeight)));
        editor = edit;
    }
    impl_->editor = editor;
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
}

void CGriddor::HideEditor(QWidget* editor) {
    impl_->editor = nullptr;
    // The grid takes the focus back only from its own editor: when the user went to
    // another control, the focus stays there.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus == editor || editor->isAncestorOf(focus))
        setFocus(Qt::OtherFocusReason);
    editor->hide();
    UpdateCell(impl_->model.Selected());
}

void CGriddor::EndEdit() {
    QWidget* editor = impl_->editor;
    if (!editor)
        return;
    const QString text =
        editor == impl_->chooser ? impl_->chooser->currentText() : impl_->edit->text();
    const GridCell cell{SelectedRow(), SelectedColumn()};
    const std::string bytes = StoredText(text, impl_->editOriginal, TextSource::kTableCell);
    // The edit and whatever the hook writes after it are one step of undo.
    impl_->undo.Open(impl_->model, "Edit");
    impl_->undo.Write(impl_->model, cell.row, cell.column, bytes);
    HideEditor(editor);
    if (impl_->hook)
        impl_->hook(*this, cell.row, cell.column);
    impl_->undo.Close();
    Q_EMIT edited();
}

void CGriddor::CancelEdit() {
    if (impl_->editor)
        HideEditor(impl_->editor);
}

void CGriddor::EditNext() {
    const GridCell from = impl_->model.Selected();
    EndEdit();
    const auto next = impl_->model.NextEditCell(from);
    if (!next)
        return;
    SelectCell(*next);
    BeginEdit(TableRow(next->row), next->column);
}

bool CGriddor::Editing() const {
    return impl_->editor != nullptr;
}

QLineEdit* CGriddor::EditField() const {
    return impl_->edit;
}

QComboBox* CGriddor::Chooser() const {
    return impl_->chooser;
}

bool CGriddor::Find(const QString& text, bool backwards) {
    if (text.isEmpty())
        return false;
    impl_->lastFind = text;
    EndEdit();
    // Cells are Windows-1252 or UTF-8, so the text is looked for in both.
    std::vector<std::string> needles{ToWindows1252OrUtf8(text)};
    if (std::string utf8 = text.toStdString(); utf8 != needles.front())
        needles.push_back(std::move(utf8));
    const auto hit = impl_->model.Find(needles, {SelectedRow(), SelectedColumn()}, backwards);
    if (!hit)
        return false;
    SelectCell({ViewRow(hit->row), hit->column});
    return true;
}

QString CGriddor::TipAt(const QPoint& point) const {
    const CGridModel& model = impl_->model;
    const bool header = point.y() < CGridModel::kHeaderHeight;
    const auto cell = model.HitTest(point.x(), header ? CGridModel::kHeaderHeight + 1 : point.y(),
                                    viewport()->width());
    const GridColumn* column = cell ? model.Column(cell->column) : nullptr;
    if (!column)
        return QString();
    const std::string tip = header           ? column->tip
                            : impl_->tipHook ? impl_->tipHook(TableRow(cell->row), cell->column)
                                             : std::string();
    return ScreenText(tip, TextSource::kTableCell);
}

bool CGriddor::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = TipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

bool CGriddor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != impl_->edit && watched != impl_->chooser)
        return QAbstractScrollArea::eventFilter(watched, event);
    if (watched != impl_->editor)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            CancelEdit();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditNext();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // The chooser's own list takes the focus while open, and a window that merely
        // stops being the active one (another program, a message box, the window
        // closing under its owner) keeps the edit open rather than committing it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            EndEdit();
    }
    return false;
}

} // namespace tolmere
