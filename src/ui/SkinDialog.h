// SPDX-License-Identifier: MIT
// The base of every window of the program: a modal dialog that draws its own frame and
// caption from the skin picture, with rounded corners, a close zone, a window-menu zone,
// dragging by any free spot and the skin's colour scheme.
#pragma once

#include "ui/DialogTemplate.h"
#include "ui/WindowSizing.h"

#include <QBasicTimer>
#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QRegion>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace tolmere {

// Results a dialog ends with, as its OK and cancel commands give them.
enum DialogResult : int { kDialogOk = 1, kDialogCancel = 2 };

class CSkinDialog : public QDialog {
    Q_OBJECT
public:
    CSkinDialog(const DialogTemplate& tmpl, QWidget* parent);
    ~CSkinDialog() override;

    int ResourceId() const { return resourceId_; }

    // Runs the dialog's initialisation once; showing the dialog runs it too.
    void InitDialog();
    // Initialises, then runs the dialog modally; returns its result.
    int RunModal();

    QWidget* Control(int id) const { return FindControl(this, id); }
    template <class T> T* ControlAs(int id) const { return FindControlAs<T>(this, id); }

    // Connects the command of control `id`: its clicks, and for 1 and 2 the Enter and
    // Escape keys. Without a handler, command 1 runs OnOK and command 2 OnCancel.
    void OnCommand(int id, std::function<void()> handler);
    // Carries out the command of control `id` as a click on it would.
    void Command(int id);

    // Lets the window grow past its template size, which stays its smallest: from its
    // frame's edges, by maximising (a double click on the caption, or the window menu),
    // and to the size it last had where the editor remembers sizes (under
    // `settingsKey`). Each listed control follows the growth as its Growth says; the
    // others keep their places. Call once the controls are placed.
    void MakeResizable(const QString& settingsKey,
                       const std::vector<std::pair<int, Growth>>& controls);
    // A control not in the template (made in code) follows the growth too.
    void FollowGrowth(QWidget* control, Growth growth) { sizing_.Follow(control, growth); }
    // How much larger than its template size the window is now.
    QSize Grown() const { return sizing_.Grown(); }
    bool Resizable() const { return sizing_.Started(); }
    bool Maximised() const { return sizing_.Maximised(); }

    // Where a point of the window (window coordinates) lies for the pointer. The close
    // zone answers the window-menu code and marks the pointer as over the close button.
    enum class HitZone { kCaption, kWindowMenu };
    HitZone HitTest(const QPoint& point);

    // The client area, inside the frame, in window coordinates.
    QRect ClientRect() const;
    // The rounded window shape for a window of this size.
    static QRegion RoundedRegion(const QSize& size);

    bool ActiveLook() const { return active_; }
    QColor CaptionColour() const;
    bool PointerOverClose() const { return pointerOverClose_; }
    bool CloseHighlighted() const { return closeHighlighted_; }
    bool Animating() const { return animating_; }
    int AnimationFrameCount() const { return animationFrames_; }

public Q_SLOTS:
    void accept() override { Command(kDialogOk); }
    void reject() override { Command(kDialogCancel); }

protected:
    // Derived dialogs fill their controls here, calling the base first.
    virtual void OnInitDialog();
    virtual void OnOK() { done(kDialogOk); }
    virtual void OnCancel() { done(kDialogCancel); }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // Points of the window that take clicks although they lie on the dialog itself, so
    // that pressing there neither drags the window nor opens its menu.
    virtual bool IsClickable(const QPoint&) const { return false; }

private:
    void PaintFrame(QPainter& painter) const;
    void ShowWindowMenu();
    void StartDrag(const QPoint& globalPosition);
    void SetAnimating(bool on);
    void StartResize(Qt::Edges edges, const QPoint& globalPosition);

    int resourceId_;
    QFont captionFont_;
    std::map<int, std::function<void()>> handlers_;
    bool initialised_ = false;
    bool active_ = false;
    bool pointerOverClose_ = false;
    bool closeHighlighted_ = false;
    bool animating_ = false;
    int animationFrames_ = 0;
    int lastAnimationPiece_ = -1; // the frame piece drawn last, until the next full paint
    QBasicTimer animationTimer_;
    bool dragging_ = false;
    QPoint dragOffset_;
    CWindowSizing sizing_{this};
    bool sizeRestored_ = false;
    // A resize the window follows itself, where the window system does not do it.
    Qt::Edges resizing_;
    bool resizeCursorShown_ = false;
    QPoint resizeFrom_;
    QRect resizeStart_;
};

} // namespace tolmere
