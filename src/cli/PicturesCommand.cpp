// SPDX-License-Identifier: MIT
// tolmere-cli pictures: the picture "Cache Img" extracts for each unique item, found
// by the same code the editor uses.
#include "cli/Commands.h"

#include "base/Services.h"
#include "items/ItemPictures.h"

namespace tolmere {

int PicturesCommand(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--bases"}, {}, parsed))
        return 1;
    const std::string dir = parsed.Option("--bases");
    if (parsed.positional.size() != 1 || dir.empty())
        return Fail("pictures needs UNIQUEITEMS.txt and --bases DIR");
    CTxtTable table;
    if (!LoadTable(parsed.positional[0], table))
        return 1;
    const UniqueItemsLayout layout = RecogniseUniqueItems(table);
    if (!layout.Editable())
        return Fail(parsed.positional[0] +
                    " is not a unique items table this editor knows: " + layout.problem);
    CBaseLists lists;
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i) {
        const std::string name = EntryIgnoringCase(dir, CBaseLists::FileName(i));
        if (name.empty() || !lists.Load(i, dir + "/" + name))
            return Fail("cannot read " + dir + "/" + CBaseLists::FileName(i));
    }
    std::string out;
    for (std::int32_t row = 0; row < table.DataRowCount(); ++row)
        out += std::string(table.Text(row, layout.keyColumn)) + "\t" +
               UniquePictureName(table, layout, row, lists) + "\n";
    if (!Emit("-", out))
        return Fail("cannot write to standard output");
    return 0;
}

} // namespace tolmere
