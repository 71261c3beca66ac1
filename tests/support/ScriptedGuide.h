// SPDX-License-Identifier: MIT
// A stand-in for the message box: records what was shown and answers as told.
#pragma once

#include "base/Guide.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tolmere::testing {

class ScriptedGuide : public IGuide {
public:
    int Message(const std::string& text, const std::string& caption, unsigned flags) override {
        shown.push_back(caption + ": " + text);
        if (!(flags & kGuideYesNo))
            return kGuideOk;
        if (answers.empty())
            return kGuideNo;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Status(const std::string& text) override { statuses.push_back(text); }

    std::deque<int> answers;
    std::vector<std::string> shown;
    std::vector<std::string> statuses;
};

// Installs a scripted guide for the lifetime of this object.
class GuideScope {
public:
    GuideScope() : guide(std::make_shared<ScriptedGuide>()), previous_(SetGuide(guide)) {}
    ~GuideScope() { SetGuide(previous_); }
    ScriptedGuide* operator->() { return guide.get(); }

    std::shared_ptr<ScriptedGuide> guide;

private:
    std::shared_ptr<IGuide> previous_;
};

} // namespace tolmere::testing
