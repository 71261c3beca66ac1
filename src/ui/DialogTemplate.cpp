// SPDX-License-Identifier: MIT
#include "ui/DialogTemplate.h"

#include "ui/DrawnButton.h"
#include "ui/ModListCtrl.h"
#include "ui/SkinButton.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTreeWidget>

namespace tolmere {
namespace {

// Rounds half away from zero, as the platform's dialog-unit mapping does.
int Scale(int units, int numerator, int denominator) {
    const long long product = static_cast<long long>(units) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

const char* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::kStatic:
    case ControlKind::kStaticCentered:
        return "static";
    case ControlKind::kEdit:
        return "edit";
    case ControlKind::kDropDownList:
        return "combo";
    case ControlKind::kListView:
        return "listview";
    case ControlKind::kSkinButton:
    case ControlKind::kDrawnButton:
        return "button";
    case ControlKind::kCheckBox:
    case ControlKind::kGroupBox:
        return "other";
    case ControlKind::kRichText:
        return "richtext";
    case ControlKind::kTreeView:
        return "treeview";
    }
    return "other";
}

QWidget* MakeControl(QWidget* dialog, const ControlRow& row) {
    const QString caption = QString::fromLatin1(row.caption ? row.caption : "");
    switch (row.kind) {
    case ControlKind::kStatic:
    case ControlKind::kStaticCentered: {
        auto* label = new QLabel(caption, dialog);
        label->setTextFormat(Qt::PlainText);
        if (row.kind == ControlKind::kStaticCentered) {
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->setWordWrap(true);
        }
        return label;
    }
    case ControlKind::kEdit:
        return new QLineEdit(dialog);
    case ControlKind::kDropDownList: {
        auto* combo = new QComboBox(dialog);
        combo->setEditable(false);
        combo->setMaxVisibleItems(12);
        return combo;
    }
    case ControlKind::kListView:
        return new CModListCtrl(dialog);
    case ControlKind::kSkinButton:
        return new CSkinButton(caption, dialog);
    case ControlKind::kDrawnButton:
        return new CDrawnButton(caption, dialog);
    case ControlKind::kCheckBox:
        return new QCheckBox(caption, dialog);
    case ControlKind::kGroupBox: {
        auto* group = new QGroupBox(caption, dialog);
        // A frame drawn around other controls; it must not take their clicks.
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        return group;
    }
    case ControlKind::kTreeView: {
        auto* tree = new QTreeWidget(dialog);
        tree->setHeaderHidden(true);
        tree->setRootIsDecorated(true);
        tree->setSelectionMode(QAbstractItemView::SingleSelection);
        tree->setAllColumnsShowFocus(true);
        return tree;
    }
    case ControlKind::kRichText: {
        auto* text = new QTextBrowser(dialog);
        text->setReadOnly(true);
        text->setOpenLinks(false);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        return text;
    }
    }
    return new QWidget(dialog);
}

} // namespace

int DialogUnitsX(int units) {
    return Scale(units, 6, 4);
}
int DialogUnitsY(int units) {
    return Scale(units, 13, 8);
}

QRect DialogUnitsRect(int x, int y, int cx, int cy) {
    return QRect(DialogUnitsX(x), DialogUnitsY(y), DialogUnitsX(cx), DialogUnitsY(cy));
}

void BuildControls(QWidget* dialog, const DialogTemplate& tmpl) {
    for (const ControlRow& row : tmpl.controls) {
        QWidget* control = MakeControl(dialog, row);
        if (row.id != kNoControlId)
            control->setObjectName(ControlName(row.id));
        control->setProperty("controlKind", QString::fromLatin1(KindName(row.kind)));
        control->setGeometry(DialogUnitsRect(row.x, row.y, row.cx, row.cy)
                                 .translated(kSkinFrame.left(), kSkinFrame.top()));
        if (row.style & kStyleDisabled)
            control->setEnabled(false);
        if (row.style & kStyleHidden)
            control->setVisible(false);
        else
            control->setVisible(true);
        // Group frames lie under the controls they surround.
        if (row.kind == ControlKind::kGroupBox)
            control->lower();
        if (row.kind == ControlKind::kSkinButton || row.kind == ControlKind::kDrawnButton)
            control->setToolTip(
                ControlTip(QString::fromLatin1(row.caption ? row.caption : ""), QString()));
    }
}

QString ControlTip(const QString& caption, const QString& description) {
    // The caption's "&X" is its Alt key, which the skinned buttons do not underline;
    // "&&" is an ampersand.
    QString shown;
    QChar key;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != QLatin1Char('&') && key.isNull())
                key = caption[i].toUpper();
        }
        shown += caption[i];
    }
    QString tip = description.isEmpty() ? shown : description;
    if (!key.isNull())
        tip += QStringLiteral(" (Alt+") + key + QLatin1Char(')');
    return tip;
}

void DescribeControl(QWidget* dialog, int id, const char* description) {
    QWidget* control = FindControl(dialog, id);
    if (!control)
        return;
    const auto* button = qobject_cast<QAbstractButton*>(control);
    control->setToolTip(
        ControlTip(button ? button->text() : QString(), QString::fromUtf8(description)));
}

QWidget* FindControl(const QWidget* dialog, int id) {
    return dialog->findChild<QWidget*>(ControlName(id), Qt::FindDirectChildrenOnly);
}

} // namespace tolmere
