// SPDX-License-Identifier: MIT
#include "ui/RawEditDlg.h"

#include "base/Guide.h"
#include "grid/GridFind.h"
#include "grid/GridOps.h"
#include "ui/Griddor.h"
#include "ui/MainWindow.h"
#include "ui/NameDlg.h"
#include "ui/ScreenText.h"
#include "ui/WindowSizing.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QTimer>

#include <cstdlib>

namespace tolmere {
namespace {

using K = ControlKind;

constexpr int kGridMargin = 10;
constexpr int kBarTop = 142;     // dialog units: the find bar's row, the grid above it
constexpr int kHitListShare = 3; // the hit list takes a third of the width when shown

// Where the column widths a table was last shown with are kept, by its file name.
QString WidthsKey(const std::string& name) {
    return QStringLiteral("raw/") + QString::fromStdString(name) + QStringLiteral("/widths");
}

} // namespace

const DialogTemplate CRawEditDlg::kTemplate{
    110,
    "Raw Edit - with some not_so_raw feature",
    // Three rows under the grid, their texts with room to spare: a display's fonts can
    // run a little wider than the ones the layout was measured with.
    512,
    199,
    {
        {kRawApply, K::kSkinButton, "A&pply", 7, 174, 50, 14},
        {kRawCancel, K::kSkinButton, "&Cancel", 59, 174, 50, 14},
        {kRawNewRow, K::kSkinButton, "&New Row", 120, 174, 50, 14},
        {kDialogOk, K::kDrawnButton, "OK", 7, 174, 50, 14, kStyleHidden},
        {kDialogCancel, K::kDrawnButton, "Cancel", 59, 174, 50, 14, kStyleHidden},
        {kRawFindLabel, K::kStatic, "Find (Ctrl+F)", 7, 145, 54, 10},
        {kRawFind, K::kEdit, "", 63, 143, 80, 13},
        {kRawFindCase, K::kCheckBox, "Case", 146, 145, 36, 10},
        {kRawFindWhole, K::kCheckBox, "Whole", 184, 145, 42, 10},
        {kRawFindColumn, K::kCheckBox, "Column", 228, 145, 48, 10},
        {kRawFindRegex, K::kCheckBox, "Regex", 278, 145, 42, 10},
        {kRawHitCount, K::kStatic, "", 322, 145, 60, 10},
        {kRawListAll, K::kDrawnButton, "List all", 385, 143, 40, 13},
        {kRawReplaceLabel, K::kStatic, "Replace (Ctrl+H)", 7, 160, 70, 10},
        {kRawReplace, K::kEdit, "", 79, 158, 80, 13},
        {kRawReplaceAll, K::kDrawnButton, "Replace all", 162, 158, 48, 13},
        {kRawGoToLabel, K::kStatic, "Go to", 216, 160, 24, 10},
        {kRawGoTo, K::kEdit, "", 242, 158, 40, 13},
        {kRawCalcLabel, K::kStatic, "Calc", 288, 160, 20, 10},
        {kRawCalc, K::kEdit, "", 310, 158, 40, 13},
        {kRawFindFilter, K::kCheckBox, "Only hits", 356, 160, 54, 10},
        {kRawStatus, K::kStatic, "", 176, 176, 330, 10},
    }};

CRawEditDlg::CRawEditDlg(ProgramData& data, CTxtTable& table, std::string name, QWidget* parent)
    : CSkinDialog(kTemplate, parent), data_(data), table_(table), name_(std::move(name)) {
    OnCommand(kRawApply, [this] { OnApply(); });
    OnCommand(kRawCancel, [this] { CloseDiscarding(); });
    OnCommand(kRawNewRow, [this] { OnNewRow(); });
    OnCommand(kRawListAll, [this] {
        hitList_->setVisible(!hitList_->isVisible());
        FillHitList();
        PlaceGrid();
        grid_->ShowSelected(); // the list took room the hit may have been shown in
    });
    OnCommand(kRawReplaceAll, [this] { OnReplaceAll(); });
    MakeResizable(QStringLiteral("raw"),
                  {{kRawApply, kFollowBottom},      {kRawCancel, kFollowBottom},
                   {kRawNewRow, kFollowBottom},     {kDialogOk, kFollowBottom},
                   {kDialogCancel, kFollowBottom},  {kRawFindLabel, kFollowBottom},
                   {kRawFind, kFollowBottom},       {kRawFindCase, kFollowBottom},
                   {kRawFindWhole, kFollowBottom},  {kRawFindColumn, kFollowBottom},
                   {kRawFindRegex, kFollowBottom},  {kRawHitCount, kFollowBottom},
                   {kRawListAll, kFollowBottom},    {kRawReplaceLabel, kFollowBottom},
                   {kRawReplace, kFollowBottom},    {kRawReplaceAll, kFollowBottom},
                   {kRawGoToLabel, kFollowBottom},  {kRawGoTo, kFollowBottom},
                   {kRawCalcLabel, kFollowBottom},  {kRawCalc, kFollowBottom},
                   {kRawFindFilter, kFollowBottom}, {kRawStatus, kStretchAcrossBottom}});
}

CRawEditDlg::~CRawEditDlg() = default;

QString CRawEditDlg::StatusText() const {
    return ControlAs<QLabel>(kRawStatus)->text();
}

QString CRawEditDlg::LayoutNote() const {
    const auto* note = findChild<QLabel*>(QString::number(kRawLayoutNote));
    return note && !note->isHidden() ? note->text() : QString();
}

QString CRawEditDlg::HitCountText() const {
    return ControlAs<QLabel>(kRawHitCount)->text();
}

void CRawEditDlg::PlaceGrid() {
    const QRect client = ClientRect();
    const int bottomRoom = DialogUnitsY(kTemplate.cy - kBarTop) + kGridMargin / 2;
    QRect area(client.left() + kGridMargin, client.top() + kGridMargin,
               client.width() - 2 * kGridMargin, client.height() - kGridMargin - bottomRoom);
    auto* note = findChild<QLabel*>(QString::number(kRawLayoutNote));
    if (note && !note->isHidden()) {
        const int height = note->sizeHint().height();
        note->setGeometry(area.left(), area.top() - kGridMargin / 2, area.width(), height);
        area.setTop(area.top() - kGridMargin / 2 + height + 2);
    }
    if (hitList_ && hitList_->isVisible()) {
        const int listWidth = area.width() / kHitListShare;
        hitList_->setGeometry(area.right() - listWidth + 1, area.top(), listWidth, area.height());
        area.setWidth(area.width() - listWidth - kGridMargin / 2);
    }
    grid_->setGeometry(area);
}

void CRawEditDlg::RestoreWidths() {
    if (!CWindowSizing::Remembered())
        return;
    const QStringList widths = QSettings().value(WidthsKey(name_)).toString().split(u',');
    // Widths of another header (columns added or taken away) are not this table's.
    if (widths.size() != grid_->ColumnCount())
        return;
    // A hidden column's width is kept negative.
    for (int c = 0; c < grid_->ColumnCount(); ++c)
        if (const int width = widths[c].toInt(); width != 0) {
            grid_->SetColumnWidth(c, std::abs(width));
            grid_->SetColumnHidden(c, width < 0);
        }
}

void CRawEditDlg::SaveWidths() const {
    if (!CWindowSizing::Remembered() || grid_->ColumnCount() == 0)
        return;
    QStringList widths;
    for (int c = 0; c < grid_->ColumnCount(); ++c)
        widths.push_back(
            QString::number(grid_->ColumnAt(c)->width * (grid_->ColumnAt(c)->hidden ? -1 : 1)));
    QSettings().setValue(WidthsKey(name_), widths.join(u','));
}

void CRawEditDlg::FocusField(int id) {
    auto* field = ControlAs<QLineEdit>(id);
    field->setFocus();
    field->selectAll();
}

void CRawEditDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    grid_ = new CGriddor(this);
    grid_->setObjectName(QString::number(kRawGrid));
    // A header that fits no layout is still opened, so that the column can be renamed
    // back: the grid then needs no layout and says what is missing.
    layoutProblem_ = QString::fromStdString(RawLayoutProblem(table_, name_));
    auto* note = new QLabel(this);
    if (!layoutProblem_.isEmpty())
        note->setText(layoutProblem_ +
                      QStringLiteral(" No choosers; right-click a header to rename its column."));
    note->setObjectName(QString::number(kRawLayoutNote));
    note->setVisible(!layoutProblem_.isEmpty());
    hitList_ = new QListWidget(this);
    hitList_->setObjectName(QString::number(kRawHitList));
    hitList_->hide();
    connect(hitList_, &QListWidget::currentRowChanged, this, [this](int index) {
        if (index >= 0)
            grid_->GoToHit(index);
    });
    PlaceGrid();

