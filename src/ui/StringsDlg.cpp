// SPDX-License-Identifier: MIT
#include "ui/StringsDlg.h"

#include "base/Guide.h"
#include "strings/ColourRuns.h"
#include "tables/BinFile.h"
#include "tables/SafeWriter.h"
#include "tables/StrTblText.h"
#include "ui/FileDialogs.h"
#include "ui/ScreenText.h"
#include "ui/StringsModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QShortcut>
#include <QTableView>
#include <QTreeWidget>

namespace tolmere {
namespace {

using K = ControlKind;

const char kTextFilter[] = "Text (*.txt)|*.txt|All Files(*.*)|*.*||";

QString Bytes(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

} // namespace

const DialogTemplate CStringsDlg::kTemplate{
    113,
    "Strings",
    440,
    266,
    {
        {kStringsFind, K::kEdit, "", 7, 7, 206, 12},
        {kStringsTableFilter, K::kDropDownList, "", 217, 7, 100, 12},
        {kStringsShow, K::kDropDownList, "", 321, 7, 112, 12},
        {kStringsListPlace, K::kStatic, "", 7, 23, 426, 150},
        {kNoControlId, K::kStatic, "Key", 7, 179, 18, 8},
        {kStringsKey, K::kEdit, "", 27, 177, 110, 12},
        {kNoControlId, K::kStatic, "Text", 141, 179, 18, 8},
        {kStringsText, K::kEdit, "", 161, 177, 182, 12},
        {kStringsColour, K::kDropDownList, "", 347, 177, 50, 12},
        {kStringsApply, K::kSkinButton, "A&pply", 401, 177, 32, 13},
        {kNoControlId, K::kStatic, "Used by (a click goes there)", 7, 194, 150, 8},
        {kStringsUses, K::kTreeView, "", 7, 203, 300, 44},
        {kStringsAdd, K::kSkinButton, "&Add", 311, 194, 40, 13},
        {kStringsDelete, K::kSkinButton, "&Delete", 353, 194, 40, 13},
        {kStringsRevert, K::kSkinButton, "&Revert", 395, 194, 38, 13},
        {kStringsImport, K::kSkinButton, "&Import .txt", 311, 210, 60, 13},
        {kStringsExport, K::kSkinButton, "&Export .txt", 373, 210, 60, 13},
        {kStringsClose, K::kSkinButton, "&Close", 373, 234, 60, 13},
        {kStringsStatus, K::kStatic, "", 7, 252, 360, 10},
    }};

CStringsDlg::CStringsDlg(ProgramData& data, GoTo goTo, QWidget* parent)
    : CSkinDialog(kTemplate, parent), data_(data), goTo_(std::move(goTo)) {
    QWidget* place = Control(kStringsListPlace);
    place->hide();
    model_ = new CStringsModel(this);
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("stringsList"));
    view_->setGeometry(place->geometry());
    view_->setModel(model_);
    view_->setItemDelegateForColumn(CStringsModel::kText, new CColourTextDelegate(view_));
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view_->setSortingEnabled(true);
    view_->sortByColumn(-1, Qt::AscendingOrder);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setWordWrap(false);
    // The game draws its texts on black; its colour codes read as they do there.
    view_->setStyleSheet(QStringLiteral(
        "QTableView { background: black; color: rgb(196, 196, 196); gridline-color: #303030; "
        "selection-background-color: #2c3e66; selection-color: white; }"));
    FollowGrowth(view_, kStretch);
    // The selection model stays the same through the model's resets. A click moves the
    // current row before it selects, so the details follow the selection.
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnSelection(); });
    model_->onEdit = [this](const std::string& key, const QString& typed) {
        return EditInPlace(key, typed);
    };

    auto* tables = ControlAs<QComboBox>(kStringsTableFilter);
    tables->addItem(QStringLiteral("All tables"));
    for (StringSource source : CStringTables::kLookupOrder)
        tables->addItem(QString::fromLatin1(CStringTables::FileName(source)));
    auto* show = ControlAs<QComboBox>(kStringsShow);
    show->addItems({QStringLiteral("All keys"), QStringLiteral("Used by the item tables"),
                    QStringLiteral("Duplicates and gaps")});
    auto* colours = ControlAs<QComboBox>(kStringsColour);
    colours->addItem(QStringLiteral("Colour"));
    for (const NameColour* colour : PaletteColours()) {
        QPixmap swatch(12, 12);
        swatch.fill(QColor(colour->red, colour->green, colour->blue));
        colours->addItem(QIcon(swatch), QStringLiteral("\u00ffc%1 %2")
                                            .arg(QString(QLatin1Char(colour->code)),
                                                 QString::fromLatin1(colour->name)));
    }
    ControlAs<QLineEdit>(kStringsFind)
        ->setPlaceholderText(QStringLiteral("Find a key or a text, any case (Ctrl+F)"));
    ControlAs<QLineEdit>(kStringsText)
        ->setToolTip(QStringLiteral("\\n is a line break, \\t a TAB, \\\\ a backslash"));

    for (const auto& [id, what] : std::initializer_list<std::pair<int, const char*>>{
             {kStringsApply, "Write the text into patchstring.tbl (Enter)"},
             {kStringsAdd, "Add the key with the text to patchstring.tbl"},
             {kStringsDelete, "Remove the key from patchstring.tbl; a lower table's text "
                              "shows again"},
             {kStringsRevert, "Go back to the lower table's text"},
             {kStringsImport, "Make patchstring.tbl hold the entries of a text file "
                              "(key TAB text per line)"},
             {kStringsExport, "Save patchstring.tbl as text, key TAB text per line"},
         })
        DescribeControl(this, id, what);
    MakeResizable(QStringLiteral("strings"), {{kStringsFind, kStretchAcross},
                                              {kStringsTableFilter, kFollowRight},
                                              {kStringsShow, kFollowRight},
                                              {kStringsKey, kFollowBottom},
                                              {kStringsText, kStretchAcrossBottom},
                                              {kStringsColour, kFollowCorner},
                                              {kStringsApply, kFollowCorner},
                                              {kStringsUses, kStretchAcrossBottom},
                                              {kStringsAdd, kFollowCorner},
                                              {kStringsDelete, kFollowCorner},
                                              {kStringsRevert, kFollowCorner},
                                              {kStringsImport, kFollowCorner},
                                              {kStringsExport, kFollowCorner},
                                              {kStringsClose, kFollowCorner},
                                              {kStringsStatus, kStretchAcrossBottom}});
    // The labels without ids keep their places; the two below the list go with it.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->objectName() == ControlName(kNoControlId))
            FollowGrowth(label, kFollowBottom);
    }

    OnCommand(kStringsApply, [this] { OnApply(); });
    OnCommand(kStringsAdd, [this] { OnAdd(); });
    OnCommand(kStringsDelete, [this] { OnDelete(); });
    OnCommand(kStringsRevert, [this] { OnRevert(); });
    OnCommand(kStringsImport, [this] { OnImport(); });
    OnCommand(kStringsExport, [this] { OnExport(); });
    connect(ControlAs<QLineEdit>(kStringsFind), &QLineEdit::textChanged, this,
            [this] { Refilter(); });
    for (int id : {kStringsTableFilter, kStringsShow})
        connect(ControlAs<QComboBox>(id), &QComboBox::currentIndexChanged, this,
                [this] { Refilter(); });
    connect(colours, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { OnColour(index); });
    ControlAs<QTreeWidget>(kStringsUses)->setRootIsDecorated(false);
    connect(ControlAs<QTreeWidget>(kStringsUses), &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OnUse(item); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this,
            [this] { ControlAs<QLineEdit>(kStringsFind)->setFocus(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this), &QShortcut::activated, this,
            [this] { OnUndoRedo(false); });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this] { OnUndoRedo(true); });
}

void CStringsDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    Rebuild(std::string());
    view_->setColumnWidth(CStringsModel::kKey, view_->width() / 4);
    view_->setColumnWidth(CStringsModel::kText, view_->width() * 2 / 5);
    view_->setColumnWidth(CStringsModel::kTable, 24 + view_->fontMetrics().horizontalAdvance(
                                                          QStringLiteral("expansionstring.tbl")));
    ControlAs<QLineEdit>(kStringsFind)->setFocus();
}

QString CStringsDlg::StatusText() const {
    return ControlAs<QLabel>(kStringsStatus)->text();
}

void CStringsDlg::SetStatus(const QString& text) {
    ControlAs<QLabel>(kStringsStatus)->setText(text);
}

StringFilter CStringsDlg::CurrentFilter() const {
    StringFilter filter;
    filter.query = ControlAs<QLineEdit>(kStringsFind)->text().toStdString();
    const int table = ControlAs<QComboBox>(kStringsTableFilter)->currentIndex();
    if (table > 0)
        filter.source = CStringTables::kLookupOrder[static_cast<std::size_t>(table - 1)];
    const int show = ControlAs<QComboBox>(kStringsShow)->currentIndex();
    filter.usedOnly = show == 1;
    filter.problemsOnly = show == 2;
    return filter;
}

void CStringsDlg::Rebuild(const std::string& key) {
    const GameTables& game = data_.gameTables;
    usage_.Build(UsageSources(
        {&data_.uniqueItems, &data_.setItems, &data_.sets, &game.itemStatCost, &game.skillDesc}));
    list_.Build(data_.strings, &usage_);
    shown_.clear();
    shownFilter_ = StringFilter();
    shownFilter_.query = "\x01"; // matches nothing typed, so the next filter starts afresh
    Refilter();
    if (!key.empty())
        SelectKey(key);
}

