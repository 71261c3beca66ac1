// SPDX-License-Identifier: MIT
// tolmere-cli run through the shell, as scripts run it. Header-only: TOLMERE_CLI is known
// to the test program alone.
#pragma once

#include "support/TempDir.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace tolmere::testing {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

// A path as one shell word.
inline std::string Q(const std::string& path) {
    return "'" + path + "'";
}

// Runs tolmere-cli with `args`, shell words, keeping its output in files of `dir`.
inline CliRun Cli(const TempDir& dir, const std::string& args) {
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const std::string command = Q(TOLMERE_CLI) + " " + args + " >" + Q(out) + " 2>" + Q(err);
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(err)};
}

} // namespace tolmere::testing
