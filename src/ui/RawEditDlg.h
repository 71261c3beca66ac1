// SPDX-License-Identifier: MIT
// Raw Edit: every row and column of an item table in the grid, with choosers for the
// code columns, written back into the table on Apply.
#pragma once

#include "app/ProgramData.h"
#include "grid/RawEdit.h"
#include "ui/SkinDialog.h"

#include <vector>

class QLineEdit;

namespace tolmere {

class CGriddor;

enum RawEditControl : int {
    kRawApply = 3,
    kRawCancel = 4,
    kRawNewRow = 5,
    kRawGrid = 199,
    kRawStatus = 1001,
    kRawFind = 1002,
    kRawFindLabel = 1003,
};

class CRawEditDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // `name` names the table in messages ("UniqueItems.txt").
    CRawEditDlg(ProgramData& data, CTxtTable& table, std::string name, QWidget* parent = nullptr);
    ~CRawEditDlg() override;

    CGriddor* Grid() const { return grid_; }
    const std::vector<RawColumn>& Columns() const { return columns_; }
    QString StatusText() const;

protected:
    void OnInitDialog() override;
    void OnOK() override;     // Enter: the focus goes back to the grid, nothing closes
    void OnCancel() override; // the close box: as Cancel
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // After every committed cell: a picked choice leaves its code (and a base item's
    // name beside it); a name key offers to rename it.
    void OnCellCommitted(int row, int column);
    void OnNewRow();
    void OnApply();
    // Closing without Apply; asks first when cells were changed.
    void CloseDiscarding();
    bool GridChanged() const;
    void ShowSelection(int row, int column);

    ProgramData& data_;
    CTxtTable& table_;
    std::string name_;
    std::vector<RawColumn> columns_;
    CGriddor* grid_ = nullptr; // a child: the dialog deletes it
    std::int32_t addedRows_ = 0;
};

// Runs Raw Edit on the table after making sure the base item lists are there (`loadLists`
// loads them, false when it could not); true when the table was changed. The grid opens
// on data row `row`, column `column` when both are given.
bool RunRawEdit(ProgramData& data, CTxtTable& table, const std::string& name,
                const std::function<bool()>& loadLists, QWidget* parent, int row = -1,
                int column = -1);

} // namespace tolmere
