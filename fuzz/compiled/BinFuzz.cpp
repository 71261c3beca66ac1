// SPDX-License-Identifier: MIT
// The compile of any table whose header a layout takes, against linked tables made of
// the same bytes: it writes whole records or refuses, and never reads past a cell.
#include "compiled/BinCompiler.h"
#include "support/Parts.h"
#include "support/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    // The table, then Properties, ItemStatCost, Sets and Skills rows.
    const auto parts = SplitParts<5>(data, size);
    CTxtTable table, properties, stats, sets, skills;
    table.Parse(parts[0]);
    properties.Parse(parts[1]);
    stats.Parse(parts[2]);
    sets.Parse(parts[3]);
    skills.Parse(parts[4]);
    const BinLayout* layout = FindBinLayout(table);
    if (!layout)
        return 0;
    CBinLinks links;
    links.Add(BinLink::kProperties, properties);
    links.Add(BinLink::kItemStatCost, stats);
    links.Add(BinLink::kSets, sets);
    links.Add(BinLink::kSkills, skills);
    std::string out;
    const std::string error = CompileBin(table, *layout, links, out);
    Require(error.empty() || out.empty(), "a refused compile writes nothing");
    for (const BinCellNote& note : BinCellNotes(table, *layout, links))
        Require(note.row >= 0 && note.row < table.DataRowCount() && note.column >= 0 &&
                    note.column < table.ColumnCount(),
                "a note points at a cell of the table");
    return 0;
}
