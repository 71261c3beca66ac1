// SPDX-License-Identifier: MIT
// The Problems view over the demo game, and Spawn On's question when there are errors.
#include "ui/ProblemsDlg.h"

#include "MainWindowFixture.h"
#include "UiTestHelpers.h"
#include "support/TableBuilder.h"

#include <QTreeWidget>

namespace tolmere {
namespace {

std::vector<std::string> Errors(const Problems& problems) {
    std::vector<std::string> found;
    for (const Problem& problem : problems) {
        if (problem.severity == Severity::kError)
            found.push_back(problem.file + " " + std::to_string(problem.row) + " " +
                            problem.column);
    }
    return found;
}

TEST_F(MainWindowTest, ProblemsFollowEditsGoToTheItemAndStopSpawnOn) {
    CMainWindow& window = Start();
    ASSERT_TRUE(data_.game.HasBaseItems());
    window.Command(kMainProblems);
    auto* view = window.findChild<CProblemsDlg*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(Errors(view->Listed()), std::vector<std::string>{});

    // A base item no list has, in the second item: the next edit shows it.
    const std::int32_t code = data_.uniqueLayout.codeColumn;
    const std::string before(Unique().Text(1, code));
    data_.uniqueItems.SetCell(1, code, "zz9");
    Choose(2);
    ASSERT_GT(Mods()->topLevelItemCount(), 0);
    Mods()->setCurrentItem(Mods()->topLevelItem(0));
    guide_->answers = {kGuideYes};
    window.Command(kMainDelete);
    ASSERT_EQ(Errors(view->Listed()), std::vector<std::string>{"UniqueItems.txt 1 code"});

    // A double click on it selects its item.
    QTreeWidget* list = view->List();
    QTreeWidgetItem* line = nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == QStringLiteral("error"))
            line = list->topLevelItem(i);
    }
    ASSERT_NE(line, nullptr);
    Q_EMIT list->itemActivated(line, 0);
    testing::Settle();
    EXPECT_EQ(window.SelectedRow(), 1);

    // Spawn On asks; "Show them" lists the problems and asks again; No writes nothing.
    const std::string archive = testing::ReadBytes(gameDir_ + "patch_d2.mpq");
    guide_->shown.clear();
    guide_->answers = {kGuideShow, kGuideNo};
    int listed = -1;
    testing::WhenModal([&listed](QWidget* dialog) {
        if (auto* shown = qobject_cast<CProblemsDlg*>(dialog))
            listed = static_cast<int>(CountOf(shown->Listed(), Severity::kError));
        dialog->close();
    });
    window.Command(kMainSpawnOn);
    const std::string question = "Confirmation: " + ProblemsQuestion(1);
    EXPECT_EQ(question, "Confirmation: 1 problem the game will trip over: write anyway?");
    EXPECT_EQ(guide_->shown, (std::vector<std::string>{question, question}));
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(testing::ReadBytes(gameDir_ + "patch_d2.mpq"), archive);

    // Mended, Spawn On asks only its own question.
    data_.uniqueItems.SetCell(1, code, before);
    guide_->shown.clear();
    guide_->answers = {kGuideNo};
    window.Command(kMainSpawnOn);
    ASSERT_EQ(guide_->shown.size(), 1u);
    EXPECT_EQ(guide_->shown[0].find("the game will trip over"), std::string::npos);
}

TEST(Problems, SetNodeOfARowOfEachTable) {
    const CTxtTable items =
        testing::NamedTable({"index", "set", "item", "prop1", "par1", "min1", "max1", "aprop1a"},
                            {{"A1", "Pair"}, {"B1", "Other"}, {"A2", "Pair"}});
    const CTxtTable sets = testing::NamedTable(
        {"index", "name", "PCode2a", "FCode1", "FParam1", "FMin1", "FMax1"}, {{"Other"}, {"Pair"}});
    const SetTree tree = BuildSetTree(items, &sets);
    ASSERT_TRUE(tree.Editable()) << tree.problem;
    const auto node = [&tree](const char* file, std::int32_t row) {
        Problem problem;
        problem.file = file;
        problem.row = row;
        return SetNodeOfProblem(tree, problem);
    };
    // Sets in Sets.txt's order; members numbered (set + 1) * 1000 + their place.
    EXPECT_EQ(node("SetItems.txt", 2), 2001);
    EXPECT_EQ(node("SetItems.txt", 1), 1000);
    EXPECT_EQ(node("Sets.txt", 1), 1);
    EXPECT_EQ(node("UniqueItems.txt", 1), -1);
    EXPECT_EQ(node("SetItems.txt", 3), -1);
}

} // namespace
} // namespace tolmere
