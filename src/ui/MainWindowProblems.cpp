// SPDX-License-Identifier: MIT
// The main window's Problems view: the checks over the loaded tables, run again after
// every edit, and the way from a problem to where it is.
#include "ui/MainWindow.h"

#include "sets/SetTree.h"
#include "ui/ProblemsDlg.h"
#include "ui/RawEditDlg.h"
#include "ui/SetMasterDlg.h"

#include <QComboBox>

namespace tolmere {
namespace {

// Whether the item's own view shows the cell: its key, its base item or a modifier.
bool ShownWithItem(const UniqueItemsLayout& layout, std::int32_t column) {
    if (column < 0 || column == layout.keyColumn || column == layout.codeColumn)
        return true;
    for (const SlotColumns& slot : layout.modifiers.slots) {
        if (column == slot.code || column == slot.param || column == slot.min || column == slot.max)
            return true;
    }
    return false;
}

} // namespace

LintInput CMainWindow::LintSources() const {
    return {&data_.uniqueItems, &data_.setItems, &data_.sets, &data_.game, &data_.strings};
}

void CMainWindow::OnProblems() {
    if (!problems_)
        problems_ =
            new CProblemsDlg(this, [this](const Problem& problem) { GoToProblem(problem); });
    problems_->SetProblems(LintTables(LintSources()));
    problems_->show();
    problems_->raise();
    problems_->activateWindow();
}

void CMainWindow::RefreshProblems() {
    if (problems_ && problems_->isVisible())
        problems_->SetProblems(LintTables(LintSources()));
}

void CMainWindow::GoToProblem(const Problem& problem) {
    if (problem.file == "UniqueItems.txt" && problem.row >= 0) {
        if (ShownWithItem(data_.uniqueLayout, problem.columnIndex)) {
            const int index = ItemList()->findData(problem.row);
            if (index >= 0) {
                ItemList()->setCurrentIndex(index);
                FillModifierList();
                activateWindow();
            }
            return;
        }
        // A cell the item's view does not show: the grid, on that cell.
        if (CanEdit())
            RawEditUnique(this, problem.row, problem.columnIndex);
        UpdateCaption();
        FillItemList(problem.row);
        return;
    }
    if (problem.row < 0)
        return;
    // Set Master takes its tables from the game as it opens; the node is found in
    // what it then shows.
    OnSetItems([this, problem](CSetMasterDlg& sets) {
        sets.SelectNode(SetNodeOfProblem(BuildSetTree(data_.setItems, &data_.sets), problem));
    });
}

} // namespace tolmere
