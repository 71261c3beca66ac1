// SPDX-License-Identifier: MIT
// Windows that grow past the size their template gives them: which controls follow the
// growth and how, resizing from the frame's edges, and the size each window had last.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <vector>

namespace tolmere {

// The shares of a window's growth by which a control moves and by which it grows,
// across and down. A list that takes all new room stretches both ways; a button at
// the right edge moves across by all of it.
struct Growth {
    double moveX = 0, growX = 0, moveY = 0, growY = 0;
};
inline constexpr Growth kStretch{0, 1, 0, 1};
inline constexpr Growth kStretchAcross{0, 1, 0, 0};
inline constexpr Growth kFollowRight{1, 0, 0, 0};
inline constexpr Growth kFollowBottom{0, 0, 1, 0};
inline constexpr Growth kFollowCorner{1, 0, 1, 0};
inline constexpr Growth kStretchAcrossBottom{0, 1, 1, 0};

// Where a control placed at `base` in a window of its smallest size goes when the
// window is `grown` larger.
QRect GrownRect(const QRect& base, const Growth& growth, const QSize& grown);

// The window edges a point lies on, within `margin` pixels, for resizing from them. The
// top edge is the caption's and is left out: pressing there moves the window.
Qt::Edges ResizeEdges(const QPoint& point, const QSize& size, int margin);

class CWindowSizing {
public:
    explicit CWindowSizing(QWidget* window) : window_(window) {}

    // The window's present size becomes its smallest, and every control placed so far
    // its place at that size. An empty key: the size is not remembered.
    void Start(const QString& settingsKey);
    bool Started() const { return !minimum_.isEmpty(); }
    void Follow(QWidget* control, Growth growth);
    // Places the controls for the window's present size.
    void Layout();
    QSize Grown() const;

    // Maximised to the screen's free area, or back to the size it had before. Done here
    // rather than asked of the window system, which may ignore it for a window without
    // its frame, or have no window manager at all.
    void ToggleMaximised();
    bool Maximised() const { return maximised_; }

    // The size the window had when it last closed, where sizes are remembered.
    void RestoreSize();
    void SaveSize() const;
    // Off by default, so that tests and pictures of the windows always see the smallest
    // size; the editor turns it on.
    static void SetRemembered(bool on);
    // Whether windows remember what the user made of them (off in tests).
    static bool Remembered();

private:
    struct Follower {
        QPointer<QWidget> control;
        QRect base;
        Growth growth;
    };
    QWidget* window_;
    QString key_;
    QSize minimum_;
    std::vector<Follower> followers_;
    bool maximised_ = false;
    QRect normal_; // the geometry before maximising
};

} // namespace tolmere
