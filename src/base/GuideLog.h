// SPDX-License-Identifier: MIT
// What the program said in this run, for the Messages view: every message, the answer
// to every question and every status line, with its time.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace tolmere {

struct GuideLogEntry {
    std::time_t time = 0;
    std::string kind; // "Guide", "Confirmation", "Error", "Status"
    std::string text;
};

// Keeps the newest entries only, so that a day's work cannot grow the log without end.
inline constexpr std::size_t kGuideLogMost = 5000;

void AddToGuideLog(const std::string& kind, const std::string& text,
                   std::time_t time = std::time(nullptr));
std::vector<GuideLogEntry> GuideLog();
// One entry a paragraph: "HH:MM:SS kind: text", oldest first.
std::string GuideLogText();
void ClearGuideLog();

} // namespace tolmere
