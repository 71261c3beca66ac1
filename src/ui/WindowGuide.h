// SPDX-License-Identifier: MIT
// The window layer's side of the core's message seam: messages become message boxes,
// status texts go to the status line of the window that is running.
#pragma once

#include "base/Guide.h"

#include <functional>
#include <string>

class QWidget;

namespace tolmere {

class CWindowGuide : public IGuide {
public:
    int Message(const std::string& text, const std::string& caption, unsigned flags) override;
    int MessageWithDetails(const std::string& text, const std::string& caption, unsigned flags,
                           const std::string& details) override;
    void Status(const std::string& text) override;

    // Where status texts go; the main window sets it while it runs.
    void SetStatusSink(std::function<void(const std::string&)> sink) {
        statusSink_ = std::move(sink);
    }

private:
    std::function<void(const std::string&)> statusSink_;
};

// Installs a CWindowGuide as the program's guide and returns it.
std::shared_ptr<CWindowGuide> InstallWindowGuide();

} // namespace tolmere
