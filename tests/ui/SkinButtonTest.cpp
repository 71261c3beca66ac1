#include "ui/SkinButton.h"

#include "UiTestHelpers.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QSignalSpy>
#include <QTest>

namespace tolmere {
namespace {

using testing::Settle;

class SkinButtonTest : public ::testing::Test {
protected:
    SkinButtonTest() : button(new CSkinButton("S&pawn On", &parent)) {
        parent.resize(200, 100);
        button->setGeometry(10, 10, 75, 21);
        parent.show();
        parent.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&parent));
        // Earlier tests may have left the pointer where this button now lies.
        QTest::mouseMove(&parent, QPoint(190, 90));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
    }
    QWidget parent;
    CSkinButton* button;
};

TEST_F(SkinButtonTest, PressAndReleaseInsideClicksOnce) {
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->Held());
    EXPECT_TRUE(button->PressedLook());
    EXPECT_TRUE(button->hasFocus());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->Held());
    EXPECT_EQ(clicks.count(), 0) << "the click is posted, not sent";
    Settle();
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SkinButtonTest, ReleaseOutsideSendsNothingButComingBackDoes) {
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent away(QEvent::MouseMove, QPointF(200, 5), button->mapToGlobal(QPointF(200, 5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &away);
    EXPECT_FALSE(button->PressedLook());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 5));
    Settle();
    EXPECT_EQ(clicks.count(), 0);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::sendEvent(button, &away);
    QMouseEvent back(QEvent::MouseMove, QPointF(76, 22), button->mapToGlobal(QPointF(76, 22)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &back);
    EXPECT_TRUE(button->PressedLook()) << "width + 1 still counts as inside";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(76, 22));
    Settle();
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SkinButtonTest, SpaceClicksOnReleaseAndDoubleClicksAreIgnored) {
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    button->setFocus();
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_TRUE(button->Held());
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(button, Qt::Key_Space);
    Settle();
    EXPECT_EQ(clicks.count(), 1);

    // A double click arrives as press, release, double-click, release.
    const auto send = [this](QEvent::Type type) {
        QMouseEvent event(type, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    };
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        send(type);
    Settle();
    EXPECT_EQ(clicks.count(), 2) << "the first press and release click; the second is ignored";
}

TEST_F(SkinButtonTest, HoverGlowsUpToTheTopThenDownToZeroAndUpAgain) {
    QTest::mouseMove(button, QPoint(5, 5));
    ASSERT_TRUE(button->Tracking());
    ASSERT_TRUE(button->GlowRunning());
    CSkinButton::ResetGlow(64, true);
    std::vector<int> levels;
    for (int paint = 0; paint < 120; ++paint) {
        button->grab();
        levels.push_back(CSkinButton::GlowLevel());
    }
    EXPECT_EQ(levels.front(), 68);
    const auto top = std::find(levels.begin(), levels.end(), 222);
    ASSERT_NE(top, levels.end());
    EXPECT_EQ(top - levels.begin(), (220 - 68) / 4 + 1) << "68, 72, … 220, then 222";
    EXPECT_EQ(*(top + 1), 218);
    const auto bottom = std::find(top, levels.end(), 0);
    ASSERT_NE(bottom, levels.end());
    EXPECT_EQ(*(bottom + 1), 4);

    QMouseEvent away(QEvent::MouseMove, QPointF(300, 5), button->mapToGlobal(QPointF(300, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &away);
    EXPECT_FALSE(button->GlowRunning());
    EXPECT_FALSE(button->HoverLook());
    const int level = CSkinButton::GlowLevel();
    button->grab();
    EXPECT_EQ(CSkinButton::GlowLevel(), level) << "an idle button leaves the glow alone";
}

TEST_F(SkinButtonTest, DrawsTheTextWithoutAmpersandOrUnderline) {
    EXPECT_EQ(CSkinButton::DrawnText("S&pawn On"), "Spawn On");
    // Drawn with and without the "&", the button looks the same.
    const auto shot = [this] {
        return button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage withAmpersand = shot();
    button->setText("Spawn On");
    EXPECT_TRUE(testing::SamePixels(shot(), withAmpersand));
}

TEST_F(SkinButtonTest, PressedFaceIsLightGrey) {
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    const QImage pressed = button->grab().toImage();
    EXPECT_EQ(pressed.pixelColor(3, 15), QColor(164, 164, 164));
    EXPECT_EQ(pressed.pixelColor(0, 0), QColor(108, 108, 108)) << "the idle frame";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    Settle();
}

} // namespace
} // namespace tolmere
