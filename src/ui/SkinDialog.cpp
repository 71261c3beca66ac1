// SPDX-License-Identifier: MIT
#include "ui/SkinDialog.h"

#include "ui/DibImage.h"
#include "ui/SkinLook.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

#include <algorithm>

namespace tolmere {
namespace {

constexpr int kCornerEllipse = 25;
constexpr int kAnimationIntervalMs = 30;

// Zones of the caption band, in window coordinates; both ends exclusive.
constexpr int kZoneTop = 5, kZoneBottom = 20;
constexpr int kCloseHitFromRight = 28, kCloseHitToRight = 12; // hover and hit test
constexpr int kCloseClickToRight = 8;                         // a click reaches further
constexpr int kMenuLeft = 16, kMenuRight = 32;
constexpr int kMenuBandWidth = 36;
constexpr int kResizeMargin = 6; // inside the frame's sides and bottom

Qt::CursorShape ResizeCursor(Qt::Edges edges) {
    const bool across = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool down = edges & Qt::BottomEdge;
    if (across && down)
        return edges & Qt::LeftEdge ? Qt::SizeBDiagCursor : Qt::SizeFDiagCursor;
    return across ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

bool InZoneBand(int y) {
    return y > kZoneTop && y < kZoneBottom;
}
bool InCloseClickZone(const QPoint& p, int width) {
    return InZoneBand(p.y()) && p.x() > width - kCloseHitFromRight &&
           p.x() < width - kCloseClickToRight;
}
bool InMenuClickZone(const QPoint& p) {
    return InZoneBand(p.y()) && p.x() > kMenuLeft && p.x() < kMenuRight;
}

void DrawPiece(QPainter& painter, const CDib& skin, InclusiveRect dest, InclusiveRect source) {
    DrawStretched(painter, skin, &dest, &source);
}

} // namespace

CSkinDialog::CSkinDialog(const DialogTemplate& tmpl, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), resourceId_(tmpl.resourceId) {
    SkinPicture(); // the first dialog loads the program-wide picture
    captionFont_ = CaptionFont();
    setWindowTitle(QString::fromLatin1(tmpl.caption));
    setFont(DialogFont());
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground, false);
    // The program ends when its main window's own loop returns, after that window asked
    // about unsaved work. A dialog closing while the main window is hidden (Set Master
    // hides it) must not end it as the last window.
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildControls(this, tmpl);
    setFixedSize(DialogUnitsX(tmpl.cx) + kSkinFrame.left() + kSkinFrame.right(),
                 DialogUnitsY(tmpl.cy) + kSkinFrame.top() + kSkinFrame.bottom());
    for (const ControlRow& row : tmpl.controls) {
        if (row.id == kNoControlId)
            continue;
        if (auto* button = FindControlAs<QAbstractButton>(this, row.id)) {
            const int id = row.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { Command(id); });
        }
    }
}

CSkinDialog::~CSkinDialog() = default;

void CSkinDialog::InitDialog() {
    if (initialised_)
        return;
    initialised_ = true;
    OnInitDialog();
}

int CSkinDialog::RunModal() {
    InitDialog();
    return exec();
}

void CSkinDialog::OnInitDialog() {
    ApplySkinColours(this);
}

void CSkinDialog::MakeResizable(const QString& settingsKey,
                                const std::vector<std::pair<int, Growth>>& controls) {
    sizing_.Start(settingsKey);
    for (const auto& [id, growth] : controls)
        sizing_.Follow(Control(id), growth);
}

void CSkinDialog::StartResize(Qt::Edges edges, const QPoint& globalPosition) {
    if (windowHandle() && windowHandle()->startSystemResize(edges))
        return;
    resizing_ = edges;
    resizeFrom_ = globalPosition;
    resizeStart_ = geometry();
}

void CSkinDialog::OnCommand(int id, std::function<void()> handler) {
    handlers_[id] = std::move(handler);
}

void CSkinDialog::Command(int id) {
    auto found = handlers_.find(id);
    if (found != handlers_.end() && found->second) {
        found->second();
        return;
    }
    if (id == kDialogOk)
        OnOK();
    else if (id == kDialogCancel)
        OnCancel();
}

CSkinDialog::HitZone CSkinDialog::HitTest(const QPoint& p) {
    const int w = width();
    if (InZoneBand(p.y()) && p.x() > w - kCloseHitFromRight && p.x() < w - kCloseHitToRight) {
        pointerOverClose_ = true;
        return HitZone::kWindowMenu;
    }
    if (p.y() <= 2 || p.y() >= kSkinFrame.top())
        return HitZone::kCaption;
    if (p.x() >= kMenuBandWidth)
        return HitZone::kCaption;
    pointerOverClose_ = false;
    return HitZone::kWindowMenu;
}

