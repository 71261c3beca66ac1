// SPDX-License-Identifier: MIT
// The program's one message box: a text and either "OK" or "&Yes" and "&No".
#pragma once

#include "ui/SkinDialog.h"

#include <string>

namespace tolmere {

enum GuideMsgControl : int {
    kGuideMsgPicture = 1019,
    kGuideMsgText = 1018,
    kGuideMsgOk = 1,
    kGuideMsgCancel = 2,
    kGuideMsgYes = 6,
    kGuideMsgNo = 7,
    kGuideMsgShow = 8,
    kGuideMsgDetails = 1020, // "&Full list": shows the details, where there are any
};

class CGuideMsgDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // Bit 4 of the flags set, the box asks Yes/No; kGuideWithShow adds "Show them".
    // Details, where given, are a "Full list" button away.
    CGuideMsgDlg(QWidget* parent, std::string text, std::string caption, unsigned flags,
                 std::string details = std::string());

protected:
    void OnInitDialog() override;

private:
    // Grows the box to show the whole text.
    void FitText(const QString& text);

    std::string text_;
    std::string caption_;
    unsigned flags_;
    std::string details_;
};

// Runs the message box modally over `parent` and returns 1 (OK or Enter), 2 (Escape or
// the close zone), 6 (Yes) or 7 (No).
int RunGuideMsg(QWidget* parent, const std::string& text, const std::string& caption,
                unsigned flags, const std::string& details = std::string());

} // namespace tolmere
