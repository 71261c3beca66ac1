// SPDX-License-Identifier: MIT
// tolmere-cli: the editor's core from the command line, for modders' scripts.
#include "base/Services.h"
#include "cli/Commands.h"
#include "tables/BinFile.h"
#include "tables/StrTbl.h"
#include "tables/StrTblText.h"
#include "tables/TxtTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// The build passes it; the fallback keeps a build by other means compiling.
#ifndef TOLMERE_VERSION
#define TOLMERE_VERSION "unknown"
#endif

namespace tolmere {
namespace {

const char kUsage[] =
    "usage: tolmere-cli COMMAND ARGS\n"
    "\n"
    "  resave IN OUT                 load a tab-delimited table and save it again\n"
    "  tbl2txt IN.tbl OUT.txt        write a string table as text: key TAB text per\n"
    "                                line, with \\\\ \\t \\r \\n escapes\n"
    "  txt2tbl IN.txt OUT.tbl        build a string table from such text\n"
    "  describe [--modkey FILE] [--tbl FILE] [--strings DIR] [--game-data DIR]\n"
    "           UNIQUEITEMS.txt      the layout, then every unique item (#ROW) with\n"
    "                                its modifiers ([SLOT]) as the editor lists them;\n"
    "                                --strings DIR holds string.tbl, expansionstring.tbl\n"
    "                                and patchstring.tbl, --tbl names patchstring.tbl;\n"
    "                                --game-data DIR holds Properties.txt,\n"
    "                                ItemStatCost.txt (and Skills.txt, SkillDesc.txt,\n"
    "                                CharStats.txt, MonStats.txt, MonType.txt,\n"
    "                                Weapons.txt, Armor.txt, Misc.txt), which word\n"
    "                                them as the game does\n"
    "  mod add TABLE ROW CODE PAR MIN MAX OUT [--replace] [--game-data DIR]\n"
    "  mod edit TABLE ROW SLOT CODE PAR MIN MAX OUT [--replace] [--game-data DIR]\n"
    "  mod delete TABLE ROW SLOT OUT\n"
    "                                the editor's Add, Edit and Delete on a unique\n"
    "                                items table; ROW is a row number or key=TEXT,\n"
    "                                SLOT as describe prints it; --replace answers\n"
    "                                Yes to overwriting a slot holding the code;\n"
    "                                --game-data warns of what the game's tables\n"
    "                                do not know, and of a minimum above the maximum\n"
    "  sets [--sets SETS.txt] [--strings DIR] [--game-data DIR] SETITEMS.txt\n"
    "                                the layout, then every set (#NODE) with its\n"
    "                                modifiers ([COLUMN]) and, indented, its items\n"
    "                                with theirs, as the set item window lists them\n"
    "  mod add SETITEMS CODE PAR MIN MAX OUT --node N [--group COLUMN]\n"
    "  mod edit SETITEMS COLUMN CODE PAR MIN MAX OUT --node N\n"
    "  mod delete SETITEMS COLUMN OUT --node N\n"
    "                                the set item window's Add, Edit and Delete on\n"
    "                                node N; COLUMN as sets prints it; --group adds\n"
    "                                into the group holding that column; with\n"
    "                                --sets SETS.txt, OUT gets the table that changed\n"
    "  raw set TABLE ROW COLUMN TEXT OUT\n"
    "  raw add-row TABLE FROM_ROW OUT\n"
    "                                Raw Edit's cell edit and New Row; COLUMN is a\n"
    "                                number or a header name; \"Name |code\" in a code\n"
    "                                column writes the code (and a base item's name\n"
    "                                where the table keeps one), as a pick does\n"
    "  strings DIR find TEXT         every key whose key or text holds TEXT (any\n"
    "                                case): key, table, text per line, TAB between;\n"
    "                                DIR holds string.tbl, expansionstring.tbl and\n"
    "                                patchstring.tbl\n"
    "  strings DIR get KEY           the key's line, from the table the game takes\n"
    "  strings TBL set KEY TEXT OUT\n"
    "  strings TBL add KEY TEXT OUT\n"
    "  strings TBL delete KEY OUT    the Strings window's edits on one string table;\n"
    "                                untouched entries stay byte for byte\n"
    "  raw find TABLE TEXT [--column NAME] [--case] [--whole] [--regex]\n"
    "                                every cell holding TEXT: row, key, column, cell\n"
    "  raw replace TABLE FIND REPLACEMENT OUT [--column NAME] [--case] [--whole] [--regex]\n"
    "                                replaces in every cell find finds; prints how many\n"
    "  raw paste TABLE ROW COLUMN TSVFILE OUT\n"
    "                                a block of tab-separated cells (as a spreadsheet\n"
    "                                copies them) from cell ROW, COLUMN; ROW is a number\n"
    "                                or key=TEXT; rows past the last are added\n"
    "  raw calc TABLE COLUMN ROWS OPERATION OUT\n"
    "                                +N, -N, *N, /N or =N on the numbers of ROWS (all,\n"
    "                                N or N-M); whole numbers stay whole\n"
    "  dc6 [--opaque] IN.dc6 OUT.png an item picture, decoded with the item palette;\n"
    "                                where it has no pixel it is transparent, or\n"
    "                                with --opaque the dialog's colour\n"
    "  pictures UNIQUEITEMS --bases DIR\n"
    "                                each row's key and the picture the editor\n"
    "                                shows for it; DIR holds weapons.txt, armor.txt\n"
    "                                and misc.txt\n"
    "  lint [--game-data DIR] [--strings DIR] [--json] TABLE...\n"
    "  lint [--strings DIR] [--json] GAMEDIR_OR_EXCEL_DIR\n"
    "                                what the game would trip over in the unique\n"
    "                                item and set tables, one problem a line:\n"
    "                                error|warning|note TAB file TAB row TAB key\n"
    "                                TAB column TAB text; --json for scripts; exit\n"
    "                                0 without errors, 1 with errors, 2 for bad\n"
    "                                arguments\n"
    "  bin TABLE.txt OUT.bin --game-data DIR [--strings DIR]\n"
    "                                the compiled table the game makes of TABLE.txt\n"
    "                                (UniqueItems, SetItems, Sets, Properties,\n"
    "                                ItemStatCost, known by the header); DIR holds the\n"
    "                                tables it links to, --strings DIR the string tables;\n"
    "                                a warning names each cell the game cuts short or\n"
    "                                cannot link\n"
    "  bin --check TABLE.txt SHIPPED.bin --game-data DIR [--strings DIR]\n"
    "                                the first field where SHIPPED.bin differs from\n"
    "                                what TABLE.txt compiles to (exit status 3)\n"
    "  resource N OUT                the decoded bytes of embedded resource N\n"
    "  diff [--words [--game-data DIR] [--strings DIR] [--modkey FILE]] OLD NEW\n"
    "                                what changed from OLD to NEW (tables or .tbl),\n"
    "                                rows matched by key: one change a line, table\n"
    "                                TAB key TAB column TAB old TAB new, sorted;\n"
    "                                --words shows modifiers in the game's wording;\n"
    "                                exit 0 equal, 1 different, 2 bad arguments\n"
    "  patch make BASE MODDED OUT.patch\n"
    "                                the changed cells and added rows, as such lines\n"
    "  patch apply TABLE PATCH OUT   each change whose old value TABLE still holds;\n"
    "                                the others are listed as conflicts (exit 1)\n"
    "  -h, --help                    print this and exit\n"
    "  --version                     print the version and exit\n"
    "\n"
    "OUT may be - for standard output.\n"
    "\n"
    "Exit status: 0 done, 1 failure or wrong arguments (one line on standard error says\n"
    "why, and nothing is written) or, for lint, tables that hold errors, for diff,\n"
    "tables that differ and, for patch apply, changes that conflict; 2 wrong\n"
    "arguments to lint or diff, 3 bin --check found a difference, 210 out of memory,\n"
    "254 a table grew past the most cells it can hold, 255 an internal error.\n";

int Resave(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("resave needs IN and OUT");
    CTxtTable table;
    if (!LoadTable(args[0], table))
        return 1;
    // Written from the loaded bytes a slice at a time: a copy of the whole file beside
    // the table would double what a large table needs.
    std::string error;
    const bool written = args[1] == "-" ? table.Write(stdout) : table.Save(args[1], &error);
    if (!written)
        return Fail("cannot write " + args[1] + (error.empty() ? "" : ": " + error));
    return 0;
}

int TblToTxt(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("tbl2txt needs IN.tbl and OUT.txt");
    CStrTbl table;
    std::string error;
    if (!table.Read(args[0], &error))
        return Fail("cannot read " + args[0] + ": " + error);
    if (!Emit(args[1], StrTblToText(table)))
        return Fail("cannot write " + args[1]);
    return 0;
}

// Where the text holds a NUL byte, as "line N: ..."; "" when it holds none. The game's
// strings end at NUL, so a key or text holding one builds a table that the game and
// the editor read as damaged. Lines are counted as StrTblFromText counts them.
std::string NulByteProblem(const std::string& text) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string::npos)
        return std::string();
    const auto lineNumber = std::count(text.begin(), text.begin() + nul, '\n') + 1;
    const std::size_t lineStart = text.rfind('\n', nul);
    const std::size_t tab = text.find('\t', lineStart == std::string::npos ? 0 : lineStart + 1);
    const std::size_t lineEnd = text.find('\n', nul);
    const char* where = tab >= lineEnd ? "" : tab < nul ? " in the text" : " in the key";
    return "line " + std::to_string(lineNumber) + ": a NUL byte" + where +
           "; the game's strings end at NUL";
}

