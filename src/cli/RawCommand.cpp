// SPDX-License-Identifier: MIT
// tolmere-cli raw: Raw Edit's cell edits and New Row for scripts, through the same
// operations the window applies.
#include "cli/Commands.h"

#include "grid/RawEdit.h"
#include "tables/ColumnFinder.h"

namespace tolmere {
namespace {

const char kRawUsage[] = "raw set TABLE ROW COLUMN TEXT OUT | raw add-row TABLE FROM_ROW OUT";

} // namespace

int RawCommand(const std::vector<std::string>& args) {
    const std::string verb = args.empty() ? "" : args[0];
    if (verb == "find" || verb == "replace" || verb == "paste" || verb == "calc")
        return RawSheetCommand(args);
    if (!((verb == "set" && args.size() == 6) || (verb == "add-row" && args.size() == 4)))
        return Fail(std::string("usage: ") + kRawUsage);
    CTxtTable table;
    if (!LoadTable(args[1], table))
        return 1;
    std::int32_t row = -1;
    if (!ReadWholeNumber(verb == "set" ? "ROW" : "FROM_ROW", args[2], row))
        return 1;
    if (row >= table.DataRowCount())
        return Fail(args[1] + " has no row " + args[2]);
    RawEdits edits;
    edits.rows = table.DataRowCount();
    if (verb == "add-row") {
        // New Row: a copy of the row, appended.
        edits.rows += 1;
        for (std::int32_t c = 0; c < table.ColumnCount(); ++c)
            edits.cells[{edits.rows - 1, c}] = std::string(table.Text(row, c));
    } else {
        // A number names a column by place; any other text, a header.
        std::int32_t column = WholeNumber(args[3]).value_or(-1);
        if (column < 0 || column >= table.ColumnCount())
            column = CColumnFinder(table).Find(args[3]);
        if (column < 0)
            return Fail(args[1] + " has no column " + args[3]);
        const std::string& text = args[4];
        if (text.find_first_of("\t\r\n") != std::string::npos)
            return Fail("A cell cannot hold a tab or a line break");
        // A "Name |code" text in a choice column is a pick, as in the window.
        const CBaseLists lists;
        const CModKeys keys;
        const CGameData game;
        const CStringTables strings;
        const CTxtTable colours;
        const std::vector<RawColumn> columns =
            RawColumnsFor(table, {lists, keys, game, strings, colours});
        const RawColumn& raw = columns[static_cast<std::size_t>(column)];
        const RawPick pick = PickChoice(raw.kind, text);
        edits.cells[{row, column}] = pick.cell;
        if (pick.writesName && raw.nameColumn >= 0)
            edits.cells[{row, raw.nameColumn}] = pick.name;
    }
    EditStep step;
    ApplyRawEdits(table, edits, step);
    return WriteTable(table, args.back());
}

} // namespace tolmere
