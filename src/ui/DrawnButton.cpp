// SPDX-License-Identifier: MIT
#include "ui/DrawnButton.h"

#include "ui/SkinButton.h"
#include "ui/SkinLook.h"

#include <QPainter>

namespace tolmere {

void CDrawnButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect item = rect();
    const bool pressed = isDown();
    // Any state of the item (focus, pressed, disabled) lights the text.
    const bool anyState = pressed || hasFocus() || !isEnabled();
    painter.fillRect(item, pressed ? skin::kPressedFace : QColor(Qt::black));
    painter.setPen(skin::kButtonFrame);
    painter.drawRect(item.adjusted(0, 0, -1, -1));
    painter.setPen(pressed ? QColor(Qt::black)
                           : (anyState ? skin::kButtonTextLit : skin::kButtonText));
    painter.drawText(item.adjusted(0, 4, -1, -1),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
                     CSkinButton::DrawnText(text()));
}

} // namespace tolmere