void CStringsDlg::Refilter() {
    const std::string selected = SelectedKey();
    const StringFilter filter = CurrentFilter();
    // Typing on narrows what the last keystroke found.
    const bool narrows =
        filter.source == shownFilter_.source && filter.usedOnly == shownFilter_.usedOnly &&
        filter.problemsOnly == shownFilter_.problemsOnly &&
        filter.query.size() > shownFilter_.query.size() &&
        filter.query.compare(0, shownFilter_.query.size(), shownFilter_.query) == 0;
    shown_ = list_.Filter(filter, narrows ? &shown_ : nullptr);
    shownFilter_ = filter;
    model_->Show(list_, &usage_, shown_);
    const int row = selected.empty() ? -1 : model_->ViewRowOf(selected);
    if (row >= 0)
        view_->selectRow(row);
    const std::size_t missing = usage_.Missing(data_.strings).size();
    SetStatus(QStringLiteral("%1 of %2 keys shown").arg(shown_.size()).arg(list_.Rows().size()) +
              (missing ? QStringLiteral("; %1 used by the item tables are in no table").arg(missing)
                       : QString()));
    OnSelection();
}

bool CStringsDlg::SelectKey(const std::string& key) {
    int row = model_->ViewRowOf(key);
    if (row < 0 && list_.RowOf(key) >= 0) {
        ControlAs<QLineEdit>(kStringsFind)->clear();
        ControlAs<QComboBox>(kStringsTableFilter)->setCurrentIndex(0);
        ControlAs<QComboBox>(kStringsShow)->setCurrentIndex(0);
        row = model_->ViewRowOf(key);
    }
    if (row < 0)
        return false;
    view_->selectRow(row);
    view_->scrollTo(model_->index(row, 0));
    OnSelection();
    return true;
}

std::string CStringsDlg::SelectedKey() const {
    if (!view_->selectionModel())
        return std::string();
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    const StringRow* row = rows.isEmpty() ? nullptr : model_->RowAt(rows.front().row());
    return row ? std::string(row->key) : std::string();
}

void CStringsDlg::OnSelection() {
    const std::string key = SelectedKey();
    auto* uses = ControlAs<QTreeWidget>(kStringsUses);
    uses->clear();
    uses_.clear();
    if (key.empty())
        return;
    const std::ptrdiff_t at = list_.RowOf(key);
    const StringRow& row = list_.Rows()[static_cast<std::size_t>(at)];
    ControlAs<QLineEdit>(kStringsKey)->setText(ScreenText(key, TextSource::kStringTable));
    ControlAs<QLineEdit>(kStringsText)->setText(CStringsModel::OneLine(row.text));
    uses_ = usage_.Uses(key);
    for (const StringUse& use : uses_) {
        auto* item = new QTreeWidgetItem(uses);
        item->setText(0,
                      QStringLiteral("%1, row %2 (%3): %4")
                          .arg(Bytes(use.table))
                          .arg(use.row)
                          .arg(Bytes(use.column), ScreenText(use.rowKey, TextSource::kTableCell)));
    }
    if (uses_.empty())
        new QTreeWidgetItem(uses, {QStringLiteral("No row of the item tables uses this key")});
}

void CStringsDlg::Take(StringEditResult result, const std::string& key) {
    if (!result.done) {
        GuideMsg(result.message, kCaptionGuide);
        return;
    }
    const bool changed = !result.step.Empty();
    const std::string name = result.step.name;
    data_.history.Push(std::move(result.step));
    changed_ = changed_ || changed;
    Rebuild(key);
    SetStatus(Bytes(result.message.empty() ? (changed ? name : std::string("Nothing changed"))
                                           : result.message));
}

bool CStringsDlg::TypedText(const QString& typed, const std::string& key, std::string& text) {
    const CStringTables::Found found = data_.strings.Lookup(key);
    const std::string original = found.entry ? EscapeOnOneLine(found.entry->text) : std::string();
    const std::string stored = StoredText(typed, original, TextSource::kStringTable);
    if (UnescapeOneLine(stored, text))
        return true;
    GuideMsg("A backslash in the text starts \\n (a line break), \\t (a TAB), \\r or \\\\ (a "
             "backslash); write \\\\ for a backslash of its own",
             kCaptionGuide);
    return false;
}

bool CStringsDlg::EditInPlace(const std::string& key, const QString& typed) {
    std::string text;
    if (!TypedText(typed, key, text))
        return false;
    // Deferred: the edit rebuilds the model that is still finishing its editor.
    QMetaObject::invokeMethod(
        this, [this, key, text] { Take(SetString(data_.strings, key, text), key); },
        Qt::QueuedConnection);
    return true;
}

