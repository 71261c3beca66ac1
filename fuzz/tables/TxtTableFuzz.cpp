// Arbitrary bytes as a tab table: the parser must always produce a well-formed grid,
// and writing that grid out and reading it back must give the same cells.
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
        for (unsigned char byte : *name)
            Require(byte > 13, "a header cell holds no byte of 13 or less");
    }
    for (std::int32_t d = 0; d < dataRows; ++d) {
        for (std::int32_t c = 0; c < columns; ++c) {
            auto cell = table.Cell(d, c);
            Require(cell.has_value(), "Cell(d, c) exists inside the grid");
            for (unsigned char byte : *cell)
                Require(byte > 13, "a cell holds no byte of 13 or less");
        }
    }
    Require(table.Cell(dataRows, 0) == std::nullopt, "Cell(DataRowCount(), 0) is null");
    Require(table.Cell(0, columns) == std::nullopt, "Cell(0, ColumnCount()) is null");
    Require(table.Cell(-1, 0) == std::nullopt, "Cell(-1, 0) is null");
    Require(table.Cell(0, -1) == std::nullopt, "Cell(0, -1) is null");
    Require(table.HeaderCell(columns) == std::nullopt, "HeaderCell(ColumnCount()) is null");
    Require(table.HeaderCell(-1) == std::nullopt, "HeaderCell(-1) is null");
}

void CheckSameCells(const CTxtTable& a, const CTxtTable& b) {
    Require(a.ColumnCount() == b.ColumnCount(), "round trip keeps ColumnCount()");
    Require(a.RowCount() == b.RowCount(), "round trip keeps RowCount()");
    for (std::int32_t c = 0; c < a.ColumnCount(); ++c)
        Require(*a.HeaderCell(c) == *b.HeaderCell(c), "round trip keeps every header cell");
    for (std::int32_t d = 0; d < a.DataRowCount(); ++d)
        for (std::int32_t c = 0; c < a.ColumnCount(); ++c)
            Require(*a.Cell(d, c) == *b.Cell(d, c), "round trip keeps every cell");
}

} // namespace
} // namespace tolmere::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    CTxtTable table;
    table.Parse(reinterpret_cast<const char*>(data), size);
    CheckShape(table);

    const std::string bytes = table.Serialize();
    CTxtTable again;
    again.Parse(bytes.data(), bytes.size());
    CheckShape(again);
    CheckSameCells(table, again);
    Require(again.Serialize() == bytes, "a written table is written again byte for byte");
    return 0;
}
