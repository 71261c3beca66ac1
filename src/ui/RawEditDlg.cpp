// SPDX-License-Identifier: MIT
#include "ui/RawEditDlg.h"

#include "base/Guide.h"
#include "ui/Griddor.h"
#include "ui/MainWindow.h"
#include "ui/NameDlg.h"
#include "ui/ScreenText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace tolmere {
namespace {

using K = ControlKind;

constexpr int kGridMargin = 10;
constexpr int kGridBottomRoom = 55;

} // namespace

const DialogTemplate CRawEditDlg::kTemplate{
    110,
    "Raw Edit - with some not_so_raw feature",
    512,
    199,
    {
        {kRawApply, K::kSkinButton, "A&pply", 7, 172, 50, 14},
        {kRawCancel, K::kSkinButton, "&Cancel", 59, 172, 50, 14},
        {kRawNewRow, K::kSkinButton, "&New Row", 120, 172, 50, 14},
        {kDialogOk, K::kDrawnButton, "OK", 7, 172, 50, 14, kStyleHidden},
        {kDialogCancel, K::kDrawnButton, "Cancel", 59, 172, 50, 14, kStyleHidden},
        {kRawStatus, K::kStatic, "", 180, 175, 190, 10},
        {kRawFindLabel, K::kStatic, "Find (Ctrl+F)", 378, 175, 50, 10},
        {kRawFind, K::kEdit, "", 430, 173, 75, 13},
    }};

CRawEditDlg::CRawEditDlg(ProgramData& data, CTxtTable& table, std::string name, QWidget* parent)
    : CSkinDialog(kTemplate, parent), data_(data), table_(table), name_(std::move(name)) {
    OnCommand(kRawApply, [this] { OnApply(); });
    OnCommand(kRawCancel, [this] { CloseDiscarding(); });
    OnCommand(kRawNewRow, [this] { OnNewRow(); });
    MakeResizable(QStringLiteral("raw"), {{kRawApply, kFollowBottom},
                                          {kRawCancel, kFollowBottom},
                                          {kRawNewRow, kFollowBottom},
                                          {kDialogOk, kFollowBottom},
                                          {kDialogCancel, kFollowBottom},
                                          {kRawStatus, kStretchAcrossBottom},
                                          {kRawFindLabel, kFollowCorner},
                                          {kRawFind, kFollowCorner}});
}

CRawEditDlg::~CRawEditDlg() = default;

QString CRawEditDlg::StatusText() const {
    return ControlAs<QLabel>(kRawStatus)->text();
}

void CRawEditDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    grid_ = new CGriddor(this);
    grid_->setObjectName(QString::number(kRawGrid));
    const QRect client = ClientRect();
    grid_->setGeometry(client.left() + kGridMargin, client.top() + kGridMargin,
                       client.width() - 2 * kGridMargin, client.height() - kGridBottomRoom);

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
        grid_->AddColumn(column);
    }
    if (table_.ColumnCount() > 0)
        grid_->FinishColumns();
    for (std::int32_t r = 0; r < table_.DataRowCount(); ++r) {
        grid_->AddRow();
        for (std::int32_t c = 0; c < table_.ColumnCount(); ++c)
            grid_->SetCellText(r, c, std::string(table_.Text(r, c)));
    }
    grid_->SetEditHook([this](CGriddor&, int row, int column) { OnCellCommitted(row, column); });
    connect(grid_, &CGriddor::selectionChanged, this,
            [this](int row, int column) { ShowSelection(row, column); });
    connect(grid_, &CGriddor::findRequested, this, [this] {
        auto* find = ControlAs<QLineEdit>(kRawFind);
        find->setFocus();
        find->selectAll();
    });
    grid_->show();
    grid_->setFocus();
    ShowSelection(grid_->SelectedRow(), grid_->SelectedColumn());
}

void CRawEditDlg::resizeEvent(QResizeEvent* event) {
    CSkinDialog::resizeEvent(event);
    if (!grid_)
        return;
    const QRect client = ClientRect();
    grid_->setGeometry(client.left() + kGridMargin, client.top() + kGridMargin,
                       client.width() - 2 * kGridMargin, client.height() - kGridBottomRoom);
}

void CRawEditDlg::ShowSelection(int row, int column) {
    if (row < 0 || column < 0 || column >= table_.ColumnCount()) {
        ControlAs<QLabel>(kRawStatus)->clear();
        return;
    }
    const std::string header(table_.HeaderCell(column).value_or(std::string_view()));
    ControlAs<QLabel>(kRawStatus)
        ->setText(QStringLiteral("Row %1, column %2 (%3)")
                      .arg(row + 1)
                      .arg(column + 1)
                      .arg(ScreenText(header, TextSource::kTableCell)));
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
    grid_->AddRow();
    ++addedRows_;
    const int to = grid_->RowCount() - 1;
    for (int c = 0; from >= 0 && from < to && c < grid_->ColumnCount(); ++c)
        grid_->SetCellText(to, c, grid_->CellText(from, c));
    grid_->viewport()->update();
}

bool CRawEditDlg::GridChanged() const {
    if (addedRows_ > 0)
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
    for (int r = 0; r < grid_->RowCount(); ++r) {
        const bool added = r >= table_.DataRowCount();
        for (int c = 0; c < grid_->ColumnCount(); ++c) {
            // Only what the grid changed goes back: an untouched cell keeps its bytes.
            if (added || grid_->CellChanged(r, c))
                edits.cells[{r, c}] = grid_->CellText(r, c);
        }
    }
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
    done(kDialogCancel);
}

void CRawEditDlg::OnOK() {
    // Enter in the find box finds; anywhere else it hands the focus back to the grid,
    // which commits an open edit.
    auto* find = ControlAs<QLineEdit>(kRawFind);
    if (find->hasFocus()) {
        if (!find->text().isEmpty() && !grid_->Find(find->text()))
            ControlAs<QLabel>(kRawStatus)->setText(QStringLiteral("Not found: ") + find->text());
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
    if (event->key() == Qt::Key_F && event->modifiers() == Qt::ControlModifier) {
        auto* find = ControlAs<QLineEdit>(kRawFind);
        find->setFocus();
        find->selectAll();
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
