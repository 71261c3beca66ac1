// SPDX-License-Identifier: MIT
// Dialogs declared as tables of controls in dialog units, the way their layouts are
// written down, and built into Qt widgets from those tables.
#pragma once

#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace tolmere {

enum class ControlKind {
    kStatic,         // left-aligned text
    kStaticCentered, // centred text, "&" shown as it is
    kEdit,           // one-line edit box
    kDropDownList,   // drop-down list without an edit field
    kListView,       // the modifier list, a CModListCtrl
    kSkinButton,     // CSkinButton
    kDrawnButton,    // a button that draws itself in the skin's plain button look
    kCheckBox,
    kGroupBox,
    kRichText, // read-only rich text with a vertical scroll bar
    kTreeView, // a tree with lines and buttons, whole rows selected
};

enum ControlStyle : unsigned {
    kStyleHidden = 1u << 0,
    kStyleDisabled = 1u << 1,
    kStyleSorted = 1u << 2, // drop-down lists whose dialog keeps the entries in alphabetical order
};

// Control id of texts nothing addresses.
constexpr int kNoControlId = -1;

// One control: id, kind, caption, and its rectangle in dialog units.
struct ControlRow {
    int id;
    ControlKind kind;
    const char* caption;
    int x, y, cx, cy;
    unsigned style = 0;
};

struct DialogTemplate {
    int resourceId;
    const char* caption;
    int cx, cy; // client size in dialog units
    std::vector<ControlRow> controls;
};

// The frame every skinned dialog draws around its client area.
inline const QMargins kSkinFrame{10, 24, 10, 14};

// Dialog units to pixels for the dialog font (6 × 13 pixel base units).
int DialogUnitsX(int units);
int DialogUnitsY(int units);
QRect DialogUnitsRect(int x, int y, int cx, int cy);

// Creates the template's controls as children of `dialog`, placed inside the frame.
// Each control's object name is its id in decimal, and its "controlKind" property
// names the kind for the colour scheme.
void BuildControls(QWidget* dialog, const DialogTemplate& tmpl);

// A control's tooltip: what it does (its caption, without a description) and, where its
// caption marks one, its Alt key: "Write the tables into patch_d2.mpq (Alt+P)".
QString ControlTip(const QString& caption, const QString& description);
// Gives control `id` that tooltip.
void DescribeControl(QWidget* dialog, int id, const char* description);

inline QString ControlName(int id) {
    return QString::number(id);
}
// The child control with the id, or null.
QWidget* FindControl(const QWidget* dialog, int id);
template <class T> T* FindControlAs(const QWidget* dialog, int id) {
    return qobject_cast<T*>(FindControl(dialog, id));
}

} // namespace tolmere
