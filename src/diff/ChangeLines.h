// SPDX-License-Identifier: MIT
// Changes as text, one a line: table, key, column, old, new, TAB-separated, in UTF-8.
// Cell bytes that are not UTF-8 are written "\xHH", and backslash, TAB, CR and LF as
// \\ \t \r \n, so every line reads back to the same bytes. The n-th row of a repeated
// key (from the second) is "KEY\#n". A column field starting with a backslash is not a
// column: "\added N" (a row appended as data row N), "\removed N", "\moved N",
// "\modifier" (a modifier, its four cells or the game's line), "\text" (a string
// table entry's text), "\added" and "\removed" (a string table entry).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolmere {

enum class ChangeKind {
    kCell,
    kRowAdded,
    kRowRemoved,
    kRowMoved,
    kModifier,
    kText,
    kEntryAdded,
    kEntryRemoved
};

struct ChangeLine {
    std::string table; // "UniqueItems.txt"
    std::string key;
    std::int32_t occurrence = 0; // among the rows of the key, from 0
    ChangeKind kind = ChangeKind::kCell;
    std::string column;      // a cell's column name
    std::int32_t place = -1; // the data row of an added, removed or moved row
    std::string before, after;
};

// `bytes` escaped for one field.
std::string EscapeField(const std::string& bytes);

// The lines, sorted by table, key, occurrence and column field, each ending in LF.
std::string FormatChanges(std::vector<ChangeLine> lines);
// One line as FormatChanges writes it, without its LF.
std::string FormatChange(const ChangeLine& line);

// Reads such text back; false with `error` naming the line when one does not have five
// fields, holds an unknown escape or column marker, or is not UTF-8.
bool ParseChanges(const std::string& text, std::vector<ChangeLine>& lines, std::string& error);

} // namespace tolmere
