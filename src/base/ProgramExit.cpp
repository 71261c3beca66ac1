// SPDX-License-Identifier: MIT
#include "base/ProgramExit.h"

#include <cstdlib>
#include <mutex>
#include <utility>

namespace tolmere {
namespace {

std::mutex& HandlerMutex() {
    static std::mutex m;
    return m;
}

ExitHandler& Handler() {
    static ExitHandler handler;
    return handler;
}

} // namespace

void ExitProgram(int code) {
    ExitHandler handler;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex());
        handler = Handler();
    }
    if (handler)
        handler(code);
    // A handler that returns has not ended anything; end the process regardless.
    std::exit(code);
}

ExitHandler SetExitHandler(ExitHandler handler) {
    std::lock_guard<std::mutex> lock(HandlerMutex());
    return std::exchange(Handler(), std::move(handler));
}

} // namespace tolmere
