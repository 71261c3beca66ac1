// Running the archive tool: one process, a time limit, exit code 0 for success.
#pragma once

#include <string>
#include <vector>

namespace tolmere {

constexpr int kToolTimeLimitMs = 4000;
constexpr int kScriptTimeLimitMs = 60000;

// Splits a command line the way Windows programs split theirs: the first token ends
// at the first blank or, when quoted, at its closing quote; in the other arguments
// 2n backslashes before a quote are n backslashes and the quote opens or closes a
// quoted part, 2n+1 are n backslashes and a literal quote, and backslashes not
// followed by a quote are literal.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// Starts the command line's program in `workingDir`, waits at most `timeLimitMs`
// and returns true exactly when it ended with exit code 0. A program still running
// at the limit is killed and counts as a failure.
bool RunTool(const std::string& commandLine, const std::string& workingDir,
             int timeLimitMs = kToolTimeLimitMs);

} // namespace tolmere
