// SPDX-License-Identifier: MIT
// A plain dialog button drawn in the skin's look: black face, grey frame, no glow.
#pragma once

#include <QPushButton>

namespace tolmere {

class CDrawnButton : public QPushButton {
    Q_OBJECT
public:
    explicit CDrawnButton(const QString& text, QWidget* parent = nullptr)
        : QPushButton(text, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tolmere
