// SPDX-License-Identifier: MIT
// Whether the texts of a window's labels fit the boxes their layout gives them, in the
// fonts the program draws them in. A text wider than its box is cut off without any
// sign, so the pictures alone are a poor way to catch it.
#pragma once

#include <QStringList>

class QWidget;

namespace tolmere {

// One line for each label, check box or group title of `window` whose text does not
// fit, such as: 106 Change Name: label "Name" needs 33 px, has 30
// Hidden labels are measured too: the window shows them in states other than this one.
QStringList LabelFitProblems(const QWidget* window);

} // namespace tolmere
