#include "ui/SkinDialog.h"
#include "ui/DibImage.h"
#include "ui/SkinLook.h"

#include "UiTestHelpers.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

namespace tolmere {
namespace {

const DialogTemplate kTestTemplate{
    900,
    "Test Dialog",
    218,
    82,
    {
        {1006, ControlKind::kEdit, "", 26, 26, 31, 12},
        {kNoControlId, ControlKind::kStatic, "Min", 8, 28, 15, 8},
        {1, ControlKind::kSkinButton, "Apply", 7, 47, 50, 14},
        {2, ControlKind::kDrawnButton, "Cancel", 58, 47, 50, 14},
        {1010, ControlKind::kStaticCentered, "", 73, 60, 120, 8, kStyleHidden},
    }};

class SkinDialogTest : public ::testing::Test {
protected:
    SkinDialogTest() : dialog(kTestTemplate, nullptr) {
        dialog.show();
        testing::Settle();
    }
    CSkinDialog dialog;
};

TEST_F(SkinDialogTest, ControlsComeFromTheTableInDialogUnits) {
    // 218 × 82 units of client area: 327 × 133 pixels, plus the frame.
    EXPECT_EQ(dialog.size(), QSize(327 + 20, 133 + 38));
    QWidget* edit = dialog.Control(1006);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->objectName(), "1006");
    EXPECT_EQ(edit->geometry(), QRect(10 + 39, 24 + 42, 47, 20)); // 26·6/4, 26·13/8 rounded
    EXPECT_FALSE(dialog.Control(1010)->isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Test Dialog");
}

TEST_F(SkinDialogTest, HitTestZones) {
    const int w = dialog.width();
    EXPECT_EQ(dialog.HitTest({w - 20, 10}), CSkinDialog::HitZone::kWindowMenu);
    EXPECT_TRUE(dialog.PointerOverClose());
    EXPECT_EQ(dialog.HitTest({w - 10, 10}), CSkinDialog::HitZone::kCaption);
    EXPECT_EQ(dialog.HitTest({20, 10}), CSkinDialog::HitZone::kWindowMenu);
    EXPECT_FALSE(dialog.PointerOverClose());
    EXPECT_EQ(dialog.HitTest({20, 2}), CSkinDialog::HitZone::kCaption);
    EXPECT_EQ(dialog.HitTest({20, 24}), CSkinDialog::HitZone::kCaption);
    EXPECT_EQ(dialog.HitTest({36, 10}), CSkinDialog::HitZone::kCaption);
    EXPECT_EQ(dialog.HitTest({w / 2, 80}), CSkinDialog::HitZone::kCaption);
}

TEST_F(SkinDialogTest, ClickInTheCloseZoneCancelsEvenWhereTheHitTestSaysCaption) {
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(dialog.width() - 10, 12));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), kDialogCancel);
}

TEST_F(SkinDialogTest, HoveringTheCloseZoneLightsItAndLeavingRestores) {
    QTest::mouseMove(&dialog, QPoint(dialog.width() - 20, 10));
    EXPECT_TRUE(dialog.CloseHighlighted());
    QTest::mouseMove(&dialog, QPoint(dialog.width() / 2, 10));
    EXPECT_FALSE(dialog.CloseHighlighted());
    QTest::mouseMove(&dialog, QPoint(20, 10));
    EXPECT_TRUE(dialog.Animating());
    QTest::mouseMove(&dialog, QPoint(dialog.width() / 2, 60));
    EXPECT_FALSE(dialog.Animating());
}

TEST_F(SkinDialogTest, RoundedRegionCutsTheCorners) {
    const QSize size = dialog.size();
    const QRegion region = CSkinDialog::RoundedRegion(size);
    const int w = size.width(), h = size.height();
    for (QPoint corner : {QPoint(0, 0), QPoint(2, 2), QPoint(w - 1, 0), QPoint(0, h - 1),
                          QPoint(w - 1, h - 1), QPoint(w - 3, h - 3)})
        EXPECT_FALSE(region.contains(corner)) << corner.x() << "," << corner.y();
    for (QPoint inside : {QPoint(w / 2, 0), QPoint(0, h / 2), QPoint(w - 1, h / 2),
                          QPoint(w / 2, h - 1), QPoint(6, 6), QPoint(w - 7, h - 7)})
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

TEST_F(SkinDialogTest, DraggingTheBackgroundMovesTheWindow) {
    const QPoint start = dialog.pos();
    const QPoint grip(dialog.width() / 2, dialog.height() - 30);
    QTest::mousePress(&dialog, Qt::LeftButton, {}, grip);
    QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(30, 15)),
                     dialog.mapToGlobal(QPointF(grip + QPoint(30, 15))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &drag);
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, grip + QPoint(30, 15));
    EXPECT_EQ(dialog.pos(), start + QPoint(30, 15));
}

TEST_F(SkinDialogTest, EnterIsOkAndEscapeIsCancelWherePressed) {
    auto* edit = dialog.ControlAs<QLineEdit>(1006);
    edit->setFocus();
    int okCommands = 0;
    dialog.OnCommand(kDialogOk, [&] { ++okCommands; });
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(okCommands, 1);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), kDialogCancel);
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

} // namespace
} // namespace tolmere