    columns_ = RawColumnsFor(
        table_, {data_.baseLists, data_.modKeys, data_.game, data_.strings, data_.colours});
    for (std::int32_t c = 0; c < table_.ColumnCount(); ++c) {
        const RawColumn& raw = columns_[static_cast<std::size_t>(c)];
        GridColumn column;
        column.header = std::string(table_.HeaderCell(c).value_or(std::string_view()));
        column.width = raw.width;
        column.chooser = !raw.choices.empty();
        column.choices = raw.choices;
        column.tag = static_cast<int>(raw.kind);
        column.tip = raw.tip;
        grid_->AddColumn(column);
    }
    if (table_.ColumnCount() > 0)
        grid_->FinishColumns();
    RestoreWidths();
    for (std::int32_t r = 0; r < table_.DataRowCount(); ++r) {
        grid_->AddRow();
        for (std::int32_t c = 0; c < table_.ColumnCount(); ++c)
            grid_->SetCellText(r, c, std::string(table_.Text(r, c)));
    }
    grid_->ShowRowNumbers(true);
    grid_->SetEditHook([this](CGriddor&, int row, int column) { OnCellCommitted(row, column); });
    // A slot's parameter, min and max mean what its row's property makes of them.
    slotChoices_ = RawSlotChoices(
        table_, {data_.baseLists, data_.modKeys, data_.game, data_.strings, data_.colours});
    grid_->SetCellTipHook([this](int row, int column) {
        const RawColumn& raw = columns_[static_cast<std::size_t>(column)];
        return raw.slotCode < 0
                   ? std::string()
                   : SlotCellTip(slotChoices_, raw.slotPart, grid_->CellText(row, raw.slotCode));
    });
    connect(grid_, &CGriddor::selectionChanged, this,
            [this](int row, int column) { ShowSelection(row, column); });
    connect(grid_, &CGriddor::findRequested, this, [this] { FocusField(kRawFind); });
    connect(grid_, &CGriddor::replaceRequested, this, [this] { FocusField(kRawReplace); });
    connect(grid_, &CGriddor::goToRequested, this, [this] { FocusField(kRawGoTo); });
    connect(grid_, &CGriddor::pasteRequested, this, [this] { OnPaste(); });
    connect(grid_, &CGriddor::fillDownRequested, this, [this] { OnFillDown(); });
    connect(grid_, &CGriddor::viewSorted, this, [this] { RunFind(); });
    connect(grid_, &CGriddor::headerMenuRequested, this,
            [this](int column, const QPoint& global) { ShowHeaderMenu(column, global); });
    connect(grid_, &CGriddor::hitChanged, this, [this](int index) { ShowHit(index); });
    connect(grid_, &CGriddor::edited, this, [this] {
        if (!grid_->Hits().empty())
            RunFind();
    });
    connect(ControlAs<QLineEdit>(kRawFind), &QLineEdit::textChanged, this, [this] { RunFind(); });
    for (const int option :
         {kRawFindCase, kRawFindWhole, kRawFindColumn, kRawFindRegex, kRawFindFilter})
        connect(ControlAs<QCheckBox>(option), &QCheckBox::toggled, this, [this] { RunFind(); });
    grid_->show();
    grid_->setFocus();
    ShowSelection(grid_->SelectedRow(), grid_->SelectedColumn());
}

