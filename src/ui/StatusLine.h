// SPDX-License-Identifier: MIT
// The status line of a window: one line, cut with "…" to the label's width as the window
// grows and shrinks, the whole text in its tooltip and in the program's Messages log.
#pragma once

#include <QLabel>
#include <QString>

namespace tolmere {

// `logged` false: a running count ("6 Modifiers") rather than something that happened.
void ShowStatusText(QLabel* label, const QString& text, bool logged = true);
// The whole text last shown, however it was cut.
QString StatusTextOf(const QLabel* label);

} // namespace tolmere
