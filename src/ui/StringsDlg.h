// SPDX-License-Identifier: MIT
// The Strings window: every key of the language's three string tables with the text
// the game shows, the table it comes from and where the item tables use it; found by a
// word, changed, added, deleted or reverted in patchstring.tbl, each change a step of
// the shared undo history.
#pragma once

#include "app/ProgramData.h"
#include "strings/StringEdits.h"
#include "strings/StringList.h"
#include "strings/StringUsage.h"
#include "ui/SkinDialog.h"

#include <functional>
#include <string>
#include <vector>

class QTableView;
class QTreeWidgetItem;

namespace tolmere {

class CStringsModel;

enum StringsDlgControl : int {
    kStringsClose = 2,
    kStringsFind = 1001,
    kStringsTableFilter = 1002,
    kStringsShow = 1003,
    kStringsListPlace = 1004,
    kStringsKey = 1005,
    kStringsText = 1006,
    kStringsColour = 1007,
    kStringsApply = 1008,
    kStringsAdd = 1009,
    kStringsDelete = 1010,
    kStringsRevert = 1011,
    kStringsUses = 1012,
    kStringsImport = 1013,
    kStringsExport = 1014,
    kStringsStatus = 1015,
};

class CStringsDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;
    // Shows a row that uses a key in the window that opened this one; false when that
    // window cannot show rows of that table.
    using GoTo = std::function<bool(const StringUse& use)>;

    CStringsDlg(ProgramData& data, GoTo goTo, QWidget* parent = nullptr);

    CStringsModel& Model() const { return *model_; }
    QTableView* List() const { return view_; }
    QString StatusText() const;
    // Selects the row of `key`, clearing filters that hide it; false when no row has it.
    bool SelectKey(const std::string& key);
    // The selected row's key, or empty.
    std::string SelectedKey() const;
    // Whether a change was made (the opener then refreshes what it shows).
    bool Changed() const { return changed_; }

protected:
    void OnInitDialog() override;
    void OnOK() override; // Enter: applies the text box, nothing closes

private:
    // The list again from the tables, keeping `key` selected when it is still there.
    void Rebuild(const std::string& key);
    // The filter's rows; a query that extends the last one narrows its answer.
    void Refilter();
    StringFilter CurrentFilter() const;
    void OnSelection();
    // Records a done edit and shows the list after it; says why when nothing was done.
    void Take(StringEditResult result, const std::string& key);
    // The text box's bytes; false, having said why, when its escapes do not read.
    bool TypedText(const QString& typed, const std::string& key, std::string& text);
    // The key box's bytes: UTF-8, as the string tables keep their keys.
    std::string TypedKey() const;
    bool EditInPlace(const std::string& key, const QString& typed);
    void OnApply();
    void OnAdd();
    void OnDelete();
    void OnRevert();
    void OnImport();
    void OnExport();
    void OnColour(int index);
    void OnUndoRedo(bool redo);
    void OnUse(QTreeWidgetItem* item);
    void SetStatus(const QString& text);

    ProgramData& data_;
    GoTo goTo_;
    CStringUsage usage_;
    CStringList list_;
    CStringsModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    std::vector<std::size_t> shown_;
    StringFilter shownFilter_;
    std::vector<StringUse> uses_; // of the selected key, as the uses list shows them
    bool changed_ = false;
};

// Opens the Strings window on the program's data; true when it changed something.
bool RunStrings(ProgramData& data, const CStringsDlg::GoTo& goTo, QWidget* parent);

} // namespace tolmere
