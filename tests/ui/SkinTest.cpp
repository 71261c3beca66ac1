// SPDX-License-Identifier: MIT
// The skinned look: dialogs built from their templates with their own frame, and the
// skinned buttons.
#include "ui/DibImage.h"
#include "ui/SkinButton.h"
#include "ui/SkinDialog.h"
#include "ui/SkinLook.h"

#include "UiTestHelpers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace tolmere {
namespace {

using testing::Settle;

const DialogTemplate kTestTemplate{
    900,
    "Test Dialog",
    218,
    82,
    {{1006, ControlKind::kEdit, "", 26, 26, 31, 12},
     {kNoControlId, ControlKind::kStatic, "Min", 8, 28, 15, 8},
     {1, ControlKind::kSkinButton, "Apply", 7, 47, 50, 14},
     {2, ControlKind::kDrawnButton, "Cancel", 58, 47, 50, 14},
     {1010, ControlKind::kStaticCentered, "", 73, 60, 120, 8, kStyleHidden}}};

class SkinDialogTest : public ::testing::Test {
protected:
    SkinDialogTest() : dialog(kTestTemplate, nullptr) {
        dialog.show();
        testing::Settle();
    }
    CSkinDialog dialog;
};

TEST_F(SkinDialogTest, ControlsComeFromTheTableInDialogUnitsAndEnterInABoxIsOk) {
    // 218 × 82 units of client area: 327 × 133 pixels, plus the frame.
    EXPECT_EQ(dialog.size(), QSize(327 + 20, 133 + 38));
    QWidget* edit = dialog.Control(1006);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->objectName(), "1006");
    EXPECT_EQ(edit->geometry(), QRect(10 + 39, 24 + 42, 47, 20)); // 26·6/4, 26·13/8 rounded
    EXPECT_FALSE(dialog.Control(1010)->isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Test Dialog");
    // Escape in a box is checked with the name dialog.
    edit->setFocus();
    int okCommands = 0;
    dialog.OnCommand(kDialogOk, [&] { ++okCommands; });
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(okCommands, 1);
}

// The caption is the dialog's own drawing: a new title (the " *" going after an undo)
// repaints it. A dialog without a parent opens over the window that opened it.
TEST_F(SkinDialogTest, ANewTitleRepaintsAndAParentlessDialogOpensOverItsOpener) {
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } count;
    dialog.installEventFilter(&count);
    dialog.setWindowTitle(QStringLiteral("Test Dialog *"));
    testing::Settle();
    EXPECT_GT(count.paints, 0);
    dialog.removeEventFilter(&count);

    dialog.move(40, 30);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    CSkinDialog opened(kTestTemplate, nullptr);
    opened.show();
    testing::Settle();
    EXPECT_EQ(opened.frameGeometry().center(), dialog.frameGeometry().center());
}

TEST(ControlTip, SaysWhatAButtonDoesAndItsAltKey) {
    const struct {
        const char* caption;
        const char* description;
        const char* tip;
    } cases[] = {
        {"S&pawn On", "Write the table", "Write the table (Alt+P)"},
        {"Save &As", "", "Save As (Alt+A)"},
        {"Add", "", "Add"},
        {"R&&D &tools", "", "R&D tools (Alt+T)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ControlTip(QString::fromLatin1(c.caption), QString::fromLatin1(c.description))
                      .toStdString(),
                  c.tip);
}

TEST_F(SkinDialogTest, TheCloseCornerLightsUnderThePointerAndAClickThereCancels) {
    QTest::mouseMove(&dialog, QPoint(dialog.width() - 20, 10));
    EXPECT_TRUE(dialog.CloseHighlighted());
    QTest::mouseMove(&dialog, QPoint(dialog.width() / 2, 10));
    EXPECT_FALSE(dialog.CloseHighlighted());
    // Further right than the lit zone reaches, a click still closes.
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(dialog.width() - 10, 12));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), kDialogCancel);
}

TEST_F(SkinDialogTest, RoundedRegionCutsTheCorners) {
    const QSize size = dialog.size();
    const QRegion region = CSkinDialog::RoundedRegion(size);
    const int w = size.width(), h = size.height();
    for (QPoint corner : {QPoint(2, 2), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 3, h - 3)})
        EXPECT_FALSE(region.contains(corner)) << corner.x() << "," << corner.y();
    for (QPoint inside :
         {QPoint(w / 2, 0), QPoint(w - 1, h / 2), QPoint(6, 6), QPoint(w - 7, h - 7)})
        EXPECT_TRUE(region.contains(inside)) << inside.x() << "," << inside.y();
    EXPECT_FALSE(region.contains(QPoint(w, h / 2)));
}

