#include "tables/TxtTable.h"

#include "tables/BinFile.h"
#include "tables/ProgramExit.h"
#include "tables/SafeWriter.h"
#include "tables/Services.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <new>

namespace tolmere {
namespace {

constexpr std::uint64_t kMaxTableBytes = 0x7FFFFFFFu; // lengths keep their top bit free

// TAB (9) and LF (10), the only bytes that end a cell, in one comparison.
inline bool EndsCell(unsigned char byte) {
    return static_cast<unsigned char>(byte - '\t') <= 1;
}

} // namespace

void CTxtTable::Clear() {
    std::string().swap(bytes_);
    std::vector<CellRef>().swap(cells_);
    std::vector<RowShape>().swap(rows_);
    std::deque<std::string>().swap(edits_);
    rowCount_ = 0;
    columnCount_ = 0;
}

bool CTxtTable::Load(const std::string& path, std::string* error) {
    std::string bytes;
    std::string why;
    if (!ReadWholeFile(path, bytes, why, kMaxTableBytes)) {
        if (error)
            *error = why;
        return false;
    }
    return TryParse(std::move(bytes), error);
}

bool CTxtTable::TryParse(std::string bytes, std::string* error) {
    CTxtTable parsed;
    try {
        CAllocationMayFail mayFail;
        if (!parsed.ParseInto(std::move(bytes), error))
            return false;
    } catch (const std::bad_alloc&) {
        if (error)
            *error = "there is not enough memory to hold it";
        return false;
    }
    *this = std::move(parsed);
    return true;
}

void CTxtTable::Parse(std::string bytes) {
    if (!TryParse(std::move(bytes)))
        Clear();
}

bool CTxtTable::ParseInto(std::string bytes, std::string* error) {
    if (bytes.size() >= kMaxTableBytes) {
        if (error)
            *error = "it is too large (2 GB or more)";
        return false;
    }
    bytes_ = std::move(bytes);
    const auto* base = reinterpret_cast<const unsigned char*>(bytes_.data());
    const unsigned char* end = base + bytes_.size();
    const unsigned char* pos = base;
    std::vector<CellRef> cells;
    std::vector<RowShape> rows;
    // Every cell read ends at a TAB, an LF or the end of the data, so their count
    // bounds the cells well enough to allocate once; only padding can add to it.
    const auto stops = static_cast<std::size_t>(std::count_if(base, end, EndsCell));
    cells.reserve(stops + 16);
    // A cell starting before lastStop ends at or before it, so scanning it needs no
    // test for the end of the data; one starting after it runs to the end.
    const unsigned char* lastStop = end;
    while (lastStop > base && !EndsCell(lastStop[-1]))
        --lastStop;

    // Cuts the cells of one row out of [at, end), at most `limit` of them, and moves
    // `at` past what ended the row. It captures three pointers by value and nothing
    // else: this loop is where loading a huge table spends its time.
    auto cutRow = [base, end, lastStop](const unsigned char*& at, std::size_t limit,
                                        std::vector<CellRef>& out) {
        const unsigned char* p = at;
        std::uint32_t count = 0;
        for (;;) {
            const unsigned char* start = p;
            if (p < lastStop) {
                while (!EndsCell(*p))
                    ++p;
            } else {
                p = end;
            }
            ++count;
            if (p < end && *p == '\t' && count < limit) {
                out.emplace_back(static_cast<std::uint32_t>(start - base),
                                 static_cast<std::uint32_t>(p - start));
                ++p;
                continue;
            }
            LineEnd ending = LineEnd::kNone;
            const unsigned char* stop = p;
            if (p < end && *p == '\t') {
                ++p;
                ending = LineEnd::kTab;
            } else if (p < end) {
                ++p;
                ending = LineEnd::kLf;
                // A CR directly before the LF belongs to the line end; one cannot
                // precede the cell's first byte, which follows a TAB or a line end.
                if (stop > start && stop[-1] == '\r') {
                    --stop;
                    ending = LineEnd::kCrLf;
                }
            }
            out.emplace_back(static_cast<std::uint32_t>(start - base),
                             static_cast<std::uint32_t>(stop - start));
            at = p;
            return RowShape{count, ending, true};
        }
    };

    if (pos == end) {
        Clear();
        return true;
    }
    rows.push_back(cutRow(pos, SIZE_MAX, cells));
    if (cells.size() == 1 && cells[0].length == 0 && rows[0].end != LineEnd::kNone) {
        // An empty first line names no column: there is no row shape to cut data into.
        Clear();
        return true;
    }
    const std::size_t columns = cells.size();
    // Short lines are padded to the header's width, so a few bytes can ask for a great
    // deal of memory; the most the rows below can take is known before any is cut.
    const auto lineFeeds = static_cast<std::uint64_t>(std::count(pos, end, '\n'));
    const std::uint64_t rowsAtMost = lineFeeds + 2 + stops / columns;
    const std::uint64_t needed =
        (rowsAtMost * columns) * sizeof(CellRef) + rowsAtMost * sizeof(RowShape);
    const std::uint64_t allowed = kMaxMemoryPerFileByte * bytes_.size() + (1u << 20);
    if (needed > allowed) {
        if (error)
            *error = "its " + std::to_string(columns) + " columns and " +
                     std::to_string(lineFeeds + 1) + " lines would need about " +
                     std::to_string(needed >> 20) + " MB of memory, more than a table of " +
                     std::to_string(bytes_.size() / 1024) + " KB should";
        Clear();
        return false;
    }
    columnCount_ = static_cast<std::int32_t>(columns);
    rows.reserve(stops / columns + 2); // a guess that holds for tables of full rows

    // A row starts wherever bytes are left after a line end, and always after a line
    // that went on past the header's width, even if only its TAB was left.
    bool more = rows[0].end != LineEnd::kNone && pos < end;
    while (more) {
        const RowShape row = cutRow(pos, columns, cells);
        if (row.cells < columns)
            cells.resize(cells.size() + columns - row.cells, CellRef{0, 0}); // short line
        rows.push_back(row);
        more = row.end == LineEnd::kTab || pos < end;
    }
    if (rows.back().end == LineEnd::kNone && rows.back().cells < columns)
        DiagLog("Possible corrupt file"); // a short last line: perhaps cut off
    if (rows.size() > static_cast<std::size_t>(INT32_MAX)) {
        if (error)
            *error = "it has more rows than a table can hold";
        Clear();
        return false;
    }
    cells_.swap(cells);
    rows_.swap(rows);
    rowCount_ = static_cast<std::int32_t>(rows_.size());
    return true;
}

std::string_view CTxtTable::View(const CellRef& cell) const {
    if (cell.length & kEdited)
        return edits_[cell.offset];
    return std::string_view(bytes_.data() + cell.offset, cell.length);
}

std::size_t CTxtTable::Index(std::int32_t tableRow, std::int32_t c) const {
    return static_cast<std::size_t>(tableRow) * static_cast<std::size_t>(columnCount_) +
           static_cast<std::size_t>(c);
}

template <typename Out> void CTxtTable::WriteRows(Out&& out) const {
    static constexpr std::string_view kEnds[] = {"", "\n", "\r\n", "\t"};
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    // Rows still as read are handed on as runs of the loaded bytes, others a line at a
    // time: one call a cell would cost more than the copy into `line`.
    std::string line;
    std::size_t runStart = 0;
    std::size_t runEnd = 0;
    auto flushRun = [&] {
        if (runEnd > runStart)
            out(bytes_.data() + runStart, runEnd - runStart);
        runStart = runEnd = 0;
    };
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const RowShape& row = rows_[r];
        const CellRef* cells = cells_.data() + r * columns;
        const std::string_view ending = kEnds[static_cast<std::size_t>(row.end)];
        if (row.asRead) {
            const CellRef& last = cells[row.cells - 1];
            const std::size_t start = cells[0].offset;
            if (start != runEnd)
                flushRun();
            if (runEnd == runStart)
                runStart = start;
            runEnd = last.offset + last.length + ending.size();
            continue;
        }
        flushRun();
        // The cells the line had, and any padding cell given text since.
        std::size_t written = row.cells;
        for (std::size_t c = columns; c > written; --c) {
            if (!View(cells[c - 1]).empty()) {
                written = c;
                break;
            }
        }
        line.clear();
        for (std::size_t c = 0; c < written; ++c) {
            if (c > 0)
                line += '\t';
            line += View(cells[c]);
        }
        line += ending;
        out(line.data(), line.size());
    }
    flushRun();
}