QRect CSkinDialog::ClientRect() const {
    return rect().marginsRemoved(kSkinFrame);
}

QRegion CSkinDialog::RoundedRegion(const QSize& size) {
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    const qreal radius = kCornerEllipse / 2.0;
    painter.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), radius, radius);
    painter.end();
    return QRegion(mask);
}

QColor CSkinDialog::CaptionColour() const {
    return active_ ? skin::kCaptionActive : skin::kCaptionInactive;
}

void CSkinDialog::PaintFrame(QPainter& painter) const {
    const CDib& skin = SkinPicture();
    if (skin.IsEmpty())
        return;
    const int w = width(), h = height();
    const int wp = static_cast<int>(skin.Desc().width);
    const int hp = static_cast<int>(skin.Desc().height);
    DrawPiece(painter, skin, {0, 0, 36, 24}, {0, hp - 24, 36, hp - 1});
    DrawPiece(painter, skin, {0, 24, 10, h - 13}, {0, hp - 48, 10, hp - 33});
    DrawPiece(painter, skin, {w - 10, 24, w, h - 13}, {wp - 11, hp - 48, wp - 1, hp - 33});
    DrawPiece(painter, skin, {32, h - 15, w - 64, h}, {32, 0, 64, 15});
    DrawPiece(painter, skin, {0, h - 15, 31, h}, {0, 0, 31, 15});
    DrawPiece(painter, skin, {w - 64, h - 15, w, h}, {wp - 65, 0, wp - 1, 15});
    DrawPiece(painter, skin, {36, 0, w - 28, 24}, {64, hp - 25, 96, hp - 1});
    DrawPiece(painter, skin, {w - 28, 0, w, 24}, {wp - 29, hp - 25, wp - 1, hp - 1});
    if (closeHighlighted_)
        DrawPiece(painter, skin, {w - 28, 5, w - 12, 24}, {wp - 45, hp - 25, wp - 29, hp - 6});
    if (lastAnimationPiece_ >= 0) {
        const int k = lastAnimationPiece_;
        DrawPiece(painter, skin, {16, 0, 31, 24}, {16, hp - 24 * (k + 1), 31, hp - 24 * k - 1});
    }
}

void CSkinDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), skin::kBackground);
    PaintFrame(painter);
    // The client area is the dialog's own background; the frame pieces never reach in.
    painter.fillRect(ClientRect(), skin::kBackground);

    painter.setFont(captionFont_);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QString title = windowTitle();
    const auto drawCaption = [&](int x, int y, const QColor& colour) {
        painter.setPen(colour);
        painter.drawText(QRect(x, y, width(), kSkinFrame.top()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                         title);
    };
    drawCaption(43, 4, skin::kCaptionShadow);
    drawCaption(45, 6, skin::kCaptionShadow);
    drawCaption(44, 5, CaptionColour());
}

void CSkinDialog::ShowWindowMenu() {
    QMenu menu(this);
    QAction* moveAction = menu.addAction(tr("&Move"));
    QAction* sizeAction = nullptr;
    if (Resizable())
        sizeAction = menu.addAction(sizing_.Maximised() ? tr("&Restore") : tr("Ma&ximize"));
    QAction* closeAction = menu.addAction(tr("&Close"));
    closeAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    QAction* chosen = menu.exec(mapToGlobal(QPoint(0, kSkinFrame.top())));
    if (chosen == closeAction)
        reject();
    else if (chosen && chosen == sizeAction)
        sizing_.ToggleMaximised();
    else if (chosen == moveAction && windowHandle())
        windowHandle()->startSystemMove();
}

void CSkinDialog::StartDrag(const QPoint& globalPosition) {
    // The window system moves the window where it can; otherwise the moves follow the
    // pointer here.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = globalPosition - frameGeometry().topLeft();
}

void CSkinDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (IsClickable(p)) {
        event->ignore();
        return;
    }
    if (Resizable() && !sizing_.Maximised()) {
        if (const Qt::Edges edges = ResizeEdges(p, size(), kResizeMargin)) {
            StartResize(edges, event->globalPosition().toPoint());
            return;
        }
    }
    if (InCloseClickZone(p, width())) {
        reject();
        return;
    }
    if (InMenuClickZone(p)) {
        ShowWindowMenu();
        return;
    }
    StartDrag(event->globalPosition().toPoint());
}

void CSkinDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    if (resizing_ && (event->buttons() & Qt::LeftButton)) {
        const QPoint moved = event->globalPosition().toPoint() - resizeFrom_;
        QRect wanted = resizeStart_;
        if (resizing_ & Qt::LeftEdge)
            wanted.setLeft(std::min(wanted.left() + moved.x(), wanted.right() - minimumWidth()));
        if (resizing_ & Qt::RightEdge)
            wanted.setRight(wanted.right() + moved.x());
        if (resizing_ & Qt::BottomEdge)
            wanted.setBottom(wanted.bottom() + moved.y());
        setGeometry(QRect(wanted.topLeft(), wanted.size().expandedTo(minimumSize())));
        return;
    }
    const QPoint p = event->position().toPoint();
    const Qt::Edges edges =
        Resizable() && !sizing_.Maximised() ? ResizeEdges(p, size(), kResizeMargin) : Qt::Edges();
    // Only a cursor set here is taken back here: derived windows set their own.
    if (edges) {
        setCursor(ResizeCursor(edges));
        resizeCursorShown_ = true;
    } else if (resizeCursorShown_) {
        unsetCursor();
        resizeCursorShown_ = false;
    }
    const HitZone zone = HitTest(p);
    const QRect closeArea(width() - 28, 0, 28, kSkinFrame.top() + 1);
    if (zone == HitZone::kWindowMenu && pointerOverClose_) {
        if (!closeHighlighted_) {
            closeHighlighted_ = true;
            update(closeArea);
        }
    } else if (closeHighlighted_) {
        closeHighlighted_ = false;
        update(closeArea);
    }
    SetAnimating(zone == HitZone::kWindowMenu && !pointerOverClose_);
    QDialog::mouseMoveEvent(event);
}

void CSkinDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        resizing_ = Qt::Edges();
    }
    QDialog::mouseReleaseEvent(event);
}

void CSkinDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (Resizable() && event->button() == Qt::LeftButton && p.y() < kSkinFrame.top() &&
        !InCloseClickZone(p, width()) && !InMenuClickZone(p)) {
        sizing_.ToggleMaximised();
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}

void CSkinDialog::hideEvent(QHideEvent* event) {
    sizing_.SaveSize();
    QDialog::hideEvent(event);
}

void CSkinDialog::leaveEvent(QEvent* event) {
    // Leaving the window ends the hover looks, which would otherwise stay lit.
    if (closeHighlighted_) {
        closeHighlighted_ = false;
        update();
    }
    SetAnimating(false);
    QDialog::leaveEvent(event);
}

void CSkinDialog::SetAnimating(bool on) {
    if (on) {
        // Every move over the zone starts the animation again from its first frame.
        animating_ = true;
        animationFrames_ = 0;
        if (!animationTimer_.isActive())
            animationTimer_.start(kAnimationIntervalMs, this);
        return;
    }
    animating_ = false;
    animationTimer_.stop();
}

void CSkinDialog::timerEvent(QTimerEvent* event) {
    if (event->timerId() != animationTimer_.timerId()) {
        QDialog::timerEvent(event);
        return;
    }
    if (!animating_)
        return;
    lastAnimationPiece_ = animationFrames_ % 3;
    ++animationFrames_;
    update(QRect(16, 0, 16, kSkinFrame.top() + 1));
}

void CSkinDialog::changeEvent(QEvent* event) {
    // The caption is drawn here, not by the window system: a new title (the " *" of
    // unsaved work coming or going) needs a repaint.
    if (event->type() == QEvent::WindowTitleChange)
        update(0, 0, width(), kSkinFrame.top());
    if (event->type() == QEvent::ActivationChange) {
        active_ = isActiveWindow();
        lastAnimationPiece_ = -1;
        update();
    }
    QDialog::changeEvent(event);
}

void CSkinDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    setMask(RoundedRegion(size()));
    lastAnimationPiece_ = -1;
    sizing_.Layout();
}

void CSkinDialog::showEvent(QShowEvent* event) {
    InitDialog();
    if (!sizeRestored_) {
        sizeRestored_ = true;
        sizing_.RestoreSize();
        // A dialog opened without a parent opens over the window that opened it, not
        // where the window system puts new windows.
        const QWidget* opener = QApplication::activeWindow();
        if (!parentWidget() && opener && opener != this && !sizing_.Maximised())
            move(opener->frameGeometry().center() - rect().center());
    }
    setMask(RoundedRegion(size()));
    QDialog::showEvent(event);
}

void CSkinDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A focused push button takes Enter as its own click; anywhere else Enter is
        // the dialog's OK command.
        // In a list or a drop-down list Enter means the list's own choice, never the
        // window's OK (which writes the archive in the editor's windows).
        QWidget* focus = focusWidget();
        if (auto* button = qobject_cast<QPushButton*>(focus);
            button && button->isVisible() && button->isEnabled()) {
            button->click();
        } else if (!qobject_cast<QAbstractItemView*>(focus) && !qobject_cast<QComboBox*>(focus)) {
            Command(kDialogOk);
        }
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command(kDialogCancel);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tolmere
