// SPDX-License-Identifier: MIT
// The program's push button: dark, with a frame that pulses while the pointer is over it.
#pragma once

#include <QBasicTimer>
#include <QPushButton>

namespace tolmere {

class CSkinButton : public QPushButton {
    Q_OBJECT
public:
    explicit CSkinButton(const QString& text, QWidget* parent = nullptr);

    // The glow shared by every button: level 0 … 222, moving 4 per paint of a lit frame.
    static int GlowLevel() { return glowLevel_; }
    static bool GlowRising() { return glowRising_; }
    static void ResetGlow(int level = 64, bool rising = true);

    bool Held() const { return held_; }
    bool Tracking() const { return tracking_; }
    bool GlowRunning() const { return glowRunning_; }
    bool HoverLook() const { return hoverLook_; }
    bool PressedLook() const { return pressedLook_; }
    bool FocusLook() const { return focusLook_; }

    // The text as drawn: every "&" removed.
    static QString DrawnText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Inside means 0 ≤ x ≤ width + 1 and 0 ≤ y ≤ height + 1.
    bool Inside(const QPoint& point) const;
    void StartHover();
    void EndHover();
    void StopGlow();
    // Tells the parent about the click after the current event, as a posted command.
    void PostClick();
    void AdvanceGlow();

    static int glowLevel_;
    static bool glowRising_;

    bool held_ = false;
    bool tracking_ = false;
    bool glowRunning_ = false;
    bool hoverLook_ = false;
    bool focusLook_ = false;
    bool pressedLook_ = false;
    QBasicTimer glowTimer_;
};

} // namespace tolmere
