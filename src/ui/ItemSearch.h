// SPDX-License-Identifier: MIT
// A search field that finds an entry by any part of its words: typing offers every entry
// whose text holds what was typed, in any case and at any place; Enter or a click on an
// offer chooses it. The item list of the main window and Set Master's tree use it.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QCompleter;
class QStandardItemModel;

namespace tolmere {

class CItemSearch : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QString text; // what is shown and searched
        int value;    // what choosing it hands back
    };
    // Ctrl+F anywhere in the field's window puts the cursor in it.
    CItemSearch(QLineEdit* field, std::function<void(int)> chosen);
    void SetEntries(const std::vector<Entry>& entries);
    // The values of the entries the text finds, in their order.
    std::vector<int> Matches(const QString& text) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field_;
    QCompleter* completer_;
    QStandardItemModel* model_;
    std::function<void(int)> chosen_;
};

} // namespace tolmere
