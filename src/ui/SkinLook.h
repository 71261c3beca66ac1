// SPDX-License-Identifier: MIT
// The skin's colours, fonts and picture, shared by every window of the program.
#pragma once

#include "images/Dib.h"

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace tolmere {

namespace skin {
inline const QColor kBackground{59, 58, 5};
inline const QColor kControlText{170, 170, 170};
inline const QColor kEditText{220, 220, 220};
inline const QColor kStaticText{200, 200, 200};
inline const QColor kListViewText{160, 160, 235};
inline const QColor kTreeViewText{170, 170, 190};
inline const QColor kCaptionShadow{64, 64, 64};
inline const QColor kCaptionActive{255, 255, 255};
inline const QColor kCaptionInactive{128, 128, 128};
inline const QColor kPressedFace{164, 164, 164};
inline const QColor kButtonFrame{128, 128, 128};
inline const QColor kButtonText{200, 200, 235};
inline const QColor kButtonTextLit{220, 255, 255};
inline const QColor kLinkText{160, 140, 255};
inline const QColor kFocusRing{235, 205, 110}; // where the keyboard is
} // namespace skin

// The program-wide skin picture, decoded from the program's resources at the first
// call and kept for the program's life. Empty when the resource cannot be decoded, in
// which case the frame is drawn without its pieces.
const CDib& SkinPicture();

// Maps the Windows faces the layouts name onto the metric-compatible ones fontconfig
// offers. Call once after the application object exists.
void InstallFontSubstitutes();

// The dialog font the layouts are measured in.
QFont DialogFont();
// "Haettenschweiler" 12 points, or "Arial" bold 9.6 points where that face is missing.
QFont CaptionFont();
// The font every CSkinButton draws with.
const QFont& ButtonFont();

// The colour scheme of every kind of child control, in one place. Applied to a dialog
// once its controls exist.
QString SkinStyleSheet();
void ApplySkinColours(QWidget* dialog);
// The same colours for a pop-up list that is a window of its own (a completer's).
void ApplySkinColoursToPopup(QWidget* popup);

} // namespace tolmere
