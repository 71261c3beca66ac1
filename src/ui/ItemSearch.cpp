// SPDX-License-Identifier: MIT
#include "ui/ItemSearch.h"

#include "ui/SkinLook.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QShortcut>
#include <QStandardItemModel>

namespace tolmere {
namespace {

constexpr int kOffersWidth = 520; // pixels

} // namespace

CItemSearch::CItemSearch(QLineEdit* field, std::function<void(int)> chosen)
    : QObject(field), field_(field), completer_(new QCompleter(field)),
      model_(new QStandardItemModel(this)), chosen_(std::move(chosen)) {
    completer_->setModel(model_);
    completer_->setFilterMode(Qt::MatchContains);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setCompletionMode(QCompleter::PopupCompletion);
    completer_->setMaxVisibleItems(16);
    field_->setCompleter(completer_);
    // The offers in the skin's colours, and wide enough for a name with its base item.
    ApplySkinColoursToPopup(completer_->popup());
    completer_->popup()->setMinimumWidth(kOffersWidth);
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);
    // After the completer's own: Enter on the offers with none picked takes the first.
    completer_->popup()->installEventFilter(this);
    connect(completer_, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
            [this](const QModelIndex& index) { chosen_(index.data(Qt::UserRole).toInt()); });
    auto* find = new QShortcut(QKeySequence::Find, field_->window());
    connect(find, &QShortcut::activated, field_, [this] {
        field_->setFocus(Qt::ShortcutFocusReason);
        field_->selectAll();
    });
}

void CItemSearch::SetEntries(const std::vector<Entry>& entries) {
    model_->clear();
    for (const Entry& entry : entries) {
        auto* item = new QStandardItem(entry.text);
        item->setData(entry.value, Qt::UserRole);
        item->setEditable(false);
        model_->appendRow(item);
    }
}

std::vector<int> CItemSearch::Matches(const QString& text) const {
    std::vector<int> values;
    for (int row = 0; row < model_->rowCount(); ++row) {
        const QStandardItem* item = model_->item(row);
        if (item->text().contains(text, Qt::CaseInsensitive))
            values.push_back(item->data(Qt::UserRole).toInt());
    }
    return values;
}

bool CItemSearch::eventFilter(QObject* watched, QEvent* event) {
    // Enter without an offer picked chooses the first the text finds, and never reaches
    // the window, whose own Enter writes the archive.
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    QAbstractItemView* offers = completer_->popup();
    const bool picked = offers->isVisible() && offers->currentIndex().isValid();
    if (!enter || picked || (watched != field_ && watched != offers))
        return QObject::eventFilter(watched, event);
    offers->hide();
    const std::vector<int> found = Matches(field_->text());
    if (!field_->text().isEmpty() && !found.empty())
        chosen_(found.front());
    return true;
}

} // namespace tolmere
