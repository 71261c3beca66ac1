// SPDX-License-Identifier: MIT
// Arbitrary bytes as a tab table: the parser must always produce a well-formed grid,
// writing it out must give back exactly the bytes it was read from, and a row added
// or a cell set must read back as such.
#include "support/Require.h"
#include "tables/TxtTable.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolmere::fuzz {
namespace {

void CheckShape(const CTxtTable& table) {
    const std::int32_t columns = table.ColumnCount();
    const std::int32_t rows = table.RowCount();
    const std::int32_t dataRows = table.DataRowCount();
    if (columns > 0) {
        Require(rows >= 1, "a table with columns has its header row");
        Require(static_cast<std::int64_t>(table.CellCount()) ==
                    static_cast<std::int64_t>(rows) * columns,
                "CellCount() == RowCount() * ColumnCount()");
    } else {
        Require(rows == 0 && table.CellCount() == 0, "a table without columns is empty");
    }
    Require(dataRows == (rows > 0 ? rows - 1 : 0), "DataRowCount() == RowCount() - 1, at least 0");

    for (std::int32_t c = 0; c < columns; ++c) {
        auto name = table.HeaderCell(c);
        Require(name.has_value(), "HeaderCell(c) exists for c < ColumnCount()");
        Require(name->find_first_of("\t\n") == std::string_view::npos,
                "a header cell holds no TAB or LF");
    }
    for (std::int32_t d = 0; d < dataRows; ++d) {
        for (std::int32_t c = 0; c < columns; ++c) {
            auto cell = table.Cell(d, c);
            Require(cell.has_value(), "Cell(d, c) exists inside the grid");
            Require(cell->find_first_of("\t\n") == std::string_view::npos,
                    "a cell holds no TAB or LF");
        }
    }
    Require(table.Cell(dataRows, 0) == std::nullopt, "Cell(DataRowCount(), 0) is null");
    Require(table.Cell(0, columns) == std::nullopt, "Cell(0, ColumnCount()) is null");
    Require(table.Cell(-1, 0) == std::nullopt, "Cell(-1, 0) is null");
    Require(table.Cell(0, -1) == std::nullopt, "Cell(0, -1) is null");
    Require(table.HeaderCell(columns) == std::nullopt, "HeaderCell(ColumnCount()) is null");
    Require(table.HeaderCell(-1) == std::nullopt, "HeaderCell(-1) is null");
}

// The line end a row added to a table read from `bytes` gets: the header's.
std::string HeaderLineEnd(const std::string& bytes) {
    const std::size_t lf = bytes.find('\n');
    if (lf == std::string::npos)
        return "\r\n";
    return lf > 0 && bytes[lf - 1] == '\r' ? "\r\n" : "\n";
}

} // namespace
} // namespace tolmere::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    const std::string input(reinterpret_cast<const char*>(data), size);
    CTxtTable table;
    table.Parse("kept\tunless\nread\there");
    std::string error;
    if (!table.TryParse(input, &error)) {
        // Only a table too wide for its size is refused, and then nothing changes.
        Require(error.find("would need about") != std::string::npos, "refused for its size");
        Require(table.Serialize() == "kept\tunless\nread\there", "a refused table changes nothing");
        return 0;
    }
    CheckShape(table);
    const std::string bytes = table.Serialize();
    if (table.ColumnCount() == 0) {
        // Only nothing at all, or an empty first line, names no column.
        Require(bytes.empty(), "a table without columns writes nothing");
        Require(input.empty() || input[0] == '\n' || input.compare(0, 2, "\r\n") == 0,
                "only an empty first line gives no columns");
        return 0;
    }
    Require(bytes == input, "a table is written back byte for byte");

    // An added row is a full line of its own; a last line without a line end gets one.
    const std::string end = HeaderLineEnd(input);
    const std::string added = input + (input.back() == '\n' ? "" : end) +
                              std::string(static_cast<std::size_t>(table.ColumnCount() - 1), '\t') +
                              end;
    table.AddRow();
    CheckShape(table);
    Require(table.Serialize() == added, "AddRow writes a full row with the header's line end");
    CTxtTable again;
    again.Parse(added);
    CheckShape(again);
    Require(again.RowCount() == table.RowCount(), "an added row reads back as one row");

    // The last cell of the last line given text, even where that line was short.
    CTxtTable edited;
    edited.Parse(input);
    const std::int32_t row = edited.DataRowCount() - 1;
    const std::int32_t column = edited.ColumnCount() - 1;
    if (row >= 0) {
        Require(edited.SetCell(row, column, "x"), "every cell inside the grid can be set");
        again.Parse(edited.Serialize());
        CheckShape(again);
        Require(again.RowCount() == edited.RowCount() && again.Text(row, column) == "x",
                "a cell set reads back in its place");
    }
    return 0;
}
