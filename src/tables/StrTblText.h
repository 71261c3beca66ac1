// A string table as editable text: one entry per line, key TAB text, with backslash,
// TAB, CR and LF escaped as \\ \t \r \n.
#pragma once

#include "tables/StrTbl.h"

#include <string>

namespace tolmere {

// Entries in the order their strings stand in the file (the order Write keeps).
std::string StrTblToText(const CStrTbl& table);

// Adds every line's entry in line order. A line without a TAB or with an unknown
// escape fails with a message naming the line; `table` is then unchanged.
bool StrTblFromText(const std::string& text, CStrTbl& table, std::string& error);

} // namespace tolmere
