// SPDX-License-Identifier: MIT
#include "ui/GuideMsgDlg.h"

#include "base/Guide.h"
#include "ui/MessagesDlg.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace tolmere {

const DialogTemplate CGuideMsgDlg::kTemplate{
    105,
    "Msg",
    263,
    77,
    {
        {kGuideMsgPicture, ControlKind::kStaticCentered, "", 8, 5, 235, 41},
        {kGuideMsgText, ControlKind::kStaticCentered, "", 10, 7, 227, 36},
        {kGuideMsgOk, ControlKind::kSkinButton, "OK", 99, 53, 50, 14},
        {kGuideMsgCancel, ControlKind::kSkinButton, "Cancel", 174, 53, 50, 14, kStyleHidden},
        {kGuideMsgYes, ControlKind::kSkinButton, "&Yes", 70, 53, 50, 14},
        {kGuideMsgNo, ControlKind::kSkinButton, "&No", 123, 53, 50, 14},
        {kGuideMsgShow, ControlKind::kSkinButton, "&Show them", 8, 53, 50, 14, kStyleHidden},
        {kGuideMsgDetails, ControlKind::kSkinButton, "&Full list", 176, 53, 50, 14, kStyleHidden},
    }};

CGuideMsgDlg::CGuideMsgDlg(QWidget* parent, std::string text, std::string caption, unsigned flags,
                           std::string details)
    : CSkinDialog(kTemplate, parent), text_(std::move(text)), caption_(std::move(caption)),
      flags_(flags), details_(std::move(details)) {
    OnCommand(kGuideMsgYes, [this] { done(kGuideYes); });
    OnCommand(kGuideMsgNo, [this] { done(kGuideNo); });
    OnCommand(kGuideMsgShow, [this] { done(kGuideShow); });
    OnCommand(kGuideMsgDetails, [this] {
        CMessagesDlg list(this, "Full list", details_);
        list.RunModal();
    });
    constexpr Growth kCentredBelow{0.5, 0, 1, 0};
    MakeResizable(QString(), {{kGuideMsgPicture, kStretch},
                              {kGuideMsgText, kStretch},
                              {kGuideMsgOk, kCentredBelow},
                              {kGuideMsgCancel, kCentredBelow},
                              {kGuideMsgYes, kCentredBelow},
                              {kGuideMsgNo, kCentredBelow},
                              {kGuideMsgShow, kFollowBottom},
                              {kGuideMsgDetails, kCentredBelow}});
}

void CGuideMsgDlg::FitText(const QString& text) {
    // Wider first, up to half the screen, then taller, so that no line of a tool's
    // reason or a path is ever cut off.
    auto* label = ControlAs<QLabel>(kGuideMsgText);
    const QRect box = label->geometry();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int widest = std::max(box.width(), screen ? screen->availableGeometry().width() / 2 : 0);
    const int tallest = screen ? screen->availableGeometry().height() * 3 / 4 : box.height();
    const QFontMetrics metrics(label->font());
    const auto needed = [&](int width) {
        return metrics.boundingRect(QRect(0, 0, width, 100000), Qt::AlignHCenter | Qt::TextWordWrap,
                                    text);
    };
    // A word (a path, a file name) is never broken: the box is at least as wide as the
    // longest one, as far as the screen allows.
    int width = box.width();
    const int screenWide = screen ? screen->availableGeometry().width() * 9 / 10 : widest;
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+"))))
        width = std::max(width, std::min(screenWide, metrics.horizontalAdvance(word) + 2));
    QRect need = needed(width);
    while ((need.height() > box.height() || need.width() > width) && width < widest) {
        width = std::min(widest, width + box.width() / 4);
        need = needed(width);
    }
    width = std::max(width, std::min(widest, need.width()));
    const int height = std::min(tallest, std::max(box.height(), need.height()));
    resize(size() + QSize(width - box.width(), height - box.height()));
}

void CGuideMsgDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    const bool question = (flags_ & kGuideYesNo) != 0;
    const auto retire = [this](int id, bool hide) {
        QWidget* button = Control(id);
        button->setEnabled(false);
        if (hide)
            button->setVisible(false);
    };
    if (question) {
        retire(kGuideMsgOk, true);
        retire(kGuideMsgCancel, true);
        // Every question the program asks writes into the archive or throws work away:
        // Enter answers No, and Yes takes a deliberate choice.
        Control(kGuideMsgNo)->setFocus();
        Control(kGuideMsgShow)->setVisible((flags_ & kGuideWithShow) != 0);
    } else {
        retire(kGuideMsgYes, true);
        retire(kGuideMsgNo, true);
        Control(kGuideMsgOk)->setFocus();
    }
    Control(kGuideMsgDetails)->setVisible(!details_.empty());
    // Line breaks arrive as CR LF or LF; the label wants LF alone.
    QString text = QString::fromUtf8(text_.data(), static_cast<qsizetype>(text_.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto* label = ControlAs<QLabel>(kGuideMsgText);
    label->setText(text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    FitText(text);
    setWindowTitle(QString::fromUtf8(caption_.data(), static_cast<qsizetype>(caption_.size())));
}

int RunGuideMsg(QWidget* parent, const std::string& text, const std::string& caption,
                unsigned flags, const std::string& details) {
    CGuideMsgDlg dialog(parent, text, caption, flags, details);
    return dialog.RunModal();
}

} // namespace tolmere
