// SPDX-License-Identifier: MIT
#include "ui/WindowSizing.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include <cmath>

namespace tolmere {
namespace {

bool gRemembered = false;

int Share(int amount, double share) {
    return static_cast<int>(std::lround(amount * share));
}

QString SettingsName(const QString& key, const char* what) {
    return QStringLiteral("windows/") + key + QLatin1Char('/') + QLatin1String(what);
}

} // namespace

QRect GrownRect(const QRect& base, const Growth& growth, const QSize& grown) {
    // Moves and growths are rounded from the window's edges, so that two controls sharing
    // the growth meet without a gap or an overlap.
    const int left = base.left() + Share(grown.width(), growth.moveX);
    const int right =
        base.left() + base.width() + Share(grown.width(), growth.moveX + growth.growX);
    const int top = base.top() + Share(grown.height(), growth.moveY);
    const int bottom =
        base.top() + base.height() + Share(grown.height(), growth.moveY + growth.growY);
    return QRect(left, top, right - left, bottom - top);
}

Qt::Edges ResizeEdges(const QPoint& point, const QSize& size, int margin) {
    Qt::Edges edges;
    if (point.x() < margin)
        edges |= Qt::LeftEdge;
    if (point.x() >= size.width() - margin)
        edges |= Qt::RightEdge;
    if (point.y() >= size.height() - margin)
        edges |= Qt::BottomEdge;
    return edges;
}

void CWindowSizing::Start(const QString& settingsKey) {
    key_ = settingsKey;
    minimum_ = window_->size();
    window_->setMinimumSize(minimum_);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void CWindowSizing::Follow(QWidget* control, Growth growth) {
    if (control)
        followers_.push_back({control, control->geometry(), growth});
}

QSize CWindowSizing::Grown() const {
    if (!Started())
        return QSize(0, 0);
    return QSize(std::max(0, window_->width() - minimum_.width()),
                 std::max(0, window_->height() - minimum_.height()));
}

void CWindowSizing::Layout() {
    const QSize grown = Grown();
    for (const Follower& follower : followers_) {
        if (follower.control)
            follower.control->setGeometry(GrownRect(follower.base, follower.growth, grown));
    }
}

void CWindowSizing::RestoreSize() {
    if (!gRemembered || !Started() || key_.isEmpty())
        return;
    const QSettings settings;
    QSize size = settings.value(SettingsName(key_, "size")).toSize();
    if (!size.isValid())
        return;
    // A size from a larger screen than this one is cut to this one.
    if (const QScreen* screen =
            window_->screen() ? window_->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize());
    window_->resize(size.expandedTo(minimum_));
    if (settings.value(SettingsName(key_, "maximized")).toBool())
        ToggleMaximised();
}

void CWindowSizing::SaveSize() const {
    if (!gRemembered || !Started() || key_.isEmpty())
        return;
    QSettings settings;
    settings.setValue(SettingsName(key_, "maximized"), maximised_);
    settings.setValue(SettingsName(key_, "size"), maximised_ ? normal_.size() : window_->size());
}

void CWindowSizing::ToggleMaximised() {
    if (!Started())
        return;
    if (maximised_) {
        maximised_ = false;
        window_->setGeometry(normal_);
        return;
    }
    const QScreen* screen =
        window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    normal_ = window_->geometry();
    maximised_ = true;
    window_->setGeometry(screen->availableGeometry());
}

void CWindowSizing::SetRemembered(bool on) {
    gRemembered = on;
}

bool CWindowSizing::Remembered() {
    return gRemembered;
}

} // namespace tolmere
