#include "mods/ModListCtrl.h"

#include "ui/ScreenText.h"

#include <QHeaderView>
#include <QKeyEvent>

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
}

void CModListCtrl::Prepare() {
    clear();
    setColumnCount(2);
    setHeaderLabels({QString(), QStringLiteral("Modifier")});
    headerItem()->setTextAlignment(kTextColumn, Qt::AlignHCenter);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(1);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    setColumnWidth(0, 1);
    setColumnWidth(kTextColumn, 220);
}

void CModListCtrl::DescribeModifiers(const CTxtTable& table, std::int32_t row,
                                     const SlotList& slots, const CModKeys& keys) {
    clear();
    QList<QTreeWidgetItem*> items;
    for (const ModLine& line : tolmere::DescribeModifiers(table, row, slots, keys)) {
        auto* item = new QTreeWidgetItem;
        item->setText(kTextColumn, ScreenText(line.text, TextSource::kTableCell));
        item->setData(0, kSlotRole, line.slot);
        items.append(item);
    }
    addTopLevelItems(items);
}

QString CModListCtrl::LineText(int line) const {
    const QTreeWidgetItem* item = topLevelItem(line);
    return item ? item->text(kTextColumn) : QString();
}

std::int32_t CModListCtrl::LineSlot(int line) const {
    const QTreeWidgetItem* item = topLevelItem(line);
    return item ? item->data(0, kSlotRole).toInt() : -1;
}

std::int32_t CModListCtrl::CurrentSlot() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty())
        return -1;
    return selected.front()->data(0, kSlotRole).toInt();
}

void CModListCtrl::SelectLine(int line) {
    if (QTreeWidgetItem* item = topLevelItem(line))
        setCurrentItem(item);
}

void CModListCtrl::keyReleaseEvent(QKeyEvent* event) {
    QTreeWidget::keyReleaseEvent(event);
    Q_EMIT keyReleased();
}

} // namespace tolmere
