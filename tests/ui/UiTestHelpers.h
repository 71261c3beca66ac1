// Driving modal windows from tests: act on whatever window runs modally next.
#pragma once

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tolmere::testing {

// Runs `action` on the next modal window once its event loop runs. The action sees the
// window, already shown.
inline void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        // Keys reach shortcuts and the focused control only in the active window.
        modal->activateWindow();
        (void)QTest::qWaitForWindowActive(modal);
        action(modal);
    });
}

// Lets posted events (queued clicks, repaints) arrive.
inline void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Pixel for pixel, ignoring what else the images carry.
inline bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
        }
    }
    return true;
}

} // namespace tolmere::testing
