// SPDX-License-Identifier: MIT
#include "cli/Commands.h"

#include "items/UniqueModel.h"
#include "mods/GameDescribe.h"
#include "tables/StrTblText.h"

namespace tolmere {
int DescribeCommand(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--modkey", "--tbl", "--strings", "--game-data"}, {}, parsed))
        return 1;
    if (parsed.positional.size() > 1)
        return Fail("describe: unexpected argument " + parsed.positional[1]);
    const std::string tablePath = parsed.positional.empty() ? "" : parsed.positional[0];
    if (tablePath.empty())
        return Fail("describe needs UNIQUEITEMS.txt");
    Wording wording;
    if (!LoadWording({parsed.Option("--modkey"), parsed.Option("--tbl"), parsed.Option("--strings"),
                      parsed.Option("--game-data")},
                     wording))
        return 1;
    // Without it every class would read as the game's own, which a mod may have changed.
    const std::string gameDir = parsed.Option("--game-data");
    if (!gameDir.empty() && !wording.game.ClassesFromCharStats())
        Warn(gameDir + " holds no CharStats.txt: classes are named in the game's own order");
    CTxtTable table;
    if (!LoadTable(tablePath, table))
        return 1;

    CUniqueModel model(table, RecogniseUniqueItems(table));
    const UniqueItemsLayout& layout = model.Layout();
    std::string out = "layout: " + layout.name;
    if (!layout.Editable()) {
        // Named, so that a script sees which file it was; not described, since its
        // columns are not known.
        Emit("-", out + " (" + layout.problem + ")\n");
        return Fail(tablePath +
                    " is not a unique items table this editor knows: " + layout.problem);
    }
    out += "\n";
    // One item or modifier a line, for scripts: a line break in a name is escaped as
    // tbl2txt escapes it.
    for (std::int32_t row = 0; row < model.ItemCount(); ++row) {
        out += "#" + std::to_string(row) + " " +
               EscapeOnOneLine(model.ItemLabel(row, wording.strings)) + "\n";
        for (const ModLine& line : DescribeModifiers(table, row, model.Modifiers(), wording.keys,
                                                     wording.game, wording.strings))
            out += "  [" + std::to_string(line.slot) + "] " + EscapeOnOneLine(line.text) + "\n";
    }
    if (!Emit("-", out))
        return Fail("cannot write to standard output");
    return 0;
}

} // namespace tolmere
