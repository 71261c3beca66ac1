// SPDX-License-Identifier: MIT
#include "tables/TxtTable.h"

#include "base/ProgramExit.h"
#include "base/Services.h"
#include "tables/BinFile.h"
#include "tables/SafeWriter.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tolmere {
namespace {

constexpr std::uint64_t kMaxTableBytes = 0x7FFFFFFFu; // offsets stay below 2 GiB
// The longest cell a length byte holds.
constexpr std::uint32_t kMaxByteLength = 255;
// Reading a cell sums the lengths before it; past this many cells a row keeps its
// ends instead, so that no lookup sums more. It also keeps the sums below from
// overflowing their 16-bit lanes: 128 words of bytes, two bytes a lane each time.
constexpr std::uint32_t kMaxLengthCells = 1024;
constexpr std::size_t kLengthSlack = 8;

// Where the TABs and the LFs are among 64 bytes: bit i for data[i].
struct Stops {
    std::uint64_t tabs;
    std::uint64_t lfs;
};

inline Stops FindStops(const unsigned char* data) {
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t tabs = 0;
    std::uint64_t lfs = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * k));
        tabs |= static_cast<std::uint64_t>(
                    static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, tab))))
                << (16 * k);
        lfs |= static_cast<std::uint64_t>(
                   static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf))))
               << (16 * k);
    }
    return {tabs, lfs};
#else
    Stops stops{0, 0};
    for (int i = 0; i < 64; ++i) {
        stops.tabs |= static_cast<std::uint64_t>(data[i] == '\t') << i;
        stops.lfs |= static_cast<std::uint64_t>(data[i] == '\n') << i;
    }
    return stops;
#endif
}

// The stops of the last, short block: past the end of the data there are none.
__attribute__((noinline)) Stops TailStops(const unsigned char* data, std::size_t size) {
    unsigned char tail[64] = {};
    std::memcpy(tail, data, size);
    return FindStops(tail);
}

// The stops of the 64 bytes from `at`.
inline Stops StopsAt(const unsigned char* data, std::size_t at, std::size_t size) {
    return size - at >= 64 ? FindStops(data + at) : TailStops(data + at, size - at);
}

inline int LowestBit(std::uint64_t bits) {
    return __builtin_ctzll(bits);
}

inline std::uint64_t BitCount(std::uint64_t bits) {
#if defined(__POPCNT__)
    return static_cast<std::uint64_t>(__builtin_popcountll(bits));
#else
    // Without the instruction the builtin is a library call; this is quicker.
    bits -= (bits >> 1) & 0x5555555555555555ull;
    bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return (bits * 0x0101010101010101ull) >> 56;
#endif
}

// Rows the lines in [from, size) make, each line cut into rows of `columns` cells: a
// line of t TABs fills t / columns + 1 rows, a last line without LF too, and nothing
// after a final LF makes a row. `lineFeeds` gets the number of LFs.
std::uint64_t CountRows(const unsigned char* data, std::size_t from, std::size_t size,
                        std::uint64_t columns, std::uint64_t& lineFeeds) {
    std::uint64_t rows = 0;
    std::uint64_t tabs = 0; // in the line so far
    lineFeeds = 0;
    for (std::size_t at = from; at < size; at += 64) {
        const Stops stops = StopsAt(data, at, size);
        std::uint64_t lineTabs = stops.tabs;
        for (std::uint64_t lfs = stops.lfs; lfs; lfs &= lfs - 1) {
            const std::uint64_t before = (lfs & (~lfs + 1)) - 1;
            tabs += BitCount(lineTabs & before);
            lineTabs &= ~before;
            rows += tabs < columns ? 1 : tabs / columns + 1;
            tabs = 0;
            ++lineFeeds;
        }
        tabs += BitCount(lineTabs);
    }
    if (size > from && data[size - 1] != '\n')
        rows += tabs / columns + 1;
    return rows;
}