std::string CStringsDlg::TypedKey() const {
    // The selected key's own bytes while the box shows it, even where they are not UTF-8.
    return StoredText(ControlAs<QLineEdit>(kStringsKey)->text(), SelectedKey(),
                      TextSource::kStringTable);
}

void CStringsDlg::OnApply() {
    const std::string key = TypedKey();
    std::string text;
    if (!TypedText(ControlAs<QLineEdit>(kStringsText)->text(), key, text))
        return;
    Take(SetString(data_.strings, key, text), key);
}

void CStringsDlg::OnAdd() {
    const std::string key = TypedKey();
    std::string text;
    if (!TypedText(ControlAs<QLineEdit>(kStringsText)->text(), key, text))
        return;
    Take(AddString(data_.strings, key, text), key);
}

void CStringsDlg::OnDelete() {
    const std::string key = SelectedKey();
    if (!key.empty())
        Take(DeleteString(data_.strings, key), key);
}

void CStringsDlg::OnRevert() {
    const std::string key = SelectedKey();
    if (!key.empty())
        Take(RevertString(data_.strings, key), key);
}

void CStringsDlg::OnImport() {
    FileDialogRequest request;
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QString::fromLatin1(kTextFilter);
    const std::optional<QString> file = AskFileName(this, request);
    if (!file)
        return;
    std::string bytes, error;
    if (!ReadWholeFile(file->toStdString(), bytes, error, CStrTbl::kMaxFileBytes)) {
        GuideMsg("Cannot read " + file->toStdString() + ":\n" + error, kCaptionGuide);
        return;
    }
    const std::string selected = SelectedKey(); // before the import rewrites the table
    StringEditResult result = ImportPatchText(data_.strings, bytes);
    if (!result.done)
        result.message = file->toStdString() + ":\n" + result.message;
    Take(std::move(result), selected);
}

void CStringsDlg::OnExport() {
    FileDialogRequest request;
    request.save = true;
    request.defaultSuffix = QStringLiteral("txt");
    request.defaultName = QStringLiteral("patchstring.txt");
    request.filter = QString::fromLatin1(kTextFilter);
    const std::optional<QString> file = AskFileName(this, request);
    if (!file)
        return;
    std::string error;
    if (!WriteFileSafely(file->toStdString(), ExportPatchText(data_.strings.Patch()), &error)) {
        GuideMsg("Cannot write " + file->toStdString() + ":\n" + error, kCaptionGuide);
        return;
    }
    SetStatus(QStringLiteral("patchstring.tbl saved as text in %1").arg(*file));
}

void CStringsDlg::OnColour(int index) {
    auto* colours = ControlAs<QComboBox>(kStringsColour);
    colours->setCurrentIndex(0);
    const std::vector<const NameColour*> palette = PaletteColours();
    if (index < 1 || index > static_cast<int>(palette.size()))
        return;
    auto* text = ControlAs<QLineEdit>(kStringsText);
    text->insert(Bytes(ColourCode(*palette[static_cast<std::size_t>(index - 1)])));
    text->setFocus();
}

void CStringsDlg::OnUndoRedo(bool redo) {
    // Taken before the step: the list's keys point into the tables the step rewrites.
    const std::string selected = SelectedKey();
    const EditStep* step = redo ? data_.history.Redo() : data_.history.Undo();
    if (!step)
        return;
    changed_ = true;
    const std::string name = step->name;
    Rebuild(selected);
    SetStatus(Bytes((redo ? "Redone: " : "Undone: ") + name));
}

void CStringsDlg::OnUse(QTreeWidgetItem* item) {
    auto* uses = ControlAs<QTreeWidget>(kStringsUses);
    const int at = uses->indexOfTopLevelItem(item);
    if (at < 0 || at >= static_cast<int>(uses_.size()))
        return;
    const StringUse& use = uses_[static_cast<std::size_t>(at)];
    if (goTo_ && goTo_(use)) {
        done(kDialogOk);
        return;
    }
    SetStatus(QStringLiteral("%1 rows are not shown in this window").arg(Bytes(use.table)));
}

void CStringsDlg::OnOK() {
    if (ControlAs<QLineEdit>(kStringsText)->hasFocus() ||
        ControlAs<QLineEdit>(kStringsKey)->hasFocus())
        OnApply();
}

bool RunStrings(ProgramData& data, const CStringsDlg::GoTo& goTo, QWidget* parent) {
    CStringsDlg dialog(data, goTo, parent);
    dialog.RunModal();
    return dialog.Changed();
}

} // namespace tolmere
