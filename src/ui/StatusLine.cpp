// SPDX-License-Identifier: MIT
#include "ui/StatusLine.h"

#include "base/GuideLog.h"

#include <QEvent>
#include <QFontMetrics>

namespace tolmere {
namespace {

const char kWholeText[] = "statusWholeText";

void Elide(QLabel* label) {
    QString whole = label->property(kWholeText).toString();
    whole.replace(QLatin1Char('\n'), QLatin1Char(' '));
    label->setText(label->fontMetrics().elidedText(whole, Qt::ElideRight, label->width()));
}

// Cuts the text again whenever the label's width changes.
class CReElide : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            Elide(static_cast<QLabel*>(watched));
        return false;
    }
};

} // namespace

void ShowStatusText(QLabel* label, const QString& text, bool logged) {
    if (!label->property(kWholeText).isValid()) {
        label->setWordWrap(false);
        label->installEventFilter(new CReElide(label));
    }
    label->setProperty(kWholeText, text);
    label->setToolTip(text);
    Elide(label);
    if (logged && !text.isEmpty())
        AddToGuideLog("Status", text.toStdString());
}

QString StatusTextOf(const QLabel* label) {
    const QVariant whole = label->property(kWholeText);
    return whole.isValid() ? whole.toString() : label->text();
}

} // namespace tolmere