void CRawEditDlg::resizeEvent(QResizeEvent* event) {
    CSkinDialog::resizeEvent(event);
    if (grid_)
        PlaceGrid();
}

void CRawEditDlg::ShowSelection(int row, int column) {
    if (row < 0 || column < 0 || column >= table_.ColumnCount()) {
        ControlAs<QLabel>(kRawStatus)->clear();
        return;
    }
    const std::string header = grid_->ColumnAt(column)->header;
    QString text = QStringLiteral("Row %1, column %2 (%3)")
                       .arg(row + 1)
                       .arg(column + 1)
                       .arg(ScreenText(header, TextSource::kTableCell));
    const GridRange range = grid_->Selection();
    if (range.Height() * range.Width() > 1) {
        const SheetSummary sum = Summarise(grid_->ViewCells(), range);
        text += QStringLiteral("; %1 × %2 cells").arg(sum.rows).arg(sum.columns);
        if (sum.numbers > 0)
            text += QStringLiteral(", sum %1, %2 to %3")
                        .arg(QString::fromStdString(FormatNumberText(sum.sum)),
                             QString::fromStdString(FormatNumberText(sum.least)),
                             QString::fromStdString(FormatNumberText(sum.greatest)));
    }
    ControlAs<QLabel>(kRawStatus)->setText(text);
}

