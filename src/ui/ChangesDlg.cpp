// SPDX-License-Identifier: MIT
#include "ui/ChangesDlg.h"

#include "ui/FileDialogs.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QTreeWidget>

namespace tolmere {
namespace {

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a line's column field says, in words.
QString ChangeName(const ChangeLine& line) {
    switch (line.kind) {
    case ChangeKind::kCell:
        return FromBytes(line.column);
    case ChangeKind::kRowAdded:
        return QStringLiteral("(added)");
    case ChangeKind::kRowRemoved:
        return QStringLiteral("(removed)");
    case ChangeKind::kRowMoved:
        return QStringLiteral("(moved)");
    case ChangeKind::kModifier:
        return QStringLiteral("modifier");
    case ChangeKind::kText:
        return QStringLiteral("name");
    case ChangeKind::kEntryAdded:
        return QStringLiteral("name (added)");
    case ChangeKind::kEntryRemoved:
        return QStringLiteral("name (removed)");
    }
    return QString();
}

} // namespace

const DialogTemplate CChangesDlg::kTemplate{
    120,
    "Changes",
    340,
    220,
    {
        {kChangesBase, ControlKind::kDropDownList, "", 7, 7, 200, 12},
        {kChangesSummary, ControlKind::kStatic, "", 7, 23, 326, 10},
        {kChangesList, ControlKind::kTreeView, "", 7, 36, 326, 158},
        {kChangesOk, ControlKind::kSkinButton, "OK", 145, 200, 50, 14},
    }};

CChangesDlg::CChangesDlg(QWidget* parent, const CArchiveBridge* bridge, ChangesRequest request,
                         GoToFn goTo)
    : CSkinDialog(kTemplate, parent), bridge_(bridge), request_(std::move(request)),
      goTo_(std::move(goTo)) {
    MakeResizable(QStringLiteral("changes"), {{kChangesSummary, kStretchAcross},
                                              {kChangesList, kStretch},
                                              {kChangesOk, Growth{0.5, 0, 1, 0}}});
}

void CChangesDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    auto* base = ControlAs<QComboBox>(kChangesBase);
    base->addItems({QStringLiteral("Against patch_d2.mpq"),
                    QStringLiteral("Against the game's own (d2exp.mpq, d2data.mpq)"),
                    QStringLiteral("Against a file...")});
    connect(base, QOverload<int>::of(&QComboBox::activated), this, [this](int i) { Compare(i); });
    auto* list = ControlAs<QTreeWidget>(kChangesList);
    list->setHeaderHidden(false);
    list->setRootIsDecorated(false);
    list->setColumnCount(4);
    list->setHeaderLabels({QStringLiteral("Key"), QStringLiteral("Change"), QStringLiteral("Old"),
                           QStringLiteral("New")});
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(list, &QTreeWidget::itemClicked, this,
            [this, list](QTreeWidgetItem* item) { GoTo(list->indexOfTopLevelItem(item)); });
    connect(list, &QTreeWidget::itemActivated, this,
            [this, list](QTreeWidgetItem* item) { GoTo(list->indexOfTopLevelItem(item)); });
    // Without a game only a file can be the base; the file dialog waits for the user.
    if (bridge_) {
        Compare(kBasePatch);
    } else {
        base->setCurrentIndex(kBaseFile);
        Show({"No game is open: choose a file to compare with.", "", {}});
    }
}

void CChangesDlg::Compare(int base) {
    ControlAs<QComboBox>(kChangesBase)->setCurrentIndex(base);
    ChangesBase choice;
    choice.source = base == kBaseGame ? BaseSource::kGameArchives : BaseSource::kPatchArchive;
    if (base == kBaseFile) {
        FileDialogRequest ask;
        ask.filter = QStringLiteral("Tables (*.txt)|*.txt|All Files(*.*)|*.*||");
        const std::optional<QString> path = AskFileName(this, ask);
        if (!path)
            return;
        choice.file = path->toStdString();
    }
    compared_ = choice;
    Show(CompareWithBase(bridge_, choice, request_));
}

void CChangesDlg::Show(const ChangesReport& report) {
    lines_ = report.lines;
    ControlAs<QLabel>(kChangesSummary)
        ->setText(FromBytes(report.problem.empty() ? report.summary : report.problem));
    auto* list = ControlAs<QTreeWidget>(kChangesList);
    list->clear();
    for (const ChangeLine& line : lines_) {
        const std::string key = line.occurrence > 0
                                    ? line.key + " (" + std::to_string(line.occurrence + 1) + ")"
                                    : line.key;
        list->addTopLevelItem(new QTreeWidgetItem(
            {FromBytes(key), ChangeName(line), FromBytes(line.before), FromBytes(line.after)}));
    }
    for (int c = 0; c < 4; ++c)
        list->resizeColumnToContents(c);
}

void CChangesDlg::GoTo(int line) {
    if (line < 0 || line >= static_cast<int>(lines_.size()))
        return;
    const ChangeLine& change = lines_[static_cast<std::size_t>(line)];
    const std::int32_t row = RowOfChange(*request_.table, change);
    if (row < 0 || !goTo_ || !goTo_(row, ColumnOfChange(*request_.table, change), this))
        return;
    // The list is stale once the cell was edited. It is refilled after the click that
    // led here is over, as the clicked line goes with the old list.
    QMetaObject::invokeMethod(
        this, [this] { Show(CompareWithBase(bridge_, compared_, request_)); },
        Qt::QueuedConnection);
}

void AddChangesShortcut(QWidget* window, const std::function<void()>& open) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), window);
    QObject::connect(shortcut, &QShortcut::activated, window, open);
}

} // namespace tolmere
