// SPDX-License-Identifier: MIT
// Raw Edit: every row and column of an item table in the grid, with choosers for the
// code columns, written back into the table on Apply.
#pragma once

#include "app/ProgramData.h"
#include "grid/RawEdit.h"
#include "ui/SkinDialog.h"

#include <vector>

class QLineEdit;
class QListWidget;

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
    kRawFindCase = 1004,
    kRawFindWhole = 1005,
    kRawFindColumn = 1006,
    kRawFindRegex = 1007,
    kRawHitCount = 1008,
    kRawListAll = 1009,
    kRawReplaceLabel = 1010,
    kRawReplace = 1011,
    kRawReplaceAll = 1012,
    kRawGoToLabel = 1013,
    kRawGoTo = 1014,
    kRawCalcLabel = 1015,
    kRawCalc = 1016,
    kRawHitList = 1017,    // the list of every hit, beside the grid while shown
    kRawLayoutNote = 1018, // why the header fits no layout, over the grid
    kRawFindFilter = 1019, // only the rows with a hit
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
    QListWidget* HitList() const { return hitList_; }
    // The line over the grid when the header fits no layout; empty otherwise.
    QString LayoutNote() const;
    // What the find bar's count says ("3 of 55").
    QString HitCountText() const;

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
    // The find bar: every hit of its text, counted, highlighted and listed.
    void RunFind();
    void ShowHit(int index);
    void FillHitList();
    void OnReplaceAll();
    void OnGoTo();
    void OnCalc();
    void OnPaste();
    void OnFillDown();
    void PlaceGrid();
    void FocusField(int id);
    // Column widths are remembered per table name.
    void RestoreWidths();
    void SaveWidths() const;
    void ShowHeaderMenu(int column, const QPoint& global);
    void RenameColumn(int column);

    ProgramData& data_;
    CTxtTable& table_;
    std::string name_;
    std::vector<RawColumn> columns_;
    CModifierChoices slotChoices_; // what a slot's cells mean, for their tooltips
    CGriddor* grid_ = nullptr;     // a child: the dialog deletes it
    QListWidget* hitList_ = nullptr;
    std::map<std::int32_t, std::string> headers_; // columns renamed
    QString layoutProblem_;
};

// Runs Raw Edit on the table after making sure the base item lists are there (`loadLists`
// loads them, false when it could not); true when the table was changed. The grid opens
// on data row `row`, column `column` when both are given.
bool RunRawEdit(ProgramData& data, CTxtTable& table, const std::string& name,
                const std::function<bool()>& loadLists, QWidget* parent, int row = -1,
                int column = -1);

} // namespace tolmere
