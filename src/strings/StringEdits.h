// SPDX-License-Identifier: MIT
// Changes to the language's texts, written where the game looks first: patchstring.tbl.
// The lower tables are the game's and are never changed; a text of theirs is changed
// by giving patchstring.tbl an entry of the key. Each operation carries itself out and
// returns the step that undoes it, or says why it did nothing.
#pragma once

#include "tables/EditHistory.h"
#include "tables/StringTables.h"

#include <string>

namespace tolmere {

struct StringEditResult {
    bool done = false;
    // Why nothing was done, or, when done, what the user should know (a lower table's
    // text now hidden or shown again).
    std::string message;
    EditStep step;
};

// Empty when `key` and `text` can stand in a string table, otherwise why not: an empty
// key, a zero byte (the file ends strings with one), or more bytes than the game reads.
std::string CheckStringEntry(const std::string& key, const std::string& text);

// Gives `key` the text: patchstring.tbl's entry changes, or patchstring.tbl gets one
// over the lower table's. Refused for a key no table has (AddString adds one).
StringEditResult SetString(CStringTables& tables, const std::string& key, const std::string& text);
// Adds `key` to patchstring.tbl; refused when patchstring.tbl has it already.
StringEditResult AddString(CStringTables& tables, const std::string& key, const std::string& text);
// Removes every entry of `key` from patchstring.tbl, so that the lower table's text
// (if any) shows again; refused when patchstring.tbl does not have it.
StringEditResult DeleteString(CStringTables& tables, const std::string& key);
// DeleteString for a key a lower table has: its text comes back. Refused otherwise.
StringEditResult RevertString(CStringTables& tables, const std::string& key);

// patchstring.tbl as text, as `tolmere-cli tbl2txt` writes it (txt2tbl builds the same
// file from it), for keeping it in version control.
std::string ExportPatchText(const CStrTbl& patch);
// Makes patchstring.tbl hold the text's entries, in one step: an entry whose key and
// text are already there stays as it is, so importing what was exported changes no
// byte; others are changed, added or removed. The table keeps its own hash table size
// and version byte, whatever a "tbl" line of the text says, so that undo restores it.
StringEditResult ImportPatchText(CStringTables& tables, const std::string& text);

} // namespace tolmere