void CRawEditDlg::RunFind() {
    const QString text = ControlAs<QLineEdit>(kRawFind)->text();
    auto* count = ControlAs<QLabel>(kRawHitCount);
    const bool filter = ControlAs<QCheckBox>(kRawFindFilter)->isChecked();
    if (text.isEmpty()) {
        if (grid_->Filtered())
            grid_->FilterView(false);
        grid_->SetHits({});
        count->clear();
        FillHitList();
        return;
    }
    FindOptions options;
    options.matchCase = ControlAs<QCheckBox>(kRawFindCase)->isChecked();
    options.wholeCell = ControlAs<QCheckBox>(kRawFindWhole)->isChecked();
    options.regex = ControlAs<QCheckBox>(kRawFindRegex)->isChecked();
    if (ControlAs<QCheckBox>(kRawFindColumn)->isChecked())
        options.column = grid_->SelectedColumn();
    const CCellMatcher matcher(CellForms(text), options);
    if (!matcher.Error().empty()) {
        grid_->SetHits({});
        count->setText(QStringLiteral("Not valid"));
        count->setToolTip(QString::fromStdString(matcher.Error()));
        FillHitList();
        return;
    }
    count->setToolTip(QString());
    if (filter) {
        // Only the rows with a hit: a view; the table keeps its rows and their order.
        std::vector<int> rows;
        for (const GridCell& hit : FindAll(grid_->Model(), matcher))
            if (rows.empty() || rows.back() != hit.row)
                rows.push_back(hit.row);
        grid_->FilterView(true, rows);
    } else if (grid_->Filtered()) {
        grid_->FilterView(false);
    }
    grid_->SetHits(FindAll(grid_->ViewCells(), matcher));
    const auto& hits = grid_->Hits();
    count->setText(hits.empty() ? QStringLiteral("Not found")
                                : QStringLiteral("%1 found").arg(hits.size()));
    FillHitList();
}

void CRawEditDlg::ShowHit(int index) {
    ControlAs<QLabel>(kRawHitCount)
        ->setText(QStringLiteral("%1 of %2").arg(index + 1).arg(grid_->Hits().size()));
    if (hitList_->isVisible() && hitList_->currentRow() != index) {
        const QSignalBlocker quiet(hitList_);
        hitList_->setCurrentRow(index);
    }
}

void CRawEditDlg::FillHitList() {
    if (!hitList_->isVisible())
        return;
    const QSignalBlocker quiet(hitList_);
    hitList_->clear();
    // Row key, column name, text: what a modder scans the list for.
    for (const GridCell& hit : grid_->Hits()) {
        const int row = grid_->TableRow(hit.row);
        hitList_->addItem(
            QStringLiteral("%1 %2 · %3: %4")
                .arg(row + 1)
                .arg(ScreenText(grid_->CellText(row, 0), TextSource::kTableCell),
                     ScreenText(grid_->ColumnAt(hit.column)->header, TextSource::kTableCell),
                     ScreenText(grid_->CellText(row, hit.column), TextSource::kTableCell)));
    }
}

