// SPDX-License-Identifier: MIT
#include "ui/SkinButton.h"

#include "ui/SkinLook.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QTimer>

namespace tolmere {
namespace {
constexpr int kGlowStep = 4;
constexpr int kGlowTop = 222;
constexpr int kGlowStart = 64;
constexpr int kGlowIntervalMs = 55;
const QColor kIdleFrame{108, 108, 108};
} // namespace

int CSkinButton::glowLevel_ = 0;
bool CSkinButton::glowRising_ = true;

CSkinButton::CSkinButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setMouseTracking(true);
    setAutoDefault(true);
}

void CSkinButton::ResetGlow(int level, bool rising) {
    glowLevel_ = level;
    glowRising_ = rising;
}

QString CSkinButton::DrawnText(const QString& text) {
    QString drawn = text;
    drawn.remove(QLatin1Char('&'));
    return drawn;
}

bool CSkinButton::Inside(const QPoint& point) const {
    return point.x() >= 0 && point.x() <= width() + 1 && point.y() >= 0 &&
           point.y() <= height() + 1;
}

void CSkinButton::AdvanceGlow() {
    glowLevel_ += glowRising_ ? kGlowStep : -kGlowStep;
    if (glowLevel_ > kGlowTop) {
        glowLevel_ = kGlowTop;
        glowRising_ = false;
    } else if (glowLevel_ < 0) {
        glowLevel_ = 0;
        glowRising_ = true;
    }
}

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(ButtonFont());
    const QRect client = rect();
    if (!glowRunning_)
        painter.fillRect(client, pressedLook_ ? skin::kPressedFace : skin::kBackground);
    if (pressedLook_ || hoverLook_) {
        QColor frame = kIdleFrame;
        if (glowRunning_) {
            AdvanceGlow();
            frame = QColor(glowLevel_, glowLevel_, glowLevel_);
        }
        painter.setPen(frame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(client.adjusted(0, 0, -1, -1));
    }
    // Keyboard focus shows as a ring, not only as lighter text: Tab must be followable.
    if (hasFocus() && !pressedLook_) {
        painter.setPen(QPen(skin::kFocusRing, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(client.adjusted(1, 1, -2, -2));
    }
    QColor text = focusLook_ ? skin::kButtonTextLit : skin::kButtonText;
    if (pressedLook_)
        text = Qt::black;
    painter.setPen(text);
    painter.drawText(client.adjusted(0, 4, -1, -1),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, DrawnText(this->text()));
}

void CSkinButton::StartHover() {
    hoverLook_ = true;
    tracking_ = true;
    glowRunning_ = true;
    ResetGlow(kGlowStart, true);
    glowTimer_.start(kGlowIntervalMs, this);
    update();
}

void CSkinButton::StopGlow() {
    glowTimer_.stop();
    glowRunning_ = false;
}

void CSkinButton::EndHover() {
    hoverLook_ = false;
    tracking_ = false;
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = Inside(event->position().toPoint());
    if (held_) {
        if (inside) {
            if (!pressedLook_) {
                pressedLook_ = true;
                update();
            }
        } else {
            pressedLook_ = false;
            update();
        }
        return;
    }
    if (inside) {
        if (!tracking_)
            StartHover();
        return;
    }
    EndHover();
    StopGlow();
    update();
}

void CSkinButton::enterEvent(QEnterEvent* event) {
    // The platform reports moves only while the pointer is over the button, so its
    // arrival starts the hover as the first move would.
    if (!held_ && !tracking_ && Inside(event->position().toPoint()))
        StartHover();
}

void CSkinButton::leaveEvent(QEvent*) {
    if (held_)
        return; // the held button keeps following the pointer through its moves
    EndHover();
    StopGlow();
    update();
}

void CSkinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (tracking_) {
        StopGlow();
        EndHover();
    }
    if (!held_) {
        pressedLook_ = true;
        held_ = true;
        setFocus(Qt::MouseFocusReason);
        update();
    }
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (tracking_)
        EndHover();
    if (!held_)
        return;
    held_ = false;
    pressedLook_ = false;
    repaint();
    if (Inside(event->position().toPoint()))
        PostClick();
}

void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void CSkinButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QPushButton::keyPressEvent(event);
        return;
    }
    pressedLook_ = true;
    held_ = true;
    update();
}

void CSkinButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QPushButton::keyReleaseEvent(event);
        return;
    }
    if (event->isAutoRepeat())
        return;
    pressedLook_ = false;
    held_ = false;
    update();
    PostClick();
}

void CSkinButton::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    focusLook_ = true;
    update();
}

void CSkinButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    focusLook_ = false;
    update();
}

void CSkinButton::timerEvent(QTimerEvent* event) {
    if (event->timerId() == glowTimer_.timerId()) {
        update();
        return;
    }
    QPushButton::timerEvent(event);
}

void CSkinButton::PostClick() {
    if (!parentWidget())
        return;
    QTimer::singleShot(0, this, [this] { Q_EMIT clicked(false); });
}

} // namespace tolmere
