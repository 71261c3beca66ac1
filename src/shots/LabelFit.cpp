// SPDX-License-Identifier: MIT
#include "shots/LabelFit.h"

#include "ui/SkinDialog.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace tolmere {
namespace {

// The text as it appears where "&" marks a mnemonic: "&&" is one "&", any other "&"
// disappears and underlines the character after it.
QString WithoutMnemonics(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            ++i;
            if (i == text.size())
                break;
        }
        shown += text[i];
    }
    return shown;
}

// Fractional advances are rounded up: the last pixel column of a glyph counts, however
// little of it the glyph covers.
int Pixels(qreal length) {
    return static_cast<int>(std::ceil(length - 1e-6));
}

QString WindowName(const QWidget* window) {
    if (const auto* dialog = qobject_cast<const CSkinDialog*>(window))
        return QStringLiteral("%1 %2").arg(QString::number(dialog->ResourceId()),
                                           dialog->windowTitle());
    return window->windowTitle().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                           : window->windowTitle();
}

QString Problem(const QWidget* window, const char* what, const QString& text, const char* measure,
                int needs, int has) {
    // A report line stays one line whatever the text.
    QString quoted = text;
    quoted.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("%1: %2 \"%3\" needs %4 px%5, has %6")
        .arg(WindowName(window), QString::fromLatin1(what), quoted, QString::number(needs),
             QString::fromLatin1(measure), QString::number(has));
}

void CheckLabel(const QWidget* window, const QLabel* label, QStringList& problems) {
    const QString text = label->text();
    if (text.isEmpty())
        return;
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    // A label shows "&" as a mnemonic only when it has a buddy to pass the focus to;
    // without one the character is drawn as it is.
    const QString shown = label->buddy() && !rich ? WithoutMnemonics(text) : text;
    const QFontMetricsF metrics(label->font());

    QRect box = label->contentsRect();
    const int margin = label->margin();
    box.adjust(margin, margin, -margin, -margin);
    if (label->indent() > 0)
        box.setWidth(box.width() - label->indent());

    qreal width = 0;
    qreal height = 0;
    bool measureHeight = false;
    if (rich) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(text);
        if (label->wordWrap()) {
            document.setTextWidth(box.width());
            width = document.size().width();
            height = document.size().height();
            measureHeight = true;
        } else {
            width = document.idealWidth();
        }
    } else if (label->wordWrap()) {
        // Wrapping breaks only between words, so a word wider than the box still
        // sticks out; otherwise the wrapped lines must fit the box's height.
        for (const QString& line : shown.split(QLatin1Char('\n'))) {
            for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                width = std::max(width, metrics.horizontalAdvance(word));
        }
        const QRectF wrapped = metrics.boundingRect(QRectF(0, 0, box.width(), 1e6),
                                                    Qt::TextWordWrap | label->alignment(), shown);
        height = wrapped.height();
        measureHeight = true;
    } else {
        const QStringList lines = shown.split(QLatin1Char('\n'));
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        if (lines.size() > 1) {
            height = metrics.boundingRect(QRectF(), label->alignment(), shown).height();
            measureHeight = true;
        }
    }
    if (Pixels(width) > box.width())
        problems << Problem(window, "label", text, "", Pixels(width), box.width());
    if (measureHeight && Pixels(height) > box.height())
        problems << Problem(window, "label", text, " of height", Pixels(height), box.height());
}

void CheckCheckBox(const QWidget* window, const QCheckBox* check, QStringList& problems) {
    if (check->text().isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(check);
    option.text = check->text();
    option.icon = check->icon();
    option.iconSize = check->iconSize();
    // The text goes where the style puts it beside the indicator.
    const QRect contents =
        check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
    int room = contents.width();
    if (!check->icon().isNull())
        room -= check->iconSize().width() + 4;
    const int needs =
        Pixels(QFontMetricsF(check->font()).horizontalAdvance(WithoutMnemonics(check->text())));
    if (needs > room)
        problems << Problem(window, "check box", check->text(), "", needs, room);
}

void CheckGroupBox(const QWidget* window, const QGroupBox* group, QStringList& problems) {
    if (group->title().isEmpty())
        return;
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.lineWidth = 1;
    option.textAlignment = group->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (group->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (group->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    // The title starts where the style indents it and must end inside the frame.
    const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, group);
    const int room = group->width() - std::max(0, title.left());
    const int needs =
        Pixels(QFontMetricsF(group->font()).horizontalAdvance(WithoutMnemonics(group->title())));
    if (needs > room)
        problems << Problem(window, "group box", group->title(), "", needs, room);
}

} // namespace

QStringList LabelFitProblems(const QWidget* window) {
    QStringList problems;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        // Pop-up lists are windows of their own, measured with their own window if ever.
        if (child->window() != window)
            continue;
        // Style sheets set fonts and margins when a widget is polished, which a widget
        // that has never been shown has not been yet.
        child->ensurePolished();
        if (const auto* label = qobject_cast<const QLabel*>(child))
            CheckLabel(window, label, problems);
        else if (const auto* check = qobject_cast<const QCheckBox*>(child))
            CheckCheckBox(window, check, problems);
        else if (const auto* group = qobject_cast<const QGroupBox*>(child))
            CheckGroupBox(window, group, problems);
    }
    return problems;
}

} // namespace tolmere
