// SPDX-License-Identifier: MIT
// A tab-delimited game table held in memory: the file's bytes, and each cell as a
// slice of them until a caller gives it new text.
//
// How bytes become rows: a row ends at CR LF or at a lone LF, and TAB separates its
// cells. Every other byte is cell text and is kept as it is: a CR not directly
// followed by LF, NUL, other control bytes and bytes 128 to 255 alike. Each byte of a
// file is thus a separator or belongs to exactly one cell, and a table that is only
// loaded and saved stays the same file. A lone CR taken as a line end would need a
// third kind of line end to write back, and no table needs one: the game's tables
// end their lines with CR LF, and copies kept in git often with LF alone.
//
// The first row names the columns and fixes the width of every row. A shorter line
// is padded with empty cells; a longer one fills its row and its surplus cells start
// the next row. Each row remembers how many cells its line had and how it ended (CR
// LF, LF, nothing at the end of the file, or a TAB when the line went on into the
// next row). A row is written with the cells its line had, or up to its last cell
// with text where that lies further, and the same ending: a file that is only read
// comes back byte for byte, and an edit changes nothing outside its own row.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

class CTxtTable {
public:
    CTxtTable() = default;
    virtual ~CTxtTable() = default;
    CTxtTable(const CTxtTable&) = default;
    CTxtTable& operator=(const CTxtTable&) = default;
    CTxtTable(CTxtTable&&) = default;
    CTxtTable& operator=(CTxtTable&&) = default;

    // A table may take at most this many times its file's size in memory: a file that
    // would need more (a short file declaring a huge number of columns) is refused.
    static constexpr std::uint64_t kMaxMemoryPerFileByte = 64;

    // Destroys every cell; the table becomes empty.
    void Clear();
    // Replaces the whole contents with the file's; on failure the table keeps its old
    // contents, false is returned and `error` (when given) says why. Files of 2 GiB or
    // more are not tables, nor files that would need more memory than the bound above
    // or than the system has.
    bool Load(const std::string& path, std::string* error = nullptr);
    // Replaces the contents with a table parsed from these bytes, under the same rules
    // as Load. Bytes without a first row to name a column (none at all, or an empty
    // first line) give an empty table.
    bool TryParse(std::string bytes, std::string* error = nullptr);
    // TryParse for bytes known to fit; a refusal leaves the table empty.
    void Parse(std::string bytes);
    void Parse(const char* data, std::size_t size) { Parse(std::string(data, size)); }
    // Writes every row, header first, safely replacing the file. False, with the old
    // file untouched and `error` (when given) saying why, when the table has no cells
    // or any byte could not be written.
    bool Save(const std::string& path, std::string* error = nullptr) const;
    // The file's bytes as Save writes them.
    std::string Serialize() const;
    // Writes the same bytes to an open stream (standard output), a slice at a time
    // rather than as one copy of the file, and flushes it; false when a write fails.
    bool Write(std::FILE* out) const;

    // Cell of data row d (table row d + 1), or nothing when it does not exist. The
    // view lasts until this cell is set again or the table is reloaded or cleared.
    std::optional<std::string_view> Cell(std::int32_t d, std::int32_t c) const;
    // The same, reading a cell that does not exist as empty.
    std::string_view Text(std::int32_t d, std::int32_t c) const;
    // Gives the cell new text; false (nothing changed) when it does not exist. Data row
    // -1 is the header: a column renamed to repair a table's layout.
    bool SetCell(std::int32_t d, std::int32_t c, std::string_view text);
    // Column name, or nothing when the table has no rows or c is out of range.
    std::optional<std::string_view> HeaderCell(std::int32_t c) const;
    // Appends one data row of empty cells, written as a full row with the header's
    // line end (CR LF when the header has none); a last row that had no line end gets
    // that one first. Ends the program when memory runs out.
    void AddRow();
    // Takes back the rows AddRow appended after data row `dataRows - 1`, and what adding
    // them did to the line end of the row before: the table's bytes are then those it
    // had before they came. False, changing nothing, when a row there was read from a
    // file or `dataRows` is out of range.
    bool RemoveAddedRows(std::int32_t dataRows);