TEST_F(SkinDialogTest, CaptionTurnsGreyWhenAnotherWindowIsActivated) {
    dialog.activateWindow();
    QTest::qWait(20);
    ASSERT_TRUE(dialog.ActiveLook());
    EXPECT_EQ(dialog.CaptionColour(), QColor(255, 255, 255));
    QWidget other;
    other.show();
    other.activateWindow();
    QTest::qWait(20);
    EXPECT_FALSE(dialog.ActiveLook());
    EXPECT_EQ(dialog.CaptionColour(), QColor(128, 128, 128));
}

// The frame's pieces land where they belong: the top rows of the top-left corner and
// the close-button corner, drawn unscaled, at the window's edges.
TEST_F(SkinDialogTest, FramePiecesComeFromTheSkin) {
    const CDib& skin = SkinPicture();
    ASSERT_FALSE(skin.IsEmpty());
    const QImage picture = DibImage(skin).convertToFormat(QImage::Format_RGB32);
    const int wp = picture.width(), hp = picture.height();
    const QImage shot = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int w = shot.width();
    for (QPoint p : {QPoint(5, 0), QPoint(12, 0), QPoint(30, 0)})
        EXPECT_EQ(shot.pixel(p), picture.pixel(p.x(), hp - 24)) << p.x();
    for (QPoint p : {QPoint(w - 1, 1), QPoint(w - 27, 3), QPoint(w - 5, 22), QPoint(w - 20, 12)})
        EXPECT_EQ(shot.pixel(p), picture.pixel(wp - 29 + (p.x() - (w - 28)), hp - 25 + p.y()));
    // The client area is the dialog colour.
    EXPECT_EQ(QColor(shot.pixel(15, 30)), QColor(59, 58, 5));
}

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
    // A mouse event sent straight to the button, with `held` down after it.
    void Send(QEvent::Type type, QPointF at, Qt::MouseButtons held,
              Qt::MouseButton which = Qt::NoButton) {
        QMouseEvent event(type, at, button->mapToGlobal(at), which, held, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
    QWidget parent;
    CSkinButton* button;
};

TEST_F(SkinButtonTest, KeyboardFocusShowsAsARing) {
    button->clearFocus();
    testing::Settle();
    const QImage unfocused = button->grab().toImage();
    button->setFocus(Qt::TabFocusReason);
    testing::Settle();
    const QImage focused = button->grab().toImage();
    // The ring runs just inside the edge, where no text is drawn.
    const auto ringDots = [&](const QImage& image) {
        int dots = 0;
        for (int y = 0; y < image.height(); ++y)
            dots += image.pixelColor(1, y) == skin::kFocusRing ? 1 : 0;
        return dots;
    };
    EXPECT_EQ(ringDots(unfocused), 0);
    EXPECT_GT(ringDots(focused), 3);
}

TEST_F(SkinButtonTest, APressReleasedInsideClicksOnceAndOutsideNot) {
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->Held());
    EXPECT_TRUE(button->PressedLook());
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(button->grab().toImage().pixelColor(3, 15), QColor(164, 164, 164));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->Held());
    EXPECT_EQ(clicks.count(), 0) << "the click is posted, not sent";
    Settle();
    EXPECT_EQ(clicks.count(), 1);

    // Released outside: nothing; coming back before the release: a click.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    Send(QEvent::MouseMove, {200, 5}, Qt::LeftButton);
    EXPECT_FALSE(button->PressedLook());
    // Sent straight to the button: QTest would hand a release outside to another widget.
    Send(QEvent::MouseButtonRelease, {200, 5}, Qt::NoButton, Qt::LeftButton);
    Settle();
    EXPECT_EQ(clicks.count(), 1);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    Send(QEvent::MouseMove, {200, 5}, Qt::LeftButton);
    Send(QEvent::MouseMove, {76, 22}, Qt::LeftButton);
    EXPECT_TRUE(button->PressedLook()) << "width + 1 still counts as inside";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(76, 22));
    Settle();
    EXPECT_EQ(clicks.count(), 2);
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
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        Send(type, {5, 5}, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
             Qt::LeftButton);
    Settle();
    EXPECT_EQ(clicks.count(), 2) << "the first press and release click; the second is ignored";
}

TEST_F(SkinButtonTest, HoverGlowsAndLeavingStopsIt) {
    QTest::mouseMove(button, QPoint(5, 5));
    ASSERT_TRUE(button->GlowRunning());
    CSkinButton::ResetGlow(64, true);
    button->grab();
    EXPECT_GT(CSkinButton::GlowLevel(), 64);
    Send(QEvent::MouseMove, {300, 5}, Qt::NoButton);
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

} // namespace
} // namespace tolmere
