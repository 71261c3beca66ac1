// SPDX-License-Identifier: MIT
#include "cli/Commands.h"

#include "base/Services.h"
#include "tables/BinFile.h"
#include "tables/SafeWriter.h"
#include "tables/StrTblText.h"
#include "tables/StringTables.h"
#include "tables/TableFile.h"
#include "tables/TxtTable.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <sys/stat.h>

namespace tolmere {

int Fail(const std::string& message) {
    std::fprintf(stderr, "tolmere-cli: %s\n", message.c_str());
    return 1;
}

void Warn(const std::string& message) {
    std::fprintf(stderr, "tolmere-cli: warning: %s\n", message.c_str());
}

namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

} // namespace

std::optional<std::int32_t> WholeNumber(const std::string& text) {
    // from_chars alone would take "-1", and stop quietly at "x" or "." or "e".
    std::int32_t value = 0;
    if (!AllDigits(text) ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        return std::nullopt;
    return value;
}

bool ReadWholeNumber(const std::string& name, const std::string& text, std::int32_t& value) {
    if (const std::optional<std::int32_t> number = WholeNumber(text)) {
        value = *number;
        return true;
    }
    const std::string quoted = "\"" + EscapeOnOneLine(text) + "\"";
    if (AllDigits(text))
        Fail(name + " " + quoted + " is too large (at most " +
             std::to_string(std::numeric_limits<std::int32_t>::max()) + ")");
    else
        Fail(name + " takes a whole decimal number (digits 0-9 alone), not " + quoted);
    return false;
}

bool Emit(const std::string& path, const std::string& bytes) {
    if (path == "-")
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
               std::fflush(stdout) == 0;
    return WriteFileSafely(path, bytes);
}

bool LoadTable(const std::string& path, CTxtTable& table) {
    std::string error;
    if (!LoadTableFile(path, table, error)) {
        Fail("cannot load " + path + ": " + error);
        return false;
    }
    if (table.ColumnCount() == 0) {
        Fail(path + " holds no table");
        return false;
    }
    return true;
}

bool LoadStringFolder(const std::string& dir, CStringTables& strings) {
    int found = 0;
    for (StringSource source : CStringTables::kLookupOrder) {
        const std::string path = dir + "/" + CStringTables::FileName(source);
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            continue;
        std::string error;
        if (!strings.Table(source).Read(path, &error)) {
            Fail("cannot read " + path + ": " + error);
            return false;
        }
        ++found;
    }
    if (found == 0) {
        Fail(dir + " holds no string.tbl, expansionstring.tbl or patchstring.tbl");
        return false;
    }
    return true;
}

namespace {

// The shipped catalogue: beside the program, then in the installed data directory.
std::string DefaultModKeyPath() {
    for (const char* place : {"", "../share/tolmere/"}) {
        std::string path = ModuleDir() + place + "modkey.txt";
        CBinFile probe;
        if (probe.Open(path, CBinFile::kRead))
            return path;
    }
    return "modkey.txt";
}

} // namespace

bool LoadWording(const WordingFiles& files, Wording& wording) {
    const std::string modkey = files.modkey.empty() ? DefaultModKeyPath() : files.modkey;
    if (!wording.keys.Load(modkey)) {
        Fail("cannot read the modifier catalogue " + modkey);
        return false;
    }
    if (!files.stringsDir.empty() && !LoadStringFolder(files.stringsDir, wording.strings))
        return false;
    // --tbl names patchstring.tbl itself, over what the folder held.
    std::string error;
    if (!files.tbl.empty() && !wording.strings.Patch().Read(files.tbl, &error)) {
        Fail("cannot read " + files.tbl + ": " + error);
        return false;
    }
    if (!files.gameDir.empty() && !wording.game.LoadFolder(files.gameDir, error)) {
        Fail(error);
        return false;
    }
    return true;
}

std::string ParsedArgs::Option(const std::string& name) const {
    for (const auto& [option, value] : options) {
        if (option == name)
            return value;
    }
    return std::string();
}

bool ParsedArgs::Flag(const std::string& name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flags, ParsedArgs& parsed) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue =
            std::find(valueOptions.begin(), valueOptions.end(), arg) != valueOptions.end();
        if (takesValue && i + 1 < args.size()) {
            parsed.options.emplace_back(arg, args[++i]);
        } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            parsed.flags.push_back(arg);
        } else if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            Fail(takesValue ? arg + " needs a value" : "unexpected option " + arg);
            return false;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return true;
}

} // namespace tolmere
