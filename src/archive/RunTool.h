// SPDX-License-Identifier: MIT
// Running the archive tool: one process, a time limit, exit code 0 for success.
#pragma once

#include <string>
#include <vector>

namespace tolmere {

constexpr int kToolTimeLimitMs = 4000;
constexpr int kScriptTimeLimitMs = 60000;
// The archive tool's exit codes for "look in the next archive": the file is not in
// this one, or there is no such archive. Every other failure has its own reason.
constexpr int kToolNotInArchive = 3;
constexpr int kToolNoArchive = 4;

// Splits a command line the way Windows programs split theirs: the first token ends
// at the first blank or, when quoted, at its closing quote; in the other arguments
// 2n backslashes before a quote are n backslashes and the quote opens or closes a
// quoted part, 2n+1 are n backslashes and a literal quote, and backslashes not
// followed by a quote are literal.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// How one run of the tool went.
struct ToolRun {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;         // when it ended by itself
    std::string lastErrorLine; // the last line it wrote on standard error
    int timeLimitMs = 0;

    bool Ok() const { return started && !timedOut && exitCode == 0; }
    // Why it failed, in words: the tool's own last line where it left one.
    std::string Reason() const;
};

// Starts the command line's program in `workingDir` and waits at most `timeLimitMs`.
// Its standard error is kept; a program still running at the limit is killed and
// counts as a failure.
ToolRun RunTool(const std::string& commandLine, const std::string& workingDir,
                int timeLimitMs = kToolTimeLimitMs);

} // namespace tolmere