void CRawEditDlg::ShowHeaderMenu(int column, const QPoint& global) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Rename column…"), this,
                   [this, column] { RenameColumn(column); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Sort ascending"), this,
                   [this, column] { grid_->SortView(column, 1); });
    menu.addAction(QStringLiteral("Sort descending"), this,
                   [this, column] { grid_->SortView(column, -1); });
    menu.addAction(QStringLiteral("Table order"), this, [this] { grid_->SortView(-1, 0); });
    menu.addSeparator();
    QAction* freeze = menu.addAction(QStringLiteral("Freeze the first column"), this,
                                     [this](bool on) { grid_->SetFirstColumnFrozen(on); });
    freeze->setCheckable(true);
    freeze->setChecked(grid_->FirstColumnFrozen());
    menu.addAction(QStringLiteral("Freeze up to this column"), this,
                   [this, column] { grid_->SetFrozenColumns(column + 1); });
    menu.addAction(QStringLiteral("Unfreeze"), this, [this] { grid_->SetFrozenColumns(0); })
        ->setEnabled(grid_->FrozenColumns() > 0);
    if (column > 0)
        menu.addAction(QStringLiteral("Hide this column"), this,
                       [this, column] { grid_->SetColumnHidden(column, true); });
    QMenu* hidden = menu.addMenu(QStringLiteral("Show a hidden column"));
    for (int c = 1; c < grid_->ColumnCount(); ++c)
        if (grid_->ColumnAt(c)->hidden)
            hidden->addAction(ScreenText(grid_->ColumnAt(c)->header, TextSource::kTableCell), this,
                              [this, c] { grid_->SetColumnHidden(c, false); });
    hidden->setEnabled(!hidden->isEmpty());
    menu.exec(global);
}

void CRawEditDlg::RenameColumn(int column) {
    const std::string before = grid_->ColumnAt(column)->header;
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("Rename column"), QStringLiteral("Column name:"),
                              QLineEdit::Normal, ScreenText(before, TextSource::kTableCell), &ok);
    if (!ok)
        return;
    if (name.isEmpty() || name.contains(QLatin1Char('\t')) || name.contains(QLatin1Char('\n')) ||
        name.contains(QLatin1Char('\r'))) {
        GuideMsg("A column name is not empty and holds no tab or line break", kCaptionGuide);
        return;
    }
    const std::string bytes = StoredText(name, before, TextSource::kTableCell);
    grid_->SetColumnHeader(column, bytes);
    headers_[column] = bytes;
}

void CRawEditDlg::OnReplaceAll() {
    RunFind();
    const QString find = ControlAs<QLineEdit>(kRawFind)->text();
    if (find.isEmpty()) {
        FocusField(kRawFind);
        return;
    }
    FindOptions options;
    options.matchCase = ControlAs<QCheckBox>(kRawFindCase)->isChecked();
    options.wholeCell = ControlAs<QCheckBox>(kRawFindWhole)->isChecked();
    options.regex = ControlAs<QCheckBox>(kRawFindRegex)->isChecked();
    // In the selection when it is more than a cell; else in the column when asked; else
    // everywhere.
    GridRange scope = grid_->Selection();
    std::string where = "in the selection";
    if (scope.Height() * scope.Width() <= 1) {
        scope = {};
        where = "in the table";
        if (ControlAs<QCheckBox>(kRawFindColumn)->isChecked()) {
            options.column = grid_->SelectedColumn();
            where = "in column " + grid_->ColumnAt(options.column)->header;
        }
    }
    const CCellMatcher matcher(CellForms(find), options);
    const QString typed = ControlAs<QLineEdit>(kRawReplace)->text();
    const GridEditResult result = ReplaceAll(
        grid_->ViewCells(), matcher, {ToWindows1252OrUtf8(typed), typed.toStdString()}, scope);
    if (!result.Ok()) {
        GuideMsg(result.error, kCaptionGuide);
        return;
    }
    if (result.changes.empty()) {
        GuideMsg("Nothing to replace " + where, kCaptionGuide);
        return;
    }
    if (!GuideConfirm("Replace " + std::to_string(result.occurrences) + " times in " +
                      std::to_string(result.changes.size()) + " cells " + where + "?"))
        return;
    grid_->ApplyViewEdit(result, "Replace");
}

void CRawEditDlg::OnGoTo() {
    const std::string text = ToWindows1252OrUtf8(ControlAs<QLineEdit>(kRawGoTo)->text());
    // A row number as the status line counts them, or a row's key.
    int row = -1;
    if (const std::optional<double> number = SheetNumber(text);
        number && *number >= 1 && *number <= grid_->RowCount() && *number == int(*number))
        row = static_cast<int>(*number) - 1;
    for (int r = 0; row < 0 && r < grid_->RowCount(); ++r)
        if (grid_->CellText(r, 0) == text)
            row = r;
    if (row < 0) {
        ControlAs<QLabel>(kRawStatus)
            ->setText(QStringLiteral("No row ") + ControlAs<QLineEdit>(kRawGoTo)->text());
        return;
    }
    grid_->Select(row, grid_->SelectedColumn());
    grid_->setFocus();
}