// The sum of n cell lengths of a row, n at most kMaxLengthCells: eight at a time, two
// bytes added into each 16-bit lane of a word.
inline std::uint32_t SumLengths(const std::uint8_t* lengths, std::size_t n) {
    constexpr std::uint64_t kEven = 0x00FF00FF00FF00FFull;
    std::uint64_t lanes = 0;
    std::uint32_t tail = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, lengths + i, 8);
        lanes += (word & kEven) + ((word >> 8) & kEven);
    }
    if (i < n) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // The lengths array has slack behind it for this read; the bytes beyond n are
        // masked away.
        std::uint64_t word;
        std::memcpy(&word, lengths + i, 8);
        word &= ~std::uint64_t{0} >> (8 * (8 - (n - i)));
        lanes += (word & kEven) + ((word >> 8) & kEven);
#else
        for (; i < n; ++i)
            tail += lengths[i];
#endif
    }
    return tail + static_cast<std::uint32_t>((lanes & 0xFFFF) + ((lanes >> 16) & 0xFFFF) +
                                             ((lanes >> 32) & 0xFFFF) + (lanes >> 48));
}

// Appends where each of the `count` cells of the row in [rowStart, stop) ends, counted
// from rowStart, for a row whose lengths do not fit its length bytes. Rare enough to
// cut the row again, TAB by TAB, rather than slow down every other row.
void AppendEnds(const unsigned char* data, std::uint32_t rowStart, std::uint32_t stop,
                std::uint32_t count, std::vector<std::uint32_t>& ends) {
    const unsigned char* from = data + rowStart;
    for (std::uint32_t c = 1; c < count; ++c) {
        const auto* tab = static_cast<const unsigned char*>(
            std::memchr(from, '\t', static_cast<std::size_t>(data + stop - from)));
        ends.push_back(static_cast<std::uint32_t>(tab - data) - rowStart);
        from = tab + 1;
    }
    ends.push_back(stop - rowStart);
}

} // namespace

