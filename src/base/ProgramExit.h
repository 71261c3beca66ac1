// SPDX-License-Identifier: MIT
// The one way the program ends on purpose, and the seam tests use to watch it.
#pragma once

#include <functional>

namespace tolmere {

// Exit codes the program ends with; callers name them instead of using numbers.
enum ExitCode : int {
    kExitUserFileUnreadable = 1,
    kExitTableNotExtracted = 2,
    kExitTableNotLoadable = 3,
    kExitDataFilesMissing = 4,
    kExitOutOfMemory = 210,
    kExitTableCannotGrow = 254,
    kExitFatalError = 255,
};

// Ends the process with the given code through the installed handler. The default
// handler calls std::exit. A replacement handler must not return (it may throw).
[[noreturn]] void ExitProgram(int code);

using ExitHandler = std::function<void(int code)>;

// Installs a handler and returns the previous one; an empty handler restores the default.
ExitHandler SetExitHandler(ExitHandler handler);

} // namespace tolmere
