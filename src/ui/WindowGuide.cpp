// SPDX-License-Identifier: MIT
#include "ui/WindowGuide.h"

#include "ui/GuideMsgDlg.h"

#include <QApplication>
#include <QWidget>

namespace tolmere {

int CWindowGuide::Message(const std::string& text, const std::string& caption, unsigned flags) {
    // The box belongs to whichever window is running modally at the moment.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    return RunGuideMsg(parent, text, caption, flags);
}

void CWindowGuide::Status(const std::string& text) {
    if (statusSink_)
        statusSink_(text);
}

std::shared_ptr<CWindowGuide> InstallWindowGuide() {
    auto guide = std::make_shared<CWindowGuide>();
    SetGuide(guide);
    return guide;
}

} // namespace tolmere
