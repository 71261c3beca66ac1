// SPDX-License-Identifier: MIT
#include "ui/MessagesDlg.h"

#include "base/GuideLog.h"

#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>

namespace tolmere {

const DialogTemplate CMessagesDlg::kTemplate{
    111,
    "Messages",
    300,
    200,
    {
        {kMessagesText, ControlKind::kRichText, "", 7, 7, 286, 166},
        {kMessagesOk, ControlKind::kSkinButton, "OK", 125, 179, 50, 14},
    }};

CMessagesDlg::CMessagesDlg(QWidget* parent) : CSkinDialog(kTemplate, parent) {
    MakeResizable(QStringLiteral("messages"),
                  {{kMessagesText, kStretch}, {kMessagesOk, Growth{0.5, 0, 1, 0}}});
}

CMessagesDlg::CMessagesDlg(QWidget* parent, std::string title, std::string text)
    : CMessagesDlg(parent) {
    own_.emplace(std::move(title), std::move(text));
}

void CMessagesDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    auto* text = ControlAs<QTextBrowser>(kMessagesText);
    if (own_)
        setWindowTitle(QString::fromStdString(own_->first));
    const std::string log = own_ ? own_->second : GuideLogText();
    text->setPlainText(log.empty()
                           ? QStringLiteral("Nothing has been said yet.")
                           : QString::fromUtf8(log.data(), static_cast<qsizetype>(log.size())));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The newest at hand.
    text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
    text->setFocus();
}

QString CMessagesDlg::Text() const {
    return ControlAs<QTextBrowser>(kMessagesText)->toPlainText();
}

void AddMessagesShortcut(QWidget* window) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), window);
    QObject::connect(shortcut, &QShortcut::activated, window, [window] {
        CMessagesDlg messages(window);
        messages.RunModal();
    });
}

} // namespace tolmere