std::string CTxtTable::Serialize() const {
    std::string out;
    out.reserve(bytes_.size());
    WriteRows([&out](const char* data, std::size_t size) { out.append(data, size); });
    return out;
}

bool CTxtTable::Save(const std::string& path, std::string* error) const {
    if (cells_.empty() || columnCount_ <= 0) {
        if (error)
            *error = "the table is empty";
        return false;
    }
    CSafeWriter writer(path);
    bool written = writer.Begin();
    if (written) {
        WriteRows([&writer](const char* data, std::size_t size) { writer.Write(data, size); });
        written = writer.Commit();
    }
    if (!written && error)
        *error = writer.Error();
    return written;
}

std::optional<std::string_view> CTxtTable::Cell(std::int32_t d, std::int32_t c) const {
    if (d < 0 || c < 0 || c >= columnCount_ || d >= rowCount_ - 1)
        return std::nullopt;
    return View(cells_[Index(d + 1, c)]);
}

std::string_view CTxtTable::Text(std::int32_t d, std::int32_t c) const {
    return Cell(d, c).value_or(std::string_view());
}

bool CTxtTable::SetCell(std::int32_t d, std::int32_t c, std::string_view text) {
    if (d < 0 || c < 0 || c >= columnCount_ || d >= rowCount_ - 1)
        return false;
    rows_[static_cast<std::size_t>(d) + 1].asRead = false;
    CellRef& cell = cells_[Index(d + 1, c)];
    if (cell.length & kEdited) {
        edits_[cell.offset].assign(text.data(), text.size());
        return true;
    }
    edits_.emplace_back(text);
    cell = {static_cast<std::uint32_t>(edits_.size() - 1), kEdited};
    return true;
}

