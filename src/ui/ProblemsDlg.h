// SPDX-License-Identifier: MIT
// "Problems": what the checks found in the loaded tables, one line a problem; a double
// click goes to where it is. And Spawn On's question when the tables hold errors.
#pragma once

#include "lint/Problem.h"
#include "sets/SetTree.h"
#include "ui/SkinDialog.h"

#include <functional>

class QTreeWidget;

namespace tolmere {

enum ProblemsControl : int {
    kProblemsClose = 1,
    kProblemsList = 1001,
    kProblemsSummary = 1002,
};

// "2 problems the game will trip over: write anyway?"
std::string ProblemsQuestion(std::size_t errors);

class CProblemsDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;
    using GoTo = std::function<void(const Problem&)>;

    // `goTo` is called for a double-clicked problem; null when the list is only read.
    explicit CProblemsDlg(QWidget* parent = nullptr, GoTo goTo = nullptr);

    // Lists these problems in place of the ones before, keeping the selected line's
    // place where it can.
    void SetProblems(Problems problems);
    const Problems& Listed() const { return problems_; }
    QTreeWidget* List() const;
    QString Summary() const;

protected:
    void OnInitDialog() override;

private:
    Problems problems_;
    GoTo goTo_;
};

// The number of the set tree's node that shows the problem's row, or -1: in the later
// layout a row of SetItems.txt is a member and a row of Sets.txt a set, in the earlier
// ones a row is its set.
std::int32_t SetNodeOfProblem(const SetTree& tree, const Problem& problem);

// F8 on `window` lists what `lint` finds in a view over it; `goTo` as for the view.
void AddProblemsShortcut(QWidget* window, std::function<Problems()> lint, CProblemsDlg::GoTo goTo);

// "3 errors, 1 warning, no notes".
std::string ProblemCounts(const Problems& problems);

// Spawn On's question, asked only when `problems` hold errors: the number of errors
// in ProblemsQuestion, with "Show them" listing every problem before asking again.
// True to write: without errors, or on Yes.
bool ConfirmDespiteProblems(const Problems& problems, QWidget* parent);

} // namespace tolmere
