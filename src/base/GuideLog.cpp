// SPDX-License-Identifier: MIT
#include "base/GuideLog.h"

#include <deque>
#include <mutex>

namespace tolmere {
namespace {

// Status lines may come from the picture worker's thread too.
std::mutex& LogMutex() {
    static std::mutex m;
    return m;
}

std::deque<GuideLogEntry>& Entries() {
    static std::deque<GuideLogEntry> entries;
    return entries;
}

} // namespace

void AddToGuideLog(const std::string& kind, const std::string& text, std::time_t time) {
    std::lock_guard<std::mutex> lock(LogMutex());
    Entries().push_back({time, kind, text});
    if (Entries().size() > kGuideLogMost)
        Entries().pop_front();
}

std::vector<GuideLogEntry> GuideLog() {
    std::lock_guard<std::mutex> lock(LogMutex());
    return {Entries().begin(), Entries().end()};
}

std::string GuideLogText() {
    std::string text;
    for (const GuideLogEntry& entry : GuideLog()) {
        char stamp[16];
        std::tm local{};
        localtime_r(&entry.time, &local);
        std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
        text += std::string(stamp) + " " + entry.kind + ": " + entry.text + "\n\n";
    }
    return text;
}

void ClearGuideLog() {
    std::lock_guard<std::mutex> lock(LogMutex());
    Entries().clear();
}

} // namespace tolmere
