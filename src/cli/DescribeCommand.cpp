#include "cli/Commands.h"

#include "app/UniqueModel.h"
#include "mods/GameDescribe.h"
#include "mods/ModKeys.h"
#include "tables/BinFile.h"
#include "tables/Services.h"

namespace tolmere {
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

int DescribeCommand(const std::vector<std::string>& args) {
    std::string modkeyPath, tblPath, stringsDir, gameDir, tablePath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue =
            arg == "--modkey" || arg == "--tbl" || arg == "--strings" || arg == "--game-data";
        if (takesValue && i + 1 < args.size()) {
            const std::string& value = args[++i];
            if (arg == "--modkey")
                modkeyPath = value;
            else if (arg == "--tbl")
                tblPath = value;
            else if (arg == "--strings")
                stringsDir = value;
            else
                gameDir = value;
        } else if (tablePath.empty() && arg.rfind("--", 0) != 0) {
            tablePath = arg;
        } else {
            return Fail("describe: unexpected argument " + arg);
        }
    }
    if (tablePath.empty())
        return Fail("describe needs UNIQUEITEMS.txt");
    if (modkeyPath.empty())
        modkeyPath = DefaultModKeyPath();

    CModKeys keys;
    if (!keys.Load(modkeyPath))
        return Fail("cannot read the modifier catalogue " + modkeyPath);
    CStringTables strings;
    if (!stringsDir.empty() && !LoadStringFolder(stringsDir, strings))
        return 1;
    // --tbl names patchstring.tbl itself, over what the folder held.
    std::string error;
    if (!tblPath.empty() && !strings.Patch().Read(tblPath, &error))
        return Fail("cannot read " + tblPath + ": " + error);
    CGameData game;
    if (!gameDir.empty() && !game.LoadFolder(gameDir, error))
        return Fail(error);
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
    for (std::int32_t row = 0; row < model.ItemCount(); ++row) {
        out += "#" + std::to_string(row) + " " + model.ItemLabel(row, strings) + "\n";
        for (const ModLine& line :
             DescribeModifiers(table, row, model.Modifiers(), keys, game, strings))
            out += "  [" + std::to_string(line.slot) + "] " + line.text + "\n";
    }
    if (!Emit("-", out))
        return Fail("cannot write to standard output");
    return 0;
}

} // namespace tolmere
