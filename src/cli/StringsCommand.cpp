// SPDX-License-Identifier: MIT
// tolmere-cli strings: the Strings window's search, lookup and edits for scripts,
// through the same operations the window applies.
#include "cli/Commands.h"

#include "strings/StringEdits.h"
#include "strings/StringList.h"
#include "tables/StrTblText.h"

#include <cstdio>

namespace tolmere {
namespace {

const char kStringsUsage[] = "strings DIR find TEXT | strings DIR get KEY | "
                             "strings TBL set KEY TEXT OUT | strings TBL add KEY TEXT OUT | "
                             "strings TBL delete KEY OUT";

void PrintRow(std::string_view key, StringSource source, std::string_view text) {
    const std::string line = EscapeOnOneLine(key) + "\t" + CStringTables::FileName(source) + "\t" +
                             EscapeOnOneLine(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

int Look(const std::string& dir, const std::string& verb, const std::string& what) {
    CStringTables tables;
    if (!LoadStringFolder(dir, tables))
        return 1;
    if (verb == "get") {
        const CStringTables::Found found = tables.Lookup(what);
        if (!found.entry)
            return Fail("no string table in " + dir + " has the key " + what);
        PrintRow(what, found.source, found.entry->text);
        return 0;
    }
    CStringList list;
    list.Build(tables);
    StringFilter filter;
    filter.query = what;
    for (std::size_t i : list.Filter(filter)) {
        const StringRow& row = list.Rows()[i];
        PrintRow(row.key, row.source, row.text);
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the found lines");
}

int Change(const std::vector<std::string>& args) {
    const std::string& verb = args[1];
    CStringTables tables;
    std::string error;
    if (!tables.Patch().Read(args[0], &error))
        return Fail("cannot read " + args[0] + ": " + error);
    const std::string& key = args[2];
    StringEditResult result = verb == "set"   ? SetString(tables, key, args[3])
                              : verb == "add" ? AddString(tables, key, args[3])
                                              : DeleteString(tables, key);
    if (!result.done)
        return Fail(result.message);
    std::string bytes;
    if (!tables.Patch().Serialize(bytes))
        return Fail(tables.Patch().List().empty()
                        ? "the string table would have no entries, which the game cannot read"
                        : "the string table would hold more than a string table can");
    if (!result.message.empty())
        std::fprintf(stderr, "tolmere-cli: %s\n", result.message.c_str());
    return Emit(args.back(), bytes) ? 0 : 1;
}

} // namespace

int StringsCommand(const std::vector<std::string>& args) {
    const std::string verb = args.size() > 1 ? args[1] : "";
    if ((verb == "find" || verb == "get") && args.size() == 3)
        return Look(args[0], verb, args[2]);
    if (((verb == "set" || verb == "add") && args.size() == 5) ||
        (verb == "delete" && args.size() == 4))
        return Change(args);
    return Fail(std::string("usage: ") + kStringsUsage);
}

} // namespace tolmere
