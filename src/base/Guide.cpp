// SPDX-License-Identifier: MIT
#include "base/Guide.h"

#include "base/GuideLog.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace tolmere {
namespace {

class StderrGuide : public IGuide {
public:
    int Message(const std::string& text, const std::string& caption, unsigned flags) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return (flags & kGuideYesNo) ? kGuideNo : kGuideOk;
    }
    void Status(const std::string&) override {}
};

std::mutex& GuideMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<IGuide>& Installed() {
    static std::shared_ptr<IGuide> guide;
    return guide;
}

std::shared_ptr<IGuide> Current() {
    std::lock_guard<std::mutex> lock(GuideMutex());
    if (!Installed())
        Installed() = std::make_shared<StderrGuide>();
    return Installed();
}

} // namespace

int GuideMsg(const std::string& text, const std::string& caption, unsigned flags) {
    const int answer = Current()->Message(text, caption, flags);
    const bool question = (flags & kGuideYesNo) != 0;
    const char* said = answer == kGuideYes    ? " [Yes]"
                       : answer == kGuideShow ? " [Show them]"
                                              : " [No]";
    AddToGuideLog(caption, question ? text + said : text);
    return answer;
}

bool GuideConfirm(const std::string& question) {
    return GuideMsg(question, kCaptionConfirmation, kGuideYesNo) == kGuideYes;
}

bool GuideConfirm(const std::string& question, const std::string& details) {
    if (details.empty())
        return GuideConfirm(question);
    const bool yes = Current()->MessageWithDetails(question, kCaptionConfirmation, kGuideYesNo,
                                                   details) == kGuideYes;
    AddToGuideLog(kCaptionConfirmation, question + (yes ? " [Yes]" : " [No]"));
    return yes;
}

void GuideStatus(const std::string& text) {
    Current()->Status(text);
}

std::shared_ptr<IGuide> SetGuide(std::shared_ptr<IGuide> guide) {
    std::lock_guard<std::mutex> lock(GuideMutex());
    return std::exchange(Installed(), std::move(guide));
}

} // namespace tolmere