    // How many cells data row d's line had in the file (0 for a row AddRow made or one
    // that does not exist), and whether that line went on into the next row because it
    // had more cells than the header.
    std::int32_t CellsRead(std::int32_t d) const;
    bool LineGoesOn(std::int32_t d) const;

    std::int32_t RowCount() const { return rowCount_; }
    std::int32_t ColumnCount() const { return columnCount_; }
    std::int32_t CellCount() const { return rowCount_ * columnCount_; }
    // Data rows: RowCount() - 1, never below 0.
    std::int32_t DataRowCount() const { return rowCount_ > 0 ? rowCount_ - 1 : 0; }

private:
    // What follows a row's last cell in the file. kTab: the line went on, and its
    // next cells are the following row.
    enum class LineEnd : std::uint8_t { kNone, kLf, kCrLf, kTab };

    // Sixteen bytes a row, beside one byte a cell: the game's cells average under three
    // bytes, so a loaded table takes about half its file's size again, where an offset
    // and a length for every cell would take three times the file.
    struct RowShape {
        std::uint32_t start; // where its first cell begins in bytes_
        std::uint32_t cells; // cells the line had; the rest of the row is padding
        std::uint32_t ends;  // kInLengths, or where its cells' ends begin in wideEnds_
        LineEnd end;
        bool asRead; // its bytes are still one slice of bytes_, line end included
        bool edited; // some of its cells have their text in edits_
        bool added;  // made by AddRow: none of its cells is in bytes_
    };
    static constexpr std::uint32_t kInLengths = 0xFFFFFFFFu;
    // An added row has no bytes of its own, so its `start` keeps instead what adding it
    // changed in the row before, for RemoveAddedRows.
    static constexpr std::uint32_t kEndedRowBefore = 1;
    static constexpr std::uint32_t kRowBeforeWasAsRead = 2;

    std::string_view View(std::size_t tableRow, std::size_t c) const;
    // Where a cell the row read from the file begins, counted from the row's start,
    // and how long it is.
    std::size_t CellBegin(const RowShape& row, std::size_t tableRow, std::size_t c) const;
    std::size_t CellLength(const RowShape& row, std::size_t tableRow, std::size_t c) const;
    // Appends cells [from, to) of a row as they were read, each after a TAB but the
    // first of the row; cells the line did not have are empty.
    void AppendCells(std::string& line, std::size_t tableRow, std::size_t from,
                     std::size_t to) const;
    // Hands every byte Serialize returns to out(data, size), in order.
    template <typename Out> void WriteRows(Out&& out) const;
    // Parses into this table, which must be empty; false when the bound is broken.
    bool ParseInto(std::string bytes, std::string* error);

    std::string bytes_;
    std::vector<RowShape> rows_;
    // columnCount_ bytes a row read from the file: each cell's length; a cell starts
    // past the lengths and TABs of those before it. A row with a cell longer than 255
    // bytes, or with very many cells, keeps its cells' ends in wideEnds_ instead, and
    // its bytes here mean nothing. Eight bytes longer than the rows need, so that
    // summing lengths may read whole words.
    std::vector<std::uint8_t> lengths_;
    // For the rows that need them: where each of the row's cells ends, counted from
    // the row's start.
    std::vector<std::uint32_t> wideEnds_;
    // Texts given to cells, by tableRow * columnCount_ + c: in order, so that a row's
    // edits are met as its cells are written, and in nodes that never move, so that
    // more texts never move earlier ones.
    std::map<std::size_t, std::string> edits_;
    std::int32_t rowCount_ = 0;
    std::int32_t columnCount_ = 0;
};

// Reads a cell as "%f" scanning would: leading blanks, sign, digits, point, exponent;
// trailing text is ignored. Returns false (and leaves `value` alone) when the text
// does not start with a number. Independent of the process locale.
bool ParseNumber(std::string_view text, double& value);

} // namespace tolmere
