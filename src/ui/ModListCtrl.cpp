// SPDX-License-Identifier: MIT
#include "ui/ModListCtrl.h"

#include "ui/ScreenText.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tolmere {
namespace {
constexpr int kSlotRole = Qt::UserRole;
constexpr int kTextColumn = 1;
} // namespace

CModListCtrl::CModListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    Prepare();
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            mark_ = indexOfTopLevelItem(item);
    });
}

void CModListCtrl::Prepare() {
    clear();
    setColumnCount(2);
    setHeaderLabels({QString(), QStringLiteral("Modifier")});
    headerItem()->setTextAlignment(kTextColumn, Qt::AlignHCenter);
    header()->setMinimumSectionSize(1);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    setColumnWidth(0, 1);
    setColumnWidth(kTextColumn, 220);
    // The text takes the list's whole width, as wide as the window has grown.
    header()->setStretchLastSection(true);
}

void CModListCtrl::SetLines(const std::vector<ModLine>& lines) {
    clear();
    mark_ = -1;
    QList<QTreeWidgetItem*> items;
    for (const ModLine& line : lines) {
        auto* item = new QTreeWidgetItem;
        item->setText(kTextColumn, ScreenText(line.text, TextSource::kTableCell));
        // The column is narrow; the whole line shows when the pointer rests on it.
        item->setToolTip(kTextColumn, item->text(kTextColumn));
        item->setTextAlignment(kTextColumn, Qt::AlignHCenter | Qt::AlignVCenter);
        item->setData(0, kSlotRole, line.slot);
        if (textColour_.isValid())
            item->setForeground(kTextColumn, textColour_);
        items.append(item);
    }
    addTopLevelItems(items);
    mark_ = -1; // adding may have made the first line current
}

void CModListCtrl::SetTextColour(const QColor& colour) {
    textColour_ = colour;
    for (int line = 0; line < topLevelItemCount(); ++line)
        topLevelItem(line)->setForeground(kTextColumn, colour);
}

QString CModListCtrl::LineText(int line) const {
    const QTreeWidgetItem* item = topLevelItem(line);
    return item ? item->text(kTextColumn) : QString();
}

std::int32_t CModListCtrl::LineSlot(int line) const {
    const QTreeWidgetItem* item = topLevelItem(line);
    return item ? item->data(0, kSlotRole).toInt() : -1;
}

QString CModListCtrl::CurrentText() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->text(kTextColumn) : QString();
}

std::int32_t CModListCtrl::CurrentSlot() const {
    return mark_ >= 0 ? LineSlot(mark_) : -1;
}

void CModListCtrl::SelectLine(int line) {
    if (QTreeWidgetItem* item = topLevelItem(line))
        setCurrentItem(item);
}

void CModListCtrl::keyReleaseEvent(QKeyEvent* event) {
    QTreeWidget::keyReleaseEvent(event);
    Q_EMIT keyReleased();
}

void CModListCtrl::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // Taken here, so that it never reaches the window as its default command.
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CModListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    Q_EMIT doubleClickedAnywhere();
}

} // namespace tolmere
