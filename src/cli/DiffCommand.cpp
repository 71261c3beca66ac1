// SPDX-License-Identifier: MIT
// tolmere-cli diff and patch: what changed between two tables, and carrying a mod's
// changes to other tables, through the same core operations the editor uses.
#include "cli/Commands.h"

#include "diff/ChangeList.h"
#include "diff/ModifierWords.h"
#include "diff/PatchApply.h"
#include "tables/BinFile.h"
#include "tables/ColumnFinder.h"

#include <filesystem>

namespace tolmere {
namespace {

constexpr int kBadArguments = 2;

bool IsStringTable(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    return extension.size() == 4 && CColumnFinder::SameName(extension, ".tbl");
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool ReadStrings(const std::string& path, CStrTbl& strings) {
    std::string error;
    if (!strings.Read(path, &error))
        return Fail("cannot read " + path + ": " + error), false;
    return true;
}

// Both tables of a pair, of one kind; false, having said why, otherwise.
bool SameKind(const std::string& a, const std::string& b) {
    if (IsStringTable(a) == IsStringTable(b))
        return true;
    Fail(a + " and " + b + " are not both string tables (.tbl) or both tab-delimited tables");
    return false;
}

} // namespace

int DiffCommand(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--modkey", "--strings", "--game-data"}, {"--words"}, parsed))
        return kBadArguments;
    if (parsed.positional.size() != 2) {
        Fail("usage: diff OLD NEW [--words [--game-data DIR] [--strings DIR] [--modkey FILE]]");
        return kBadArguments;
    }
    const std::string& oldPath = parsed.positional[0];
    const std::string& newPath = parsed.positional[1];
    if (!SameKind(oldPath, newPath))
        return kBadArguments;
    std::vector<ChangeLine> lines;
    if (IsStringTable(newPath)) {
        CStrTbl before, after;
        if (!ReadStrings(oldPath, before) || !ReadStrings(newPath, after))
            return kBadArguments;
        lines = ChangeList(FileName(newPath), DiffStrings(before, after));
    } else {
        CTxtTable before, after;
        if (!LoadTable(oldPath, before) || !LoadTable(newPath, after))
            return kBadArguments;
        Wording wording;
        SlotWords words;
        if (parsed.Flag("--words")) {
            if (!LoadWording({parsed.Option("--modkey"), "", parsed.Option("--strings"),
                              parsed.Option("--game-data")},
                             wording))
                return kBadArguments;
            words = GameSlotWords(wording.keys, wording.game, wording.strings);
        }
        const TableDiff diff = DiffTables(before, after);
        for (const std::string& column : diff.columnsAdded)
            Warn("column added: " + column);
        for (const std::string& column : diff.columnsRemoved)
            Warn("column removed: " + column);
        lines = ChangeList(FileName(newPath), before, after, diff, words);
        if (lines.empty() && !diff.Empty())
            return 1; // only columns differ, and the warnings said which
    }
    const bool differ = !lines.empty();
    if (!Emit("-", FormatChanges(std::move(lines))))
        return Fail("cannot write to standard output"), kBadArguments;
    return differ ? 1 : 0;
}

int PatchCommand(const std::vector<std::string>& args) {
    const std::string verb = args.empty() ? "" : args[0];
    if (args.size() != 4 || (verb != "make" && verb != "apply"))
        return Fail("usage: patch make BASE MODDED OUT.patch | patch apply TABLE PATCH OUT");
    if (verb == "make") {
        if (!SameKind(args[1], args[2]))
            return 1;
        std::vector<std::string> notCarried;
        std::vector<ChangeLine> lines;
        if (IsStringTable(args[2])) {
            CStrTbl base, modded;
            if (!ReadStrings(args[1], base) || !ReadStrings(args[2], modded))
                return 1;
            lines = MakePatch(FileName(args[2]), base, modded, notCarried);
        } else {
            CTxtTable base, modded;
            if (!LoadTable(args[1], base) || !LoadTable(args[2], modded))
                return 1;
            lines = MakePatch(FileName(args[2]), base, modded, notCarried);
        }
        for (const std::string& note : notCarried)
            Warn("not carried by the patch: " + note);
        if (!Emit(args[3], FormatChanges(std::move(lines))))
            return Fail("cannot write " + args[3]);
        return 0;
    }

    std::string text, error;
    std::vector<ChangeLine> all;
    if (!ReadWholeFile(args[2], text))
        return Fail("cannot read " + args[2]);
    if (!ParseChanges(text, all, error))
        return Fail(args[2] + ": " + error);
    const std::vector<ChangeLine> lines = LinesFor(all, FileName(args[1]));
    if (lines.empty() && !all.empty())
        return Fail(args[2] + " holds no changes for " + FileName(args[1]));
    EditStep step;
    PatchOutcome outcome;
    std::string bytes;
    if (IsStringTable(args[1])) {
        CStrTbl strings;
        if (!ReadStrings(args[1], strings))
            return 1;
        outcome = ApplyPatch(strings, lines, step);
        if (!strings.Serialize(bytes))
            return Fail("the string table grew past what the game reads");
    } else {
        CTxtTable table;
        if (!LoadTable(args[1], table))
            return 1;
        outcome = ApplyPatch(table, lines, step);
        bytes = table.Serialize();
    }
    if (!Emit(args[3], bytes))
        return Fail("cannot write " + args[3]);
    for (const std::string& conflict : outcome.conflicts)
        std::fprintf(stderr, "conflict: %s\n", conflict.c_str());
    std::fprintf(stderr, "%d applied, %d already there, %zu conflicts\n", outcome.applied,
                 outcome.already, outcome.conflicts.size());
    return outcome.conflicts.empty() ? 0 : 1;
}

} // namespace tolmere
