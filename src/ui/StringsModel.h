// SPDX-License-Identifier: MIT
// The Strings window's list: the rows of a CStringList that pass its filter, sortable
// by any column, the text editable in place and drawn in its colour codes' colours.
#pragma once

#include "strings/StringList.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <functional>
#include <vector>

namespace tolmere {

class CStringUsage;

class CStringsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kKey, kText, kTable, kNote, kColumns };
    // The text's bytes, for the delegate that draws its colours.
    static constexpr int kBytesRole = Qt::UserRole + 1;

    explicit CStringsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Shows these rows of `list` in the present sort order; `usage` (may be null)
    // counts each key's uses.
    void Show(const CStringList& list, const CStringUsage* usage, std::vector<std::size_t> rows);
    const std::vector<std::size_t>& Shown() const { return shown_; }
    // The list row at a view row, or null.
    const StringRow* RowAt(int row) const;
    // The view row of `key`, or -1.
    int ViewRowOf(std::string_view key) const;

    // Called with the key and the typed text (escapes \n, \t, \\ as line breaks, TABs
    // and backslashes) when a text is edited in place; false keeps the old text.
    std::function<bool(const std::string& key, const QString& typed)> onEdit;

    // A text in one line, as the edit box and the in-place editor hold it.
    static QString OneLine(std::string_view bytes);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void sort(int column, Qt::SortOrder order) override;

private:
    void SortRows();
    QString Note(const StringRow& row) const;

    const CStringList* list_ = nullptr;
    const CStringUsage* usage_ = nullptr;
    std::vector<std::size_t> shown_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// Draws a text in the colours its codes give, line breaks as a visible mark.
class CColourTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace tolmere
