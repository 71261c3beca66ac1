// SPDX-License-Identifier: MIT
#include "ui/SkinLook.h"

#include "images/Resources.h"

#include <QApplication>
#include <QFontInfo>

#include <algorithm>
#include <QWidget>

#include <cstring>

namespace tolmere {

const CDib& SkinPicture() {
    static const CDib* picture = [] {
        auto* dib = new CDib;
        if (std::optional<std::string> bytes = DecodeEmbeddedResource(kSkinResource)) {
            MemFileDesc file;
            std::strcpy(file.name, ".tga");
            file.data = reinterpret_cast<const unsigned char*>(bytes->data());
            file.length = bytes->size();
            dib->LoadPicture(&file);
        }
        return dib;
    }();
    return *picture;
}

void InstallFontSubstitutes() {
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arial", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
    QFont::insertSubstitutions("Verdana", {"DejaVu Sans"});
}

QFont DialogFont() {
    // At least 9 points, or the desktop's own size where that is larger.
    QFont font("MS Sans Serif");
    font.setPointSizeF(std::max(9.0, QApplication::font().pointSizeF()));
    return font;
}

QFont CaptionFont() {
    QFont font("Haettenschweiler");
    font.setPointSizeF(12);
    if (QFontInfo(font).family().compare("Haettenschweiler", Qt::CaseInsensitive) == 0)
        return font;
    QFont fallback("Arial");
    fallback.setPointSizeF(9.6);
    fallback.setBold(true);
    return fallback;
}

const QFont& ButtonFont() {
    static const QFont font = [] {
        QFont verdana("Verdana");
        verdana.setPointSizeF(8.2);
        return verdana;
    }();
    return font;
}

QString SkinStyleSheet() {
    // Edit boxes and drop-down fields are black with light text; list views, tree views
    // and rich text lie on the dialog colour; everything else uses the dim grey text.
    // Every text a control shows stands out from its background by 4.5:1 or more (the
    // usual least contrast for text): the dim greys and blues are as light as that needs.
    return QStringLiteral(
        "QLabel { color: rgb(200,200,200); background: transparent; }"
        "QLineEdit, QComboBox { background-color: black; color: rgb(220,220,220);"
        "  border: 1px solid rgb(128,128,128); selection-background-color: rgb(96,96,150); }"
        "QLineEdit:disabled, QComboBox:disabled { color: rgb(128,128,128); }"
        "QLineEdit:focus, QComboBox:focus { border: 1px solid rgb(235,205,110); }"
        "QComboBox QAbstractItemView { background-color: rgb(59,58,5); color: rgb(170,170,170);"
        "  selection-background-color: rgb(96,96,150); selection-color: white; }"
        "QTreeView[controlKind=\"listview\"] { background-color: rgb(59,58,5);"
        "  color: rgb(160,160,235); alternate-background-color: rgb(59,58,5); }"
        "QTreeView[controlKind=\"treeview\"] { background-color: rgb(59,58,5);"
        "  color: rgb(170,170,190); }"
        "QTreeView:focus { border: 1px solid rgb(235,205,110); }"
        "QHeaderView { background-color: rgb(59,58,5); }"
        "QHeaderView::section { background-color: rgb(59,58,5); color: rgb(170,170,170);"
        "  border: 1px solid rgb(108,108,108); }"
        "QTextEdit, QTextBrowser { background-color: rgb(59,58,5); color: rgb(200,200,200); }"
        "QCheckBox, QGroupBox { color: rgb(170,170,170); }");
}

void ApplySkinColoursToPopup(QWidget* popup) {
    popup->setStyleSheet(QStringLiteral(
        "QAbstractItemView { background-color: rgb(59,58,5); color: rgb(200,200,200);"
        "  border: 1px solid rgb(128,128,128);"
        "  selection-background-color: rgb(96,96,150); selection-color: white; }"));
}

void ApplySkinColours(QWidget* dialog) {
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, skin::kBackground);
    palette.setColor(QPalette::WindowText, skin::kControlText);
    dialog->setPalette(palette);
    dialog->setStyleSheet(SkinStyleSheet());
}

} // namespace tolmere
