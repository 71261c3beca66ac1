// SPDX-License-Identifier: MIT
#include "ui/AboutDlg.h"

#include "support/TableBuilder.h"

#include "UiTestHelpers.h"

#include <gtest/gtest.h>

#include <QTextBrowser>

namespace tolmere {
namespace {

class AboutDlgTest : public ::testing::Test {
protected:
    AboutDlgTest()
        : keys(testing::CatalogueOf(
              {{"ac", "+%.0f Defense", "", "", "", "", "", "", "", "First"},
               {"dmg", "+%.0f Damage", "", "", "", "", "", "", "", "Second"},
               {"str", "+%.0f Strength", "", "", "", "", "", "", "", "Third"}})),
          dialog(keys) {
        previous = CAboutDlg::SetUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    ~AboutDlgTest() override { CAboutDlg::SetUrlOpener(previous); }

    void ShowAndPaint() {
        dialog.show();
        testing::Settle();
        (void)dialog.grab();
    }
    // The middle of the link, in window coordinates.
    QPoint LinkPoint() const {
        const InclusiveRect link = dialog.LinkRect();
        return QPoint((link.left + link.right) / 2, (link.top + link.bottom) / 2) +
               QPoint(kSkinFrame.left(), kSkinFrame.top());
    }
    QTextBrowser* Text() const { return dialog.ControlAs<QTextBrowser>(kAboutText); }

    CModKeys keys;
    CAboutDlg dialog;
    std::vector<QUrl> opened;
    CAboutDlg::UrlOpener previous;
};

TEST_F(AboutDlgTest, ShowsTheReadmeReadOnlyAndCopyrightsTheCredits) {
    ShowAndPaint();
    EXPECT_EQ(dialog.windowTitle(), "Things to Read");
    EXPECT_TRUE(Text()->isReadOnly());
    EXPECT_TRUE(Text()->toPlainText().contains("The main window"));
    EXPECT_FALSE(Text()->toPlainText().contains("<h2>"));
    QTest::mouseClick(dialog.Control(kAboutCopyrights), Qt::LeftButton);
    testing::Settle();
    const QString first = Text()->toPlainText();
    dialog.Command(kAboutCopyrights);
    EXPECT_EQ(Text()->toPlainText(), first);
    EXPECT_TRUE(first.startsWith("Tolmere - an editor")) << first.toStdString();
    EXPECT_TRUE(first.endsWith("\tFirst\n\tSecond\n\tThird")) << first.toStdString();
    EXPECT_FALSE(first.contains('\r'));
    EXPECT_FALSE(first.contains("The main window"));
    // Credits that are not UTF-8 show as Latin-1.
    EXPECT_TRUE(CAboutDlg::CreditsText({"Ren\xe9", "b", "c"})
                    .endsWith(QString::fromUtf8("\tRen\xc3\xa9\n\tb\n\tc")));
}

TEST_F(AboutDlgTest, TheLinkOpensTheShippedReadmeAndNothingElseDoes) {
    ShowAndPaint();
    QTest::mouseMove(&dialog, LinkPoint());
    EXPECT_EQ(dialog.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, LinkPoint());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("/README.md"));
    // Elsewhere nothing opens.
    QTest::mouseMove(&dialog, LinkPoint() + QPoint(0, 40));
    EXPECT_EQ(dialog.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, LinkPoint() + QPoint(0, 40));
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AboutDlgTest, PressingTheLinkDoesNotDragTheWindow) {
    ShowAndPaint();
    const auto drag = [this](QPoint grip) {
        const QPoint start = dialog.pos();
        QTest::mousePress(&dialog, Qt::LeftButton, {}, grip);
        const QPoint to = grip + QPoint(30, 15);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), dialog.mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &move);
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, to);
        return dialog.pos() - start;
    };
    EXPECT_EQ(drag(LinkPoint()), QPoint(0, 0));
    EXPECT_EQ(drag(QPoint(dialog.width() / 2, dialog.height() - 8)), QPoint(30, 15));
    EXPECT_TRUE(opened.empty());
}

} // namespace
} // namespace tolmere
