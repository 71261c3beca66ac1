// SPDX-License-Identifier: MIT
#include "TestHold.h"

#include "Files.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

namespace mpq2k {

void HoldPoint(const char* stage) {
    const char* setting = ::getenv("MPQ2K_TEST_HOLD");
    if (setting == nullptr) {
        return;
    }
    const std::string value = setting;
    const std::string wanted = std::string(stage) + ":";
    // Once per stage: the reader has gone after the first hold, and a second open would wait
    // for a reader that never comes.
    static std::set<std::string> held;
    if (value.compare(0, wanted.size(), wanted) != 0 || !held.insert(stage).second) {
        return;
    }
    // Without a reader there is no one to wait for: the open fails and the run goes on.
    const UniqueFd fd(::open(value.c_str() + wanted.size(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    const std::string line = std::string(stage) + "\n";
    if (!fd.Valid() || !WriteAll(fd.Get(), line.data(), line.size())) {
        return;
    }
    // A pipe's writer sees POLLERR once no reader is left.
    pollfd wait{fd.Get(), 0, 0};
    while (::poll(&wait, 1, -1) < 0 && errno == EINTR) {
    }
}

} // namespace mpq2k