void CTxtTable::Clear() {
    std::string().swap(bytes_);
    std::vector<RowShape>().swap(rows_);
    std::vector<std::uint8_t>().swap(lengths_);
    std::vector<std::uint32_t>().swap(wideEnds_);
    std::map<std::size_t, std::string>().swap(edits_);
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
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    const auto* firstLf = static_cast<const unsigned char*>(std::memchr(data, '\n', size));
    const std::size_t headerEnd = firstLf ? static_cast<std::size_t>(firstLf - data) : size;
    // An empty first line names no column: there is no row shape to cut data into.
    // Its CR, if any, belongs to the line end.
    if (size == 0 || (firstLf && (headerEnd == 0 || (headerEnd == 1 && data[0] == '\r')))) {
        Clear();
        return true;
    }
    const std::size_t columns =
        static_cast<std::size_t>(std::count(data, data + headerEnd, '\t')) + 1;

    // Short lines are padded to the header's width, so a few bytes can ask for a great
    // deal of memory; counting the rows first tells exactly how much before any is cut.
    std::uint64_t lineFeeds = 0;
    const std::uint64_t rowCount =
        1 + (firstLf ? CountRows(data, headerEnd + 1, size, columns, lineFeeds) : 0);
    const std::uint64_t needed = rowCount * columns + kLengthSlack + rowCount * sizeof(RowShape);
    const std::uint64_t allowed = kMaxMemoryPerFileByte * size + (1u << 20);
    if (needed > allowed) {
        if (error)
            *error = "its " + std::to_string(columns) + " columns and " +
                     std::to_string(lineFeeds + 1) + " lines would need about " +
                     std::to_string(needed >> 20) + " MB of memory, more than a table of " +
                     std::to_string(size / 1024) + " KB should";
        Clear();
        return false;
    }
    if (rowCount * columns > static_cast<std::uint64_t>(INT32_MAX)) {
        if (error)
            *error = "it has more cells than a table can hold";
        Clear();
        return false;
    }

    std::vector<RowShape> rows;
    rows.reserve(rowCount);
    std::vector<std::uint8_t> lengths(rowCount * columns + kLengthSlack);
    std::vector<std::uint32_t> wideEnds;
    const auto limit = static_cast<std::uint32_t>(columns);

    // The row being cut: where it and its current cell start, and its cells so far.
    // Plain locals, so that they stay in registers: the loop runs once a cell.
    std::uint32_t rowStart = 0;
    std::uint32_t cellStart = 0;
    std::uint32_t count = 0;
    std::uint8_t* rowLengths = lengths.data();
    // Ends a row of `cells` cells whose last one ends at `stop`. A cell too long for its
    // byte kept only its length's low bits, so its row's bytes add up to less than the
    // row: checked once a row rather than once a cell, and only when the row is long
    // enough to hold such a cell.
    auto endRow = [&rows, &wideEnds, data](const std::uint8_t* cellLengths, std::uint32_t start,
                                           std::uint32_t stop, std::uint32_t cells,
                                           LineEnd ending) {
        assert(rows.size() < rows.capacity());
        RowShape row{start, cells, kInLengths, ending, true, false, false};
        if (stop - start > kMaxByteLength &&
            (cells > kMaxLengthCells ||
             SumLengths(cellLengths, cells) + cells - 1 != stop - start)) {
            row.ends = static_cast<std::uint32_t>(wideEnds.size());
            AppendEnds(data, start, stop, cells, wideEnds);
        }
        rows.push_back(row);
    };

    // A row starts wherever bytes are left after a line end, and always after a line
    // that went on past the header's width, even if only its TAB was left.
    bool open = true;
    for (std::size_t block = 0; block < size; block += 64) {
        const Stops stops = StopsAt(data, block, size);
        const auto base = static_cast<std::uint32_t>(block);
        std::uint64_t lfs = stops.lfs;
        std::uint64_t tabs = stops.tabs;
        for (;;) {
            // The TABs before the next LF end cells of the row being cut.
            const std::uint64_t beforeLf = lfs ? (lfs & (~lfs + 1)) - 1 : ~std::uint64_t{0};
            for (std::uint64_t cellTabs = tabs & beforeLf; cellTabs; cellTabs &= cellTabs - 1) {
                const std::uint32_t at = base + static_cast<std::uint32_t>(LowestBit(cellTabs));
                rowLengths[count] = static_cast<std::uint8_t>(at - cellStart);
                cellStart = at + 1;
                if (++count == limit) {
                    // The line goes on past the header's width.
                    endRow(rowLengths, rowStart, at, count, LineEnd::kTab);
                    rowLengths += columns;
                    count = 0;
                    rowStart = cellStart;
                    open = true;
                }
            }
            if (!lfs)
                break;
            tabs &= ~beforeLf;
            const std::uint32_t at = base + static_cast<std::uint32_t>(LowestBit(lfs));
            lfs &= lfs - 1;
            // A CR directly before the LF belongs to the line end; one cannot precede
            // the cell's first byte, which follows a TAB or a line end.
            std::uint32_t stop = at;
            LineEnd ending = LineEnd::kLf;
            if (at > cellStart && data[at - 1] == '\r') {
                --stop;
                ending = LineEnd::kCrLf;
            }
            rowLengths[count] = static_cast<std::uint8_t>(stop - cellStart);
            endRow(rowLengths, rowStart, stop, count + 1, ending);
            rowLengths += columns;
            count = 0;
            rowStart = cellStart = at + 1;
            open = at + 1 < size;
        }
    }
    if (open) {
        const auto stop = static_cast<std::uint32_t>(size);
        rowLengths[count] = static_cast<std::uint8_t>(stop - cellStart);
        endRow(rowLengths, rowStart, stop, count + 1, LineEnd::kNone);
    }
    assert(rows.size() == rowCount);
    if (rows.back().end == LineEnd::kNone && rows.back().cells < columns)
        DiagLog("Possible corrupt file"); // a short last line: perhaps cut off

    bytes_ = std::move(bytes);
    rows_.swap(rows);
    lengths_.swap(lengths);
    wideEnds_.swap(wideEnds);
    rowCount_ = static_cast<std::int32_t>(rowCount);
    columnCount_ = static_cast<std::int32_t>(columns);
    return true;
}

