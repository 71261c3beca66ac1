// SPDX-License-Identifier: MIT
#include "ui/WindowGuide.h"

#include "ui/GuideMsgDlg.h"

#include <QApplication>
#include <QWidget>

namespace tolmere {

namespace {

// The box belongs to whichever window is running modally at the moment.
QWidget* BoxParent() {
    QWidget* parent = QApplication::activeModalWidget();
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

int CWindowGuide::Message(const std::string& text, const std::string& caption, unsigned flags) {
    return RunGuideMsg(BoxParent(), text, caption, flags);
}

int CWindowGuide::MessageWithDetails(const std::string& text, const std::string& caption,
                                     unsigned flags, const std::string& details) {
    return RunGuideMsg(BoxParent(), text, caption, flags, details);
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
