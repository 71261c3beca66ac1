// tolmere-cli: the editor's core from the command line, for modders' scripts.
#include "app/UniqueModel.h"
#include "cli/Commands.h"
#include "mods/Describe.h"
#include "mods/ModKeys.h"
#include "tables/BinFile.h"
#include "tables/SafeWriter.h"
#include "tables/Services.h"
#include "tables/StrTbl.h"
#include "tables/StrTblText.h"
#include "tables/TxtTable.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tolmere {
namespace {

const char kUsage[] =
    "usage: tolmere-cli COMMAND ARGS\n"
    "\n"
    "  resave IN OUT                 load a tab-delimited table and save it again\n"
    "  tbl2txt IN.tbl OUT.txt        write a string table as text: key TAB text per\n"
    "                                line, with \\\\ \\t \\r \\n escapes\n"
    "  txt2tbl IN.txt OUT.tbl        build a string table from such text\n"
    "  describe [--modkey FILE] [--tbl FILE] UNIQUEITEMS.txt\n"
    "                                every unique item with its modifiers as the\n"
    "                                editor lists them\n"
    "  dc6 IN.dc6 OUT.png            an item picture, decoded with the item palette\n"
    "  resource N OUT                the decoded bytes of embedded resource N\n"
    "\n"
    "OUT may be - for standard output.\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "tolmere-cli: %s\n", message.c_str());
    return 1;
}

bool Emit(const std::string& path, const std::string& bytes) {
    if (path == "-")
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
               std::fflush(stdout) == 0;
    return WriteFileSafely(path, bytes);
}

int Resave(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("resave needs IN and OUT");
    CTxtTable table;
    if (!table.Load(args[0]))
        return Fail("cannot read " + args[0]);
    if (table.CellCount() == 0)
        return Fail(args[0] + " holds no table");
    if (!Emit(args[1], table.Serialize()))
        return Fail("cannot write " + args[1]);
    return 0;
}

int TblToTxt(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("tbl2txt needs IN.tbl and OUT.txt");
    CStrTbl table;
    if (!table.Read(args[0]))
        return Fail("cannot read " + args[0]);
    if (!Emit(args[1], StrTblToText(table)))
        return Fail("cannot write " + args[1]);
    return 0;
}

int TxtToTbl(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("txt2tbl needs IN.txt and OUT.tbl");
    std::string text;
    if (!ReadWholeFile(args[0], text))
        return Fail("cannot read " + args[0]);
    CStrTbl table;
    std::string error;
    if (!StrTblFromText(text, table, error))
        return Fail(args[0] + ": " + error);
    std::string bytes;
    if (table.EntryCount() == 0)
        return Fail(args[0] + " holds no entries; a string table needs at least one");
    if (!table.Serialize(bytes))
        return Fail("too many entries or a text too long for a string table (at most 65,535 "
                    "entries, texts of 65,534 bytes, keys of 16,382 bytes)");
    if (!Emit(args[1], bytes))
        return Fail("cannot write " + args[1]);
    return 0;
}

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

int Describe(const std::vector<std::string>& args) {
    std::string modkeyPath, tblPath, tablePath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--modkey" || args[i] == "--tbl") && i + 1 < args.size())
            (args[i] == "--modkey" ? modkeyPath : tblPath) = args[++i];
        else if (tablePath.empty() && args[i].rfind("--", 0) != 0)
            tablePath = args[i];
        else
            return Fail("describe: unexpected argument " + args[i]);
    }
    if (tablePath.empty())
        return Fail("describe needs UNIQUEITEMS.txt");
    if (modkeyPath.empty())
        modkeyPath = DefaultModKeyPath();

    CModKeys keys;
    if (!keys.Load(modkeyPath))
        return Fail("cannot read the modifier catalogue " + modkeyPath);
    CStrTbl strings;
    if (!tblPath.empty() && !strings.Read(tblPath))
        return Fail("cannot read " + tblPath);
    CTxtTable table;
    if (!table.Load(tablePath))
        return Fail("cannot read " + tablePath);

    CUniqueModel model(table);
    std::string out;
    for (std::int32_t row = 0; row < model.ItemCount(); ++row) {
        out += model.ItemLabel(row, strings) + "\n";
        for (const ModLine& line : DescribeModifiers(table, row, model.Layout().slots, keys))
            out += "  [" + std::to_string(line.slot) + "] " + line.text + "\n";
    }
    if (!Emit("-", out))
        return Fail("cannot write to standard output");
    return 0;
}

} // namespace
} // namespace tolmere

int main(int argc, char** argv) {
    using namespace tolmere;
    InstallOutOfMemoryExit();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Fail("no command (try --help)");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "resave")
        return Resave(args);
    if (command == "tbl2txt")
        return TblToTxt(args);
    if (command == "txt2tbl")
        return TxtToTbl(args);
    if (command == "describe")
        return Describe(args);
    if (command == "dc6")
        return Dc6Command(args);
    if (command == "resource")
        return ResourceCommand(args);
    return Fail("unknown command " + command + " (try --help)");
}
