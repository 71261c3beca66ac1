// SPDX-License-Identifier: MIT
// One thing the checks found in a table: how bad it is, where it is and what it means.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolmere {

// kError: the game will misbehave; kWarning: probably a mistake; kNote: worth knowing.
enum class Severity { kError, kWarning, kNote };

struct Problem {
    Severity severity = Severity::kError;
    std::string file;      // "UniqueItems.txt"
    std::int32_t row = -1; // the data row, as the editor counts them; -1 for the whole file
    std::string key;       // the row's key cell
    std::string column;    // the header's name of the cell; empty for the whole row
    std::int32_t columnIndex = -1;
    std::string text;
};

using Problems = std::vector<Problem>;

// "error", "warning", "note".
const char* SeverityName(Severity severity);
std::size_t CountOf(const Problems& problems, Severity severity);

// One line a problem: severity, file, row, key, column and text, TAB between them. TABs
// and line breaks inside a field are escaped as tbl2txt escapes them.
std::string ProblemLine(const Problem& problem);
// The problems as a JSON array of objects with those six fields ("row" null for a
// whole file); bytes that are not UTF-8 are taken as Windows-1252.
std::string ProblemsJson(const Problems& problems);

} // namespace tolmere