void CRawEditDlg::OnCalc() {
    std::string error;
    const std::optional<CalcOperation> op =
        ParseCalc(ControlAs<QLineEdit>(kRawCalc)->text().trimmed().toStdString(), error);
    if (!op) {
        GuideMsg(error, kCaptionGuide);
        return;
    }
    const GridEditResult result = Calculate(grid_->ViewCells(), grid_->Selection(), *op);
    grid_->ApplyViewEdit(result, "Calculate");
    QString said = QStringLiteral("%1 cells changed").arg(result.changes.size());
    if (result.skipped > 0)
        said += QStringLiteral("; %1 without a number left alone").arg(result.skipped);
    ControlAs<QLabel>(kRawStatus)->setText(said);
    grid_->setFocus();
}

void CRawEditDlg::OnPaste() {
    const std::string clipboard = QGuiApplication::clipboard()->text().toStdString();
    CellBlock block = DecodeTsv(clipboard);
    const GridRange selection = grid_->Selection();
    // Cells come as the screen shows them; each keeps the bytes of the cell it lands on
    // when its text is that cell's.
    for (std::size_t r = 0; r < block.size(); ++r)
        for (std::size_t c = 0; c < block[r].size(); ++c) {
            std::string& cell = block[r][c];
            if (cell.find_first_of("\t\r\n") != std::string::npos) {
                GuideMsg("A cell cannot hold a tab or a line break", kCaptionGuide);
                return;
            }
            cell = StoredText(QString::fromStdString(cell),
                              grid_->ViewCells().SheetText(selection.top + static_cast<int>(r),
                                                           selection.left + static_cast<int>(c)),
                              TextSource::kTableCell);
        }
    const GridEditResult result =
        PasteBlock(grid_->ViewCells(), {selection.top, selection.left}, block, selection);
    if (!result.Ok()) {
        GuideMsg(result.error, kCaptionGuide);
        return;
    }
    if (result.rowsToAdd > 0 &&
        !GuideConfirm("The block reaches " + std::to_string(result.rowsToAdd) +
                      " rows past the last row. Add them?"))
        return;
    grid_->ApplyViewEdit(result, "Paste");
}

void CRawEditDlg::OnFillDown() {
    const GridEditResult result = FillDown(grid_->ViewCells(), grid_->Selection());
    if (!result.Ok())
        GuideMsg(result.error, kCaptionGuide);
    else
        grid_->ApplyViewEdit(result, "Fill down");
}

void CRawEditDlg::OnCellCommitted(int row, int column) {
    if (column < 0 || column >= static_cast<int>(columns_.size()))
        return;
    const RawColumn& raw = columns_[static_cast<std::size_t>(column)];
    const std::string text = grid_->CellText(row, column);
    if (raw.kind == ChoiceKind::kNameKey) {
        if (text.empty() || !GuideConfirm("Care to patch '" + text + "' in string table?") ||
            !NamesWritable(data_))
            return;
        const CEntryRecorder recorder(data_.strings.Patch(), {text});
        CNameDlg names(data_.strings, text, std::string(), this);
        if (names.RunModal() != kDialogOk)
            return;
        EditStep step;
        step.name = "Rename " + text;
        recorder.Finish(step);
        data_.history.Push(std::move(step));
        return;
    }
    const RawPick pick = PickChoice(raw.kind, text);
    if (pick.cell != text)
        grid_->SetCellText(row, column, pick.cell);
    // The base item's name goes only where the layout keeps it; nowhere else.
    if (pick.writesName && raw.nameColumn >= 0)
        grid_->SetCellText(row, raw.nameColumn, pick.name);
}

void CRawEditDlg::OnNewRow() {
    const int from = grid_->SelectedRow();
    if (grid_->ColumnCount() == 0)
        return;
    // A copy of the selected row, appended: one step of the grid's undo.
    GridEditResult result;
    result.rowsToAdd = 1;
    const int to = grid_->RowCount();
    for (int c = 0; from >= 0 && from < to && c < grid_->ColumnCount(); ++c)
        result.changes.push_back({to, c, grid_->CellText(from, c)});
    grid_->ApplyEdit(result, "New Row");
}