int TxtToTbl(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("txt2tbl needs IN.txt and OUT.tbl");
    std::string text;
    if (!ReadWholeFile(args[0], text))
        return Fail("cannot read " + args[0]);
    const std::string nulProblem = NulByteProblem(text);
    if (!nulProblem.empty())
        return Fail(args[0] + ": " + nulProblem);
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
    if (command == "--version") {
        std::fputs("tolmere-cli " TOLMERE_VERSION "\n", stdout);
        return 0;
    }
    if (command == "resave")
        return Resave(args);
    if (command == "tbl2txt")
        return TblToTxt(args);
    if (command == "txt2tbl")
        return TxtToTbl(args);
    if (command == "describe")
        return DescribeCommand(args);
    if (command == "mod")
        return ModCommand(args);
    if (command == "sets")
        return SetsCommand(args);
    if (command == "raw")
        return RawCommand(args);
    if (command == "lint")
        return LintCommand(args);
    if (command == "strings")
        return StringsCommand(args);
    if (command == "pictures")
        return PicturesCommand(args);
    if (command == "dc6")
        return Dc6Command(args);
    if (command == "bin")
        return BinCommand(args);
    if (command == "resource")
        return ResourceCommand(args);
    if (command == "diff")
        return DiffCommand(args);
    if (command == "patch")
        return PatchCommand(args);
    return Fail("unknown command " + command + " (try --help)");
}
