// SPDX-License-Identifier: MIT
#include "ui/GuideMsgDlg.h"
#include "ui/WindowGuide.h"

#include "UiTestHelpers.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace tolmere {
namespace {

using testing::WhenModal;

// Only bit 4 of the flags makes a question, with Yes and No; anything else shows OK alone.
// The mnemonics answer from the keyboard although the buttons draw no underline; the
// text keeps its ampersands.
TEST(GuideMsgTest, TheFlagsChooseTheButtonsAndTheButtonOrKeyTheResult) {
    const auto click = [](int id) {
        return [id](QWidget* box) { QTest::mouseClick(FindControl(box, id), Qt::LeftButton); };
    };
    const auto key = [](Qt::Key which, Qt::KeyboardModifiers modifiers = {}) {
        return [which, modifiers](QWidget* box) { QTest::keyClick(box, which, modifiers); };
    };
    const struct {
        unsigned flags;
        std::function<void(QWidget*)> act;
        int result;
    } cases[] = {
        {0, click(kGuideMsgOk), 1},
        {36, click(kGuideMsgYes), 6},
        {36, click(kGuideMsgNo), 7},
        {32, key(Qt::Key_Return), 1},
        {36, key(Qt::Key_Escape), 2},
        {1, key(Qt::Key_Escape), 2},
        {36, key(Qt::Key_N, Qt::AltModifier), 7},
        // A question's Enter answers No: every question writes or throws work away.
        {36, key(Qt::Key_Return), 7},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        std::vector<int> shown;
        QString text;
        WhenModal([&](QWidget* box) {
            text = box->windowTitle() + ": " + FindControlAs<QLabel>(box, kGuideMsgText)->text();
            for (int id : {kGuideMsgOk, kGuideMsgCancel, kGuideMsgYes, kGuideMsgNo}) {
                if (FindControl(box, id)->isVisible())
                    shown.push_back(id);
            }
            c.act(box);
            // Should the button acted on not be there, Escape ends the box in the end.
            QTimer::singleShot(1000, box, [box] { QTest::keyClick(box, Qt::Key_Escape); });
        });
        EXPECT_EQ(RunGuideMsg(nullptr, "Unable to load.\r\nR&D", "Guide", c.flags), c.result)
            << "case " << i;
        EXPECT_EQ(text, "Guide: Unable to load.\nR&D");
        const std::vector<int> question{kGuideMsgYes, kGuideMsgNo}, ok{kGuideMsgOk};
        EXPECT_EQ(shown, c.flags == 36 ? question : ok) << "case " << i;
    }
}

// However long the text, the box grows until all of it shows: across first, then down.
TEST(GuideMsgTest, TheBoxGrowsToShowTheWholeText) {
    std::string lines;
    for (int i = 0; i < 30; ++i)
        lines += "mpq2k: line " + std::to_string(i) + " of the tool's reason\n";
    const std::string cases[] = {
        "Short.",
        "/home/modder/.local/share/tolmere/backups/Diablo_II-390a69e770c8ba73/"
        "2026-12-07-204512_patch_d2.mpq",
        lines + "Write into it anyway?",
    };
    for (const std::string& text : cases) {
        QSize shown;
        int needed = 0, widest = 0;
        WhenModal([&](QWidget* box) {
            auto* label = FindControlAs<QLabel>(box, kGuideMsgText);
            shown = label->size();
            needed = label->heightForWidth(shown.width());
            for (const QString& line : label->text().split(QLatin1Char('\n')))
                widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        RunGuideMsg(nullptr, text, "Guide", 0);
        EXPECT_GE(shown.height(), needed) << text;
        EXPECT_GE(shown.width(), widest) << text;
    }
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
