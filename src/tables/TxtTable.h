// A tab-delimited game table held in memory as a flat list of byte-string cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolmere {

class CTxtTable {
public:
    CTxtTable() = default;
    virtual ~CTxtTable() = default;

    // Destroys every cell; the table becomes empty.
    void Clear();
    // Replaces the whole contents with the file's; on failure the table keeps its old
    // contents and false is returned.
    bool Load(const std::string& path);
    // Replaces the contents with a table parsed from bytes already in memory.
    void Parse(const char* data, std::size_t size);
    // Writes every row, header first, safely replacing the file. False, with the old
    // file untouched, when the table has no cells or any byte could not be written.
    bool Save(const std::string& path) const;
    // The file's bytes as Save writes them.
    std::string Serialize() const;

    // Cell of data row d (table row d + 1), or null when it does not exist.
    std::string* Cell(std::int32_t d, std::int32_t c);
    const std::string* Cell(std::int32_t d, std::int32_t c) const;
    // Column name, or null when the table has no rows or c is out of range.
    const std::string* HeaderCell(std::int32_t c) const;
    // Appends one data row of empty cells; ends the program when memory runs out.
    void AddRow();

    std::int32_t RowCount() const { return rowCount_; }
    std::int32_t ColumnCount() const { return columnCount_; }
    std::int32_t CellCount() const { return static_cast<std::int32_t>(cells_.size()); }
    // Data rows: RowCount() - 1, never below 0.
    std::int32_t DataRowCount() const { return rowCount_ > 0 ? rowCount_ - 1 : 0; }

private:
    std::vector<std::string> cells_;
    std::int32_t rowCount_ = 0;
    std::int32_t columnCount_ = 0;
};

// Reads a cell as "%f" scanning would: leading blanks, sign, digits, point, exponent;
// trailing text is ignored. Returns false (and leaves `value` alone) when the text
// does not start with a number. Independent of the process locale.
bool ParseNumber(const std::string& text, double& value);

} // namespace tolmere