std::optional<std::string_view> CTxtTable::HeaderCell(std::int32_t c) const {
    if (rowCount_ <= 0 || c < 0 || c >= columnCount_)
        return std::nullopt;
    return View(cells_[Index(0, c)]);
}

void CTxtTable::AddRow() {
    if (columnCount_ <= 0)
        return;
    const LineEnd ending = rows_[0].end == LineEnd::kNone ? LineEnd::kCrLf : rows_[0].end;
    try {
        cells_.resize(Index(rowCount_ + 1, 0), CellRef{0, 0});
        rows_.push_back({static_cast<std::uint32_t>(columnCount_), ending, false});
    } catch (const std::bad_alloc&) {
        ExitProgram(kExitTableCannotGrow);
    }
    // The new row starts a line of its own, so the one before it must end its line.
    RowShape& before = rows_[rows_.size() - 2];
    if (before.end == LineEnd::kNone) {
        before.end = ending;
        before.asRead = false;
    }
    ++rowCount_;
}

bool ParseNumber(std::string_view text, double& value) {
    // The process locale may use a decimal comma (a GUI toolkit sets it from the
    // desktop); the game's files always use a point.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string terminated(text);
    const char* begin = terminated.c_str();
    char* stop = nullptr;
    double parsed = strtod_l(begin, &stop, cLocale);
    if (stop == begin)
        return false;
    value = parsed;
    return true;
}

} // namespace tolmere
