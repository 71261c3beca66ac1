// SPDX-License-Identifier: MIT
#include "ui/StringsModel.h"

#include "strings/ColourRuns.h"
#include "strings/StringUsage.h"
#include "tables/StrTblText.h"
#include "ui/ScreenText.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

namespace tolmere {
namespace {

// Shown for a line break, so that a text's breaks can be seen and counted.
const QChar kBreakMark(0x23CE);

QString OnScreen(std::string_view bytes) {
    QString text = ScreenText(bytes, TextSource::kStringTable);
    text.replace(QLatin1Char('\n'), kBreakMark);
    return text;
}

} // namespace

QString CStringsModel::OneLine(std::string_view bytes) {
    return ScreenText(EscapeOnOneLine(bytes), TextSource::kStringTable);
}

void CStringsModel::Show(const CStringList& list, const CStringUsage* usage,
                         std::vector<std::size_t> rows) {
    beginResetModel();
    list_ = &list;
    usage_ = usage;
    shown_ = std::move(rows);
    SortRows();
    endResetModel();
}

const StringRow* CStringsModel::RowAt(int row) const {
    if (!list_ || row < 0 || row >= static_cast<int>(shown_.size()))
        return nullptr;
    return &list_->Rows()[shown_[static_cast<std::size_t>(row)]];
}

int CStringsModel::ViewRowOf(std::string_view key) const {
    for (int row = 0; row < static_cast<int>(shown_.size()); ++row) {
        if (RowAt(row)->key == key)
            return row;
    }
    return -1;
}

int CStringsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int CStringsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString CStringsModel::Note(const StringRow& row) const {
    QStringList notes;
    if (row.missing)
        notes << QStringLiteral("in no table");
    if (row.overrides)
        notes << QStringLiteral("over a lower table");
    if (row.duplicate)
        notes << QStringLiteral("twice in a table");
    if (usage_) {
        if (const std::size_t uses = usage_->Uses(row.key).size())
            notes << QStringLiteral("used %1\u00d7").arg(uses);
    }
    return notes.join(QStringLiteral(", "));
}

QVariant CStringsModel::data(const QModelIndex& index, int role) const {
    const StringRow* row = RowAt(index.row());
    if (!row)
        return {};
    if (role == kBytesRole && index.column() == kText)
        return QByteArray(row->text.data(), static_cast<qsizetype>(row->text.size()));
    if (role == Qt::EditRole && index.column() == kText)
        return OneLine(row->text);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case kKey:
        return ScreenText(row->key, TextSource::kStringTable);
    case kText:
        return OnScreen(row->text);
    case kTable:
        return row->missing ? QStringLiteral("\u2014")
                            : QString::fromLatin1(CStringTables::FileName(row->source));
    case kNote:
        return Note(*row);
    default:
        return {};
    }
}

QVariant CStringsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kNames[] = {"Key", "Text", "Table", "Note"};
    return section >= 0 && section < kColumns ? QString::fromLatin1(kNames[section]) : QVariant();
}

Qt::ItemFlags CStringsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kText && RowAt(index.row()) && !RowAt(index.row())->missing)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CStringsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const StringRow* row = RowAt(index.row());
    if (role != Qt::EditRole || index.column() != kText || !row || !onEdit)
        return false;
    // The edit rebuilds the list, which resets this model.
    return onEdit(std::string(row->key), value.toString());
}

void CStringsModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    Q_EMIT layoutAboutToBeChanged();
    SortRows();
    Q_EMIT layoutChanged();
}

void CStringsModel::SortRows() {
    if (!list_ || sortColumn_ < 0 || sortColumn_ >= kColumns)
        return;
    const std::vector<StringRow>& rows = list_->Rows();
    const auto rank = [this](const StringRow& row) {
        return std::make_tuple(row.missing, row.duplicate, row.overrides,
                               usage_ ? usage_->Uses(row.key).size() : std::size_t{0});
    };
    const auto less = [&](std::size_t a, std::size_t b) {
        const StringRow& x = rows[a];
        const StringRow& y = rows[b];
        switch (sortColumn_) {
        case kKey:
            return x.key < y.key;
        case kText:
            return x.text < y.text;
        case kTable:
            return std::make_pair(x.missing, x.source) < std::make_pair(y.missing, y.source);
        default:
            return rank(x) < rank(y);
        }
    };
    if (sortOrder_ == Qt::AscendingOrder)
        std::stable_sort(shown_.begin(), shown_.end(), less);
    else
        std::stable_sort(shown_.begin(), shown_.end(),
                         [&](std::size_t a, std::size_t b) { return less(b, a); });
}

void CColourTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    const QByteArray bytes = index.data(CStringsModel::kBytesRole).toByteArray();
    plain.text.clear();
    QStyle* style = plain.widget ? plain.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &plain, plain.widget)
                           .adjusted(2, 0, -2, 0);
    painter->save();
    painter->setClipRect(area);
    painter->setFont(plain.font);
    const QColor own = plain.palette.color(
        option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    int x = area.left();
    for (const ColourRun& run : ColourRuns(std::string_view(bytes.constData(), bytes.size()))) {
        const QString text = OnScreen(run.text);
        painter->setPen(run.colour ? QColor(run.colour->red, run.colour->green, run.colour->blue)
                                   : own);
        painter->drawText(QRect(x, area.top(), area.right() - x + 1, area.height()),
                          Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        x += plain.fontMetrics.horizontalAdvance(text);
        if (x > area.right())
            break;
    }
    painter->restore();
}

} // namespace tolmere