bool CRawEditDlg::GridChanged() const {
    if (grid_->RowCount() != table_.DataRowCount())
        return true;
    for (const auto& [column, name] : headers_)
        if (table_.HeaderCell(column) != std::string_view(name))
            return true;
    for (int r = 0; r < grid_->RowCount(); ++r)
        for (int c = 0; c < grid_->ColumnCount(); ++c)
            if (grid_->CellChanged(r, c) && grid_->CellText(r, c) != table_.Text(r, c))
                return true;
    return false;
}

void CRawEditDlg::OnApply() {
    if (grid_->Editing())
        grid_->EndEdit();
    RawEdits edits;
    edits.rows = grid_->RowCount();
    edits.headers = headers_;
    for (int r = 0; r < grid_->RowCount(); ++r) {
        const bool added = r >= table_.DataRowCount();
        for (int c = 0; c < grid_->ColumnCount(); ++c) {
            // Only what the grid changed goes back: an untouched cell keeps its bytes.
            if (added || grid_->CellChanged(r, c))
                edits.cells[{r, c}] = grid_->CellText(r, c);
        }
    }
    SaveWidths();
    EditStep step;
    step.name = "Raw edit of " + name_;
    ApplyRawEdits(table_, edits, step);
    data_.history.Push(std::move(step));
    done(kDialogOk);
}

void CRawEditDlg::CloseDiscarding() {
    if (grid_->Editing())
        grid_->EndEdit();
    if (GridChanged() && !GuideConfirm("Discard the changes made in the grid?"))
        return;
    SaveWidths();
    done(kDialogCancel);
}

void CRawEditDlg::OnOK() {
    // Enter in the find box finds; anywhere else it hands the focus back to the grid,
    // which commits an open edit.
    auto* find = ControlAs<QLineEdit>(kRawFind);
    if (focusWidget() == find) {
        // Enter and Shift+Enter go round the hits.
        if (grid_->Hits().empty())
            RunFind();
        grid_->NextHit(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
        return;
    }
    if (focusWidget() == ControlAs<QLineEdit>(kRawReplace)) {
        OnReplaceAll();
        return;
    }
    if (focusWidget() == ControlAs<QLineEdit>(kRawGoTo)) {
        OnGoTo();
        return;
    }
    if (focusWidget() == ControlAs<QLineEdit>(kRawCalc)) {
        OnCalc();
        return;
    }
    QWidget* focused = focusWidget();
    if (focused && focused->parentWidget() && focused->parentWidget() != this)
        focused->parentWidget()->setFocus();
}

void CRawEditDlg::OnCancel() {
    CloseDiscarding();
}

void CRawEditDlg::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the window: it hands the focus back, as Enter does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        QWidget* focused = focusWidget();
        if (focused && focused->parentWidget() && focused->parentWidget() != this)
            focused->parentWidget()->setFocus();
        else if (grid_)
            grid_->setFocus();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods == Qt::ControlModifier) {
        const struct {
            int key, field;
        } fields[] = {{Qt::Key_F, kRawFind}, {Qt::Key_H, kRawReplace}, {Qt::Key_G, kRawGoTo}};
        for (const auto& f : fields)
            if (event->key() == f.key) {
                FocusField(f.field);
                return;
            }
    }
    if (event->key() == Qt::Key_F3 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        if (grid_->Hits().empty())
            RunFind();
        grid_->NextHit(mods == Qt::ShiftModifier);
        return;
    }
    CSkinDialog::keyPressEvent(event);
}

bool RunRawEdit(ProgramData& data, CTxtTable& table, const std::string& name,
                const std::function<bool()>& loadLists, QWidget* parent, int row, int column) {
    if (!data.baseLists.Loaded() && !loadLists()) {
        GuideMsg("Unable to load list resources", kCaptionGuide);
        return false;
    }
    CRawEditDlg dialog(data, table, name, parent);
    // Once the dialog runs, when its grid is there.
    if (row >= 0 && column >= 0)
        QTimer::singleShot(0, &dialog,
                           [&dialog, row, column] { dialog.Grid()->Select(row, column); });
    return dialog.RunModal() == kDialogOk;
}

} // namespace tolmere
