// A tab-delimited game table held in memory: the file's bytes, and each cell as a
// slice of them until a caller gives it new text.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

class CTxtTable {
public:
    CTxtTable() = default;
    virtual ~CTxtTable() = default;

    // Destroys every cell; the table becomes empty.
    void Clear();
    // Replaces the whole contents with the file's; on failure the table keeps its old
    // contents and false is returned. Files of 2 GiB or more are not tables.
    bool Load(const std::string& path);
    // Replaces the contents with a table parsed from these bytes.
    void Parse(std::string bytes);
    void Parse(const char* data, std::size_t size) { Parse(std::string(data, size)); }
    // Writes every row, header first, safely replacing the file. False, with the old
    // file untouched, when the table has no cells or any byte could not be written.
    bool Save(const std::string& path) const;
    // The file's bytes as Save writes them.
    std::string Serialize() const;

    // Cell of data row d (table row d + 1), or nothing when it does not exist. The
    // view lasts until this cell is set again or the table is reloaded or cleared.
    std::optional<std::string_view> Cell(std::int32_t d, std::int32_t c) const;
    // The same, reading a cell that does not exist as empty.
    std::string_view Text(std::int32_t d, std::int32_t c) const;
    // Gives the cell new text; false (nothing changed) when it does not exist.
    bool SetCell(std::int32_t d, std::int32_t c, std::string_view text);
    // Column name, or nothing when the table has no rows or c is out of range.
    std::optional<std::string_view> HeaderCell(std::int32_t c) const;
    // Appends one data row of empty cells; ends the program when memory runs out.
    void AddRow();

    std::int32_t RowCount() const { return rowCount_; }
    std::int32_t ColumnCount() const { return columnCount_; }
    std::int32_t CellCount() const { return static_cast<std::int32_t>(cells_.size()); }
    // Data rows: RowCount() - 1, never below 0.
    std::int32_t DataRowCount() const { return rowCount_ > 0 ? rowCount_ - 1 : 0; }

private:
    // A slice of bytes_, or, with kEdited set in length, the index of its own text
    // in edits_. Eight bytes a cell keep huge tables small and quick to load.
    struct CellRef {
        std::uint32_t offset;
        std::uint32_t length;
    };
    static constexpr std::uint32_t kEdited = 0x80000000u;

    std::string_view View(const CellRef& cell) const;
    std::size_t Index(std::int32_t tableRow, std::int32_t c) const;

    std::string bytes_;
    std::vector<CellRef> cells_;
    std::deque<std::string> edits_; // a deque: growing it never moves a text
    std::int32_t rowCount_ = 0;
    std::int32_t columnCount_ = 0;
};

// Reads a cell as "%f" scanning would: leading blanks, sign, digits, point, exponent;
// trailing text is ignored. Returns false (and leaves `value` alone) when the text
// does not start with a number. Independent of the process locale.
bool ParseNumber(std::string_view text, double& value);

} // namespace tolmere
