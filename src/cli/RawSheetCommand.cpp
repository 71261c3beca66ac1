// SPDX-License-Identifier: MIT
// tolmere-cli raw find, replace, paste and calc: Raw Edit's spreadsheet operations for
// scripts, through the same core operations the grid runs.
#include "cli/Commands.h"

#include "grid/GridFind.h"
#include "grid/GridOps.h"
#include "grid/RawEdit.h"
#include "grid/TableSheet.h"
#include "grid/Tsv.h"
#include "tables/ColumnFinder.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace tolmere {
namespace {

const char kSheetUsage[] =
    "raw find TABLE TEXT [--column NAME] [--case] [--whole] [--regex] | "
    "raw replace TABLE FIND REPLACEMENT OUT [same options] | "
    "raw paste TABLE ROW COLUMN TSVFILE OUT | raw calc TABLE COLUMN ROWS OPERATION OUT";

std::string HeaderName(const CTxtTable& table, int column) {
    return std::string(table.HeaderCell(column).value_or(std::string_view()));
}

// A header name; -1 having said so when the table has none such.
int ColumnArgument(const CTxtTable& table, const std::string& path, const std::string& name) {
    const int column = CColumnFinder(table).Find(name);
    if (column < 0)
        Fail(path + " has no column " + name);
    return column;
}

// A data row number as describe prints it, or key=TEXT for the first row whose first
// cell is TEXT; -1 having said why otherwise.
int RowArgument(const CTxtTable& table, const std::string& path, const std::string& text) {
    if (text.rfind("key=", 0) == 0) {
        const std::string key = text.substr(4);
        for (std::int32_t r = 0; r < table.DataRowCount(); ++r)
            if (table.Text(r, 0) == key)
                return r;
        Fail(path + " has no row whose key is " + key);
        return -1;
    }
    std::int32_t row = -1;
    if (!ReadWholeNumber("ROW", text, row))
        return -1;
    if (row >= table.DataRowCount()) {
        Fail(path + " has no row " + text);
        return -1;
    }
    return row;
}

int WriteResult(CTxtTable& table, const GridEditResult& result, const std::string& out) {
    RawEdits edits;
    edits.rows = table.DataRowCount() + result.rowsToAdd;
    for (const GridChange& change : result.changes)
        edits.cells[{change.row, change.column}] = change.text;
    EditStep step;
    ApplyRawEdits(table, edits, step);
    return WriteTable(table, out);
}

int FindOrReplace(const std::string& verb, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--column"}, {"--case", "--whole", "--regex"}, parsed))
        return 1;
    const auto& p = parsed.positional;
    if (p.size() != (verb == "find" ? 3u : 5u))
        return Fail(std::string("usage: ") + kSheetUsage);
    CTxtTable table;
    if (!LoadTable(p[1], table))
        return 1;
    FindOptions options;
    options.matchCase = parsed.Flag("--case");
    options.wholeCell = parsed.Flag("--whole");
    options.regex = parsed.Flag("--regex");
    if (const std::string name = parsed.Option("--column"); !name.empty()) {
        options.column = ColumnArgument(table, p[1], name);
        if (options.column < 0)
            return 1;
    }
    const CCellMatcher matcher(p[2], options);
    if (!matcher.Error().empty())
        return Fail(matcher.Error());
    const CTableSheet sheet(table);
    if (verb == "find") {
        for (const GridCell& hit : FindAll(sheet, matcher))
            std::printf("%d\t%s\t%s\t%s\n", hit.row, std::string(table.Text(hit.row, 0)).c_str(),
                        HeaderName(table, hit.column).c_str(),
                        std::string(table.Text(hit.row, hit.column)).c_str());
        return 0;
    }
    if (p[3].find_first_of("\t\r\n") != std::string::npos)
        return Fail("A cell cannot hold a tab or a line break");
    const GridEditResult result = ReplaceAll(sheet, matcher, p[3]);
    std::printf("%d replaced in %zu cells\n", result.occurrences, result.changes.size());
    return WriteResult(table, result, p[4]);
}

int Paste(const std::vector<std::string>& args) {
    CTxtTable table;
    if (!LoadTable(args[1], table))
        return 1;
    const int row = RowArgument(table, args[1], args[2]);
    if (row < 0)
        return 1;
    const int column = ColumnArgument(table, args[1], args[3]);
    if (column < 0)
        return 1;
    std::ifstream file(args[4], std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (!file)
        return Fail("cannot read " + args[4]);
    const CellBlock block = DecodeTsv(bytes.str());
    for (const auto& cells : block)
        for (const std::string& cell : cells)
            if (cell.find_first_of("\t\r\n") != std::string::npos)
                return Fail(args[4] + ": a cell cannot hold a tab or a line break");
    const GridEditResult result = PasteBlock(CTableSheet(table), {row, column}, block);
    if (!result.Ok())
        return Fail(result.error);
    return WriteResult(table, result, args[5]);
}

int Calc(const std::vector<std::string>& args) {
    CTxtTable table;
    if (!LoadTable(args[1], table))
        return 1;
    const int column = ColumnArgument(table, args[1], args[2]);
    if (column < 0)
        return 1;
    std::string error;
    const auto rows = ParseRowSpan(args[3], table.DataRowCount(), error);
    if (!rows)
        return Fail(args[1] + ": " + error);
    const auto op = ParseCalc(args[4], error);
    if (!op)
        return Fail(error);
    const GridEditResult result =
        Calculate(CTableSheet(table), {rows->first, column, rows->second, column}, *op);
    std::printf("%zu cells changed, %d without a number left alone\n", result.changes.size(),
                result.skipped);
    return WriteResult(table, result, args[5]);
}

} // namespace

int RawSheetCommand(const std::vector<std::string>& args) {
    const std::string& verb = args[0];
    if (verb == "find" || verb == "replace")
        return FindOrReplace(verb, args);
    if ((verb == "paste" || verb == "calc") && args.size() == 6)
        return verb == "paste" ? Paste(args) : Calc(args);
    return Fail(std::string("usage: ") + kSheetUsage);
}

} // namespace tolmere