std::string_view CTxtTable::View(std::size_t tableRow, std::size_t c) const {
    const RowShape& row = rows_[tableRow];
    if (row.edited) {
        auto edit = edits_.find(tableRow * static_cast<std::size_t>(columnCount_) + c);
        if (edit != edits_.end())
            return edit->second;
    }
    if (c >= row.cells || row.added)
        return {};
    return std::string_view(bytes_.data() + row.start + CellBegin(row, tableRow, c),
                            CellLength(row, tableRow, c));
}

std::size_t CTxtTable::CellBegin(const RowShape& row, std::size_t tableRow, std::size_t c) const {
    if (row.ends != kInLengths)
        return c > 0 ? wideEnds_[row.ends + c - 1] + 1 : 0;
    // Each cell before this one and its TAB.
    return c + SumLengths(lengths_.data() + tableRow * static_cast<std::size_t>(columnCount_), c);
}

std::size_t CTxtTable::CellLength(const RowShape& row, std::size_t tableRow, std::size_t c) const {
    if (row.ends != kInLengths)
        return wideEnds_[row.ends + c] - (c > 0 ? wideEnds_[row.ends + c - 1] + 1 : 0);
    return lengths_[tableRow * static_cast<std::size_t>(columnCount_) + c];
}

void CTxtTable::AppendCells(std::string& line, std::size_t tableRow, std::size_t from,
                            std::size_t to) const {
    if (from >= to)
        return;
    const RowShape& row = rows_[tableRow];
    const std::size_t read = row.added ? 0 : row.cells;
    // Cells that lie side by side in the file go as one slice, their TABs with them.
    if (from < read) {
        const std::size_t last = std::min(to, read) - 1;
        const std::size_t begin = CellBegin(row, tableRow, from);
        const std::size_t end = CellBegin(row, tableRow, last) + CellLength(row, tableRow, last);
        if (from > 0)
            line += '\t';
        line.append(bytes_.data() + row.start + begin, end - begin);
        from = last + 1;
    }
    // The rest is padding, empty: only its TABs are written.
    line.append(to - from - (from == 0 ? 1 : 0), '\t');
}

