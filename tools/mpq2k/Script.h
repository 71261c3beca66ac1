// SPDX-License-Identifier: MIT
// The editor batches extractions into a script file so that one process serves a whole
// screen of tables. Parsing is kept apart from running so it can be fuzzed on its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mpq2k {

struct ScriptCommand {
    enum class Kind { Open, Extract, Close, Invalid };
    Kind kind = Kind::Invalid;
    std::size_t line = 0; // 1-based, for messages
    // Open/Close: the archive. Extract: the name inside the archive. Invalid: the line itself.
    std::string first;
    // Extract: the target directory.
    std::string second;
    // "O" and "X": an archive or a file that is not there is skipped, not a failure.
    bool optional = false;
};

// Lines are "o ARCHIVE", "x NAME DIR" and "c ARCHIVE"; "O" and "X" are the same for
// archives and files that may be absent. LF, CR LF or CR endings, trailing blanks
// and blank lines are tolerated because the editor produces all of them.
std::vector<ScriptCommand> ParseScript(std::string_view text);

} // namespace mpq2k
