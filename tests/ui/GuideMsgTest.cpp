#include "ui/GuideMsgDlg.h"
#include "ui/WindowGuide.h"

#include "UiTestHelpers.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

namespace tolmere {
namespace {

using testing::WhenModal;

std::vector<int> VisibleButtons(const QWidget* dialog) {
    std::vector<int> ids;
    for (int id : {kGuideMsgOk, kGuideMsgCancel, kGuideMsgYes, kGuideMsgNo}) {
        if (FindControl(dialog, id)->isVisible())
            ids.push_back(id);
    }
    return ids;
}

// Shows the box, lets `act` answer it, and returns the result.
int Answer(unsigned flags, std::function<void(QWidget*)> act) {
    WhenModal(std::move(act));
    return RunGuideMsg(nullptr, "text", "Caption", flags);
}

TEST(GuideMsgTest, AQuestionShowsYesAndNoAndAnythingElseOkAlone) {
    // Only bit 4 of the flags makes a question.
    for (unsigned flags : {36u, 0u, 32u, 1u}) {
        std::vector<int> shown;
        Answer(flags, [&](QWidget* box) {
            shown = VisibleButtons(box);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        const std::vector<int> expected = flags == 36u ? std::vector<int>{kGuideMsgYes, kGuideMsgNo}
                                                       : std::vector<int>{kGuideMsgOk};
        EXPECT_EQ(shown, expected) << flags;
    }
}

TEST(GuideMsgTest, ResultsFollowTheButtonOrKeyChosen) {
    const auto click = [](int id) {
        return [id](QWidget* box) { QTest::mouseClick(FindControl(box, id), Qt::LeftButton); };
    };
    const auto key = [](Qt::Key which, Qt::KeyboardModifiers modifiers = {}) {
        return [which, modifiers](QWidget* box) { QTest::keyClick(box, which, modifiers); };
    };
    EXPECT_EQ(Answer(0, click(kGuideMsgOk)), 1);
    EXPECT_EQ(Answer(36, click(kGuideMsgYes)), 6);
    EXPECT_EQ(Answer(36, click(kGuideMsgNo)), 7);
    EXPECT_EQ(Answer(0, key(Qt::Key_Return)), 1);
    EXPECT_EQ(Answer(36, key(Qt::Key_Escape)), 2);
    EXPECT_EQ(Answer(0, key(Qt::Key_Escape)), 2);
    // The mnemonics answer from the keyboard although the buttons draw no underline.
    EXPECT_EQ(Answer(36, key(Qt::Key_N, Qt::AltModifier)), 7);
    // Closing through the frame cancels.
    EXPECT_EQ(Answer(36,
                     [](QWidget* box) {
                         QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 10, 12));
                     }),
              2);
}

TEST(GuideMsgTest, TextKeepsAmpersandsAndLineBreaks) {
    QString shown;
    WhenModal([&](QWidget* box) {
        shown = FindControlAs<QLabel>(box, kGuideMsgText)->text();
        EXPECT_EQ(box->windowTitle(), "Guide");
        QTest::keyClick(box, Qt::Key_Return);
    });
    RunGuideMsg(nullptr, "Unable to load Modkey.txt.\r\nR&D", "Guide", 0);
    EXPECT_EQ(shown, "Unable to load Modkey.txt.\nR&D");
}

TEST(GuideMsgTest, TheWindowGuideAnswersTheCoresQuestions) {
    auto guide = InstallWindowGuide();
    std::string status;
    guide->SetStatusSink([&](const std::string& text) { status = text; });
    WhenModal(
        [](QWidget* box) { QTest::mouseClick(FindControl(box, kGuideMsgYes), Qt::LeftButton); });
    EXPECT_TRUE(GuideConfirm("Reload data from d2?"));
    GuideStatus("Loaded from d2data");
    EXPECT_EQ(status, "Loaded from d2data");
    SetGuide(nullptr);
}

} // namespace
} // namespace tolmere
