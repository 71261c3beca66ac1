// SPDX-License-Identifier: MIT
// `bin`: the compiled table the game would make of a .txt, or where a shipped one
// differs from it.
#include "cli/Commands.h"
#include "compiled/BinInputs.h"
#include "tables/BinFile.h"

#include <cstdio>

namespace tolmere {

int BinCommand(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--game-data", "--strings"}, {"--check"}, parsed))
        return 1;
    const bool check = parsed.Flag("--check");
    if (parsed.positional.size() != 2)
        return Fail(check ? "bin --check needs TABLE.txt and SHIPPED.bin"
                          : "bin needs TABLE.txt and OUT.bin");
    const std::string gameDir = parsed.Option("--game-data");
    if (gameDir.empty())
        return Fail("bin needs --game-data DIR, the folder of the tables it links to");
    CTxtTable table;
    if (!LoadTable(parsed.positional[0], table))
        return 1;
    const BinLayout* layout = FindBinLayout(table);
    if (!layout)
        return Fail(parsed.positional[0] +
                    ": its header is none of UniqueItems, SetItems, Sets, Properties or "
                    "ItemStatCost as the game compiles them");
    CBinLinks links;
    std::string error = LoadBinLinks(*layout, gameDir, parsed.Option("--strings"), links);
    if (!error.empty())
        return Fail(error);
    std::string compiled;
    error = CompileBin(table, *layout, links, compiled);
    if (!error.empty())
        return Fail(error);
    if (!check) {
        if (!Emit(parsed.positional[1], compiled))
            return Fail("cannot write " + parsed.positional[1]);
        // Written as the game compiles it; what the game changes on the way is told.
        for (const BinCellNote& note : BinCellNotes(table, *layout, links))
            Warn(parsed.positional[0] + " line " + std::to_string(note.row + 2) + ", " +
                 note.columnName + ": " + note.what);
        return 0;
    }

    std::string shipped;
    if (!ReadWholeFile(parsed.positional[1], shipped, error))
        return Fail("cannot read " + parsed.positional[1] + ": " + error);
    const BinDifference difference = FirstBinDifference(*layout, shipped, compiled);
    if (difference.found) {
        std::printf("%s: %s\n", parsed.positional[1].c_str(), difference.Describe().c_str());
        return 3;
    }
    std::printf("%s: the same as %s.bin (%s) compiled from %s\n", parsed.positional[1].c_str(),
                layout->table.c_str(), layout->game.c_str(), parsed.positional[0].c_str());
    return 0;
}

} // namespace tolmere
