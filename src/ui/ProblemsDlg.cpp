// SPDX-License-Identifier: MIT
#include "ui/ProblemsDlg.h"

#include "base/Guide.h"

#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>

namespace tolmere {
namespace {

QString Bytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Counted(std::size_t count, const char* what) {
    if (count == 0)
        return std::string("no ") + what + "s";
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

} // namespace

const DialogTemplate CProblemsDlg::kTemplate{
    112,
    "Problems",
    // Wide enough for a problem's sentence beside its file, row, key and column.
    560,
    200,
    {
        {kProblemsSummary, ControlKind::kStatic, "", 7, 7, 546, 10},
        {kProblemsList, ControlKind::kTreeView, "", 7, 19, 546, 155},
        {kProblemsClose, ControlKind::kSkinButton, "Close", 255, 179, 50, 14},
    }};

CProblemsDlg::CProblemsDlg(QWidget* parent, GoTo goTo)
    : CSkinDialog(kTemplate, parent), goTo_(std::move(goTo)) {
    MakeResizable(QStringLiteral("problems"), {{kProblemsSummary, kStretchAcross},
                                               {kProblemsList, kStretch},
                                               {kProblemsClose, Growth{0.5, 0, 1, 0}}});
    QTreeWidget* list = List();
    list->setHeaderHidden(false);
    list->setRootIsDecorated(false);
    list->setColumnCount(6);
    list->setHeaderLabels({QStringLiteral("Severity"), QStringLiteral("File"),
                           QStringLiteral("Row"), QStringLiteral("Key"), QStringLiteral("Column"),
                           QStringLiteral("Problem")});
    connect(list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const auto index = static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
        if (!goTo_ || index >= problems_.size())
            return;
        // After the click is done with, and on a copy: going there may edit, and the
        // edit lists the problems anew, lines and all.
        QTimer::singleShot(0, this, [this, problem = problems_[index]] { goTo_(problem); });
    });
}

void CProblemsDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    List()->setFocus();
}

QTreeWidget* CProblemsDlg::List() const {
    return ControlAs<QTreeWidget>(kProblemsList);
}

QString CProblemsDlg::Summary() const {
    return ControlAs<QLabel>(kProblemsSummary)->text();
}

void CProblemsDlg::SetProblems(Problems problems) {
    problems_ = std::move(problems);
    QTreeWidget* list = List();
    const int selected = list->currentIndex().row();
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < problems_.size(); ++i) {
        const Problem& problem = problems_[i];
        auto* item = new QTreeWidgetItem(
            {QString::fromLatin1(SeverityName(problem.severity)), Bytes(problem.file),
             problem.row < 0 ? QString() : QString::number(problem.row), Bytes(problem.key),
             Bytes(problem.column), Bytes(problem.text)});
        item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(i));
        item->setToolTip(5, item->text(5)); // the whole sentence, when the column cuts it
        items.push_back(item);
    }
    list->addTopLevelItems(items);
    for (int column = 0; column < 5; ++column)
        list->resizeColumnToContents(column);
    if (!items.isEmpty())
        list->setCurrentItem(items[std::clamp(selected, 0, static_cast<int>(items.size()) - 1)]);
    ControlAs<QLabel>(kProblemsSummary)
        ->setText(problems_.empty()
                      ? QStringLiteral("No problems found in the loaded tables.")
                      : Bytes(ProblemCounts(problems_)) +
                            (goTo_ ? QStringLiteral("; a double click goes there.") : QString()));
}

std::int32_t SetNodeOfProblem(const SetTree& tree, const Problem& problem) {
    if (problem.file != "Sets.txt" && problem.file != "SetItems.txt")
        return -1;
    const SetTableId table = problem.file == "Sets.txt" ? SetTableId::kSets : SetTableId::kSetItems;
    for (const SetNode& node : tree.nodes) {
        if (node.table == table && node.row == problem.row &&
            node.IsMember() == (tree.usesSetsTable && table == SetTableId::kSetItems))
            return node.number;
    }
    return -1;
}

void AddProblemsShortcut(QWidget* window, std::function<Problems()> lint, CProblemsDlg::GoTo goTo) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F8), window);
    QObject::connect(shortcut, &QShortcut::activated, window, [window, lint, goTo] {
        CProblemsDlg view(window, goTo);
        view.SetProblems(lint());
        view.RunModal();
    });
}

std::string ProblemCounts(const Problems& problems) {
    return Counted(CountOf(problems, Severity::kError), "error") + ", " +
           Counted(CountOf(problems, Severity::kWarning), "warning") + ", " +
           Counted(CountOf(problems, Severity::kNote), "note");
}

std::string ProblemsQuestion(std::size_t errors) {
    return std::to_string(errors) + (errors == 1 ? " problem" : " problems") +
           " the game will trip over: write anyway?";
}

bool ConfirmDespiteProblems(const Problems& problems, QWidget* parent) {
    const std::size_t errors = CountOf(problems, Severity::kError);
    if (errors == 0)
        return true;
    const std::string question = ProblemsQuestion(errors);
    for (;;) {
        const int answer = GuideMsg(question, kCaptionConfirmation, kGuideYesNo | kGuideWithShow);
        if (answer != kGuideShow)
            return answer == kGuideYes;
        CProblemsDlg shown(parent);
        shown.SetProblems(problems);
        shown.RunModal();
    }
}

} // namespace tolmere