template <typename Out> void CTxtTable::WriteRows(Out&& out) const {
    static constexpr std::string_view kEnds[] = {"", "\n", "\r\n", "\t"};
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    // Rows still as read are handed on as runs of the loaded bytes, others a line at a
    // time: one call a cell would cost more than the copy into `line`. A row read from
    // the file runs up to where the next one read starts, or to the end of the file.
    std::string line;
    std::size_t runStart = 0;
    std::size_t runEnd = 0;
    auto flushRun = [&] {
        if (runEnd > runStart)
            out(bytes_.data() + runStart, runEnd - runStart);
        runStart = runEnd = 0;
    };
    // Only rows not as read have edits, and rows are written in order: the edits are
    // met in the map's order, without a search.
    auto edit = edits_.begin();
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const RowShape& row = rows_[r];
        if (row.asRead) {
            const std::size_t end =
                r + 1 < rows_.size() && !rows_[r + 1].added ? rows_[r + 1].start : bytes_.size();
            if (row.start != runEnd)
                flushRun();
            if (runEnd == runStart)
                runStart = row.start;
            runEnd = end;
            continue;
        }
        flushRun();
        const std::size_t first = r * columns;
        while (edit != edits_.end() && edit->first < first)
            ++edit;
        auto rowEdits = edit;
        while (edit != edits_.end() && edit->first < first + columns)
            ++edit;
        // The cells the line had, and any padding cell given text since.
        std::size_t written = row.cells;
        for (auto e = rowEdits; e != edit; ++e)
            if (!e->second.empty())
                written = std::max(written, e->first - first + 1);
        line.clear();
        std::size_t c = 0;
        for (auto e = rowEdits; e != edit && e->first - first < written; ++e) {
            const std::size_t edited = e->first - first;
            AppendCells(line, r, c, edited);
            if (edited > 0)
                line += '\t';
            line += e->second;
            c = edited + 1;
        }
        AppendCells(line, r, c, written);
        line += kEnds[static_cast<std::size_t>(row.end)];
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

bool CTxtTable::Write(std::FILE* out) const {
    bool written = true;
    WriteRows([&](const char* data, std::size_t size) {
        written = written && std::fwrite(data, 1, size, out) == size;
    });
    return std::fflush(out) == 0 && written;
}

bool CTxtTable::Save(const std::string& path, std::string* error) const {
    if (rows_.empty() || columnCount_ <= 0) {
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
    return View(static_cast<std::size_t>(d) + 1, static_cast<std::size_t>(c));
}

std::string_view CTxtTable::Text(std::int32_t d, std::int32_t c) const {
    return Cell(d, c).value_or(std::string_view());
}

bool CTxtTable::SetCell(std::int32_t d, std::int32_t c, std::string_view text) {
    if (d < -1 || c < 0 || c >= columnCount_ || d >= rowCount_ - 1)
        return false;
    const std::size_t tableRow = static_cast<std::size_t>(d) + 1;
    edits_[tableRow * static_cast<std::size_t>(columnCount_) + static_cast<std::size_t>(c)].assign(
        text.data(), text.size());
    rows_[tableRow].asRead = false;
    rows_[tableRow].edited = true;
    return true;
}

std::optional<std::string_view> CTxtTable::HeaderCell(std::int32_t c) const {
    if (rowCount_ <= 0 || c < 0 || c >= columnCount_)
        return std::nullopt;
    return View(0, static_cast<std::size_t>(c));
}

void CTxtTable::AddRow() {
    if (columnCount_ <= 0)
        return;
    const LineEnd ending = rows_[0].end == LineEnd::kNone ? LineEnd::kCrLf : rows_[0].end;
    // Its cells take no memory until given text; only the count of cells is bounded.
    if ((static_cast<std::int64_t>(rowCount_) + 1) * columnCount_ > INT32_MAX)
        ExitProgram(kExitTableCannotGrow);
    try {
        rows_.push_back(
            {0, static_cast<std::uint32_t>(columnCount_), kInLengths, ending, false, false, true});
    } catch (const std::bad_alloc&) {
        ExitProgram(kExitTableCannotGrow);
    }
    // The new row starts a line of its own, so the one before it must end its line.
    RowShape& before = rows_[rows_.size() - 2];
    if (before.end == LineEnd::kNone) {
        rows_.back().start = kEndedRowBefore | (before.asRead ? kRowBeforeWasAsRead : 0);
        before.end = ending;
        before.asRead = false;
    }
    ++rowCount_;
}

bool CTxtTable::RemoveAddedRows(std::int32_t dataRows) {
    if (dataRows < 0 || dataRows > DataRowCount())
        return false;
    const std::size_t keep = static_cast<std::size_t>(dataRows) + 1;
    for (std::size_t r = keep; r < rows_.size(); ++r) {
        if (!rows_[r].added)
            return false;
    }
    if (keep == rows_.size())
        return true;
    const std::uint32_t changed = rows_[keep].start;
    if (changed & kEndedRowBefore) {
        RowShape& before = rows_[keep - 1];
        before.end = LineEnd::kNone;
        before.asRead = (changed & kRowBeforeWasAsRead) != 0;
    }
    edits_.erase(edits_.lower_bound(keep * static_cast<std::size_t>(columnCount_)), edits_.end());
    rows_.resize(keep);
    rowCount_ = static_cast<std::int32_t>(keep);
    return true;
}

std::int32_t CTxtTable::CellsRead(std::int32_t d) const {
    if (d < 0 || d >= DataRowCount())
        return 0;
    const RowShape& row = rows_[static_cast<std::size_t>(d) + 1];
    return row.added ? 0 : static_cast<std::int32_t>(row.cells);
}

bool CTxtTable::LineGoesOn(std::int32_t d) const {
    return d >= 0 && d < DataRowCount() &&
           rows_[static_cast<std::size_t>(d) + 1].end == LineEnd::kTab;
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
