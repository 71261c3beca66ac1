// SPDX-License-Identifier: MIT
// Commands of tolmere-cli that live in files of their own, and what they share.
#pragma once

#include "mods/GameData.h"
#include "mods/ModKeys.h"
#include "mods/ModSlots.h"
#include "tables/StringTables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolmere {

// Each returns the process exit code and prints one line on stderr on failure.
int Dc6Command(const std::vector<std::string>& args);
int ResourceCommand(const std::vector<std::string>& args);
int DescribeCommand(const std::vector<std::string>& args);
int ModCommand(const std::vector<std::string>& args);
int SetsCommand(const std::vector<std::string>& args);
int PicturesCommand(const std::vector<std::string>& args);
int RawCommand(const std::vector<std::string>& args);
// Exit code 0 without errors, 1 with errors, 2 for arguments or files it cannot take.
int LintCommand(const std::vector<std::string>& args);
// diff: exit 0 when the tables are the same, 1 when they differ, 2 for bad arguments.
int DiffCommand(const std::vector<std::string>& args);
int PatchCommand(const std::vector<std::string>& args);
int BinCommand(const std::vector<std::string>& args);
int StringsCommand(const std::vector<std::string>& args);
// raw find, replace, paste and calc.
int RawSheetCommand(const std::vector<std::string>& args);
// `mod` on a set table: the node given by --node.
int SetModCommand(const std::vector<std::string>& args);

// Prints "tolmere-cli: MESSAGE" on stderr; returns exit code 1.
int Fail(const std::string& message);
// Prints "tolmere-cli: warning: MESSAGE" on stderr.
void Warn(const std::string& message);
// A count or an index from the command line: decimal digits alone, within int32. A
// sign, a space, a base prefix, a point, an exponent or any trailing text makes it
// nothing, since reading up to it would act on another number than the one meant.
std::optional<std::int32_t> WholeNumber(const std::string& text);
// WholeNumber, or false having said which argument (`name`) held what text.
bool ReadWholeNumber(const std::string& name, const std::string& text, std::int32_t& value);
// Writes the bytes to the file, safely, or to standard output for "-".
bool Emit(const std::string& path, const std::string& bytes);
// Loads a table; on failure says why and returns false.
bool LoadTable(const std::string& path, CTxtTable& table);
// Reads string.tbl, expansionstring.tbl and patchstring.tbl from a folder (any that
// are there); false, having said why, when one cannot be read or none is there.
bool LoadStringFolder(const std::string& dir, CStringTables& strings);

// What words modifiers: the catalogue, the string tables and the game's tables.
struct Wording {
    CModKeys keys;
    CStringTables strings;
    CGameData game;
};
// The files the options name; empty ones are left out (the catalogue then is the one
// shipped with the program).
struct WordingFiles {
    std::string modkey;     // --modkey
    std::string tbl;        // --tbl: patchstring.tbl itself
    std::string stringsDir; // --strings
    std::string gameDir;    // --game-data
};
// False, having said why, when a file cannot be read.
bool LoadWording(const WordingFiles& files, Wording& wording);

// The options that name a value, and the arguments that are not options.
struct ParsedArgs {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> flags;
    std::string Option(const std::string& name) const;
    bool Flag(const std::string& name) const;
};
// Splits `args` by the options that take a value and the flags that do not; false,
// having said why, at an option not among them or one without its value.
bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flags, ParsedArgs& parsed);

// The modifier dialog's Apply for a script: checks the values (against the game's
// tables when `gameDir` is given), settles the target slot (`replace` answering Yes to
// overwriting another slot holding the code), writes, and saves the table to `out`.
int ApplyModifier(CTxtTable& table, std::int32_t row, std::int32_t slot,
                  const ModifierSlots& layout, const std::vector<std::string>& values, bool replace,
                  const std::string& gameDir, const std::string& out);
// Saves the table to `out` ("-": standard output); exit code.
int WriteTable(const CTxtTable& table, const std::string& out);

} // namespace tolmere
