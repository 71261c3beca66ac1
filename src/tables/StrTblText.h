// SPDX-License-Identifier: MIT
// A string table as editable text: one entry per line, key TAB text, with backslash,
// TAB, CR and LF escaped as \\ \t \r \n. A table whose hash table size or version
// byte differs from what a new table gets starts with the line
// "tbl hash-slots=N version=V" (no TAB, so it is never an entry), so that the text
// builds the very same file again.
#pragma once

#include "tables/StrTbl.h"

#include <string>
#include <string_view>

namespace tolmere {

// `text` with backslash, TAB, CR and LF written as \\ \t \r \n, so that it stays on
// one line of its own and reads back the same.
std::string EscapeOnOneLine(std::string_view text);

// Reads back what EscapeOnOneLine wrote; false at a backslash before anything else.
// With `hexBytes`, \xHH (two capital hex digits) stands for a byte too.
bool UnescapeOneLine(const std::string& line, std::string& text, bool hexBytes = false);

// Entries in the order their strings stand in the file (the order Write keeps).
std::string StrTblToText(const CStrTbl& table);

// Adds every line's entry in line order, and takes the hash layout of a first "tbl"
// line. A line without a TAB or with an unknown escape, or a "tbl" line that cannot be
// read, fails with a message naming the line; `table` is then unchanged.
bool StrTblFromText(const std::string& text, CStrTbl& table, std::string& error);

} // namespace tolmere
