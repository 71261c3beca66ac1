#include "ui/GuideMsgDlg.h"

#include "base/Guide.h"

#include <QLabel>

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
    }};

CGuideMsgDlg::CGuideMsgDlg(QWidget* parent, std::string text, std::string caption, unsigned flags)
    : CSkinDialog(kTemplate, parent), text_(std::move(text)), caption_(std::move(caption)),
      flags_(flags) {
    OnCommand(kGuideMsgYes, [this] { done(kGuideYes); });
    OnCommand(kGuideMsgNo, [this] { done(kGuideNo); });
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
        Control(kGuideMsgYes)->setFocus();
    } else {
        retire(kGuideMsgYes, true);
        retire(kGuideMsgNo, true);
        Control(kGuideMsgOk)->setFocus();
    }
    // Line breaks arrive as CR LF or LF; the label wants LF alone.
    QString text = QString::fromUtf8(text_.data(), static_cast<qsizetype>(text_.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto* label = ControlAs<QLabel>(kGuideMsgText);
    label->setText(text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setWindowTitle(QString::fromUtf8(caption_.data(), static_cast<qsizetype>(caption_.size())));
}

int RunGuideMsg(QWidget* parent, const std::string& text, const std::string& caption,
                unsigned flags) {
    CGuideMsgDlg dialog(parent, text, caption, flags);
    return dialog.RunModal();
}

} // namespace tolmere
