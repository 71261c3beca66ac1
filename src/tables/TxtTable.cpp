#include "tables/TxtTable.h"

#include "tables/BinFile.h"
#include "tables/ProgramExit.h"
#include "tables/SafeWriter.h"
#include "tables/Services.h"

#include <algorithm>
#include <cstdlib>
#include <locale.h>
#include <new>

namespace tolmere {
namespace {

constexpr unsigned char kLineFeed = 10;
constexpr std::uint64_t kMaxTableBytes = 0x7FFFFFFFu; // lengths keep their top bit free

// A byte of 13 or less ends a cell; every other byte, 128 to 255 included, is text.
inline bool EndsCell(unsigned char byte) {
    return byte <= 13;
}

} // namespace

void CTxtTable::Clear() {
    std::string().swap(bytes_);
    std::vector<CellRef>().swap(cells_);
    std::deque<std::string>().swap(edits_);
    rowCount_ = 0;
    columnCount_ = 0;
}

bool CTxtTable::Load(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.size() >= kMaxTableBytes)
        return false;
    Parse(std::move(bytes));
    return true;
}

void CTxtTable::Parse(std::string bytes) {
    Clear();
    if (bytes.size() >= kMaxTableBytes)
        FatalError("MemAllocError");
    bytes_ = std::move(bytes);
    const auto* base = reinterpret_cast<const unsigned char*>(bytes_.data());
    const unsigned char* end = base + bytes_.size();
    const unsigned char* pos = base;
    std::vector<CellRef> cells;
    // Every cell but the padding ends at a terminator byte, so their count bounds the
    // cells well enough to allocate once.
    cells.reserve(static_cast<std::size_t>(std::count_if(base, end, EndsCell)) + 16);

    // Cuts one cell out of [pos, end): the bytes up to the first terminator, which is
    // dropped. At the end of the data the cell simply ends there. Kept free of
    // captures: this loop is where loading a huge table spends its time.
    auto cutCell = [base, end](const unsigned char* p, std::vector<CellRef>& out) {
        const unsigned char* start = p;
        while (p < end && !EndsCell(*p))
            ++p;
        out.push_back(
            {static_cast<std::uint32_t>(start - base), static_cast<std::uint32_t>(p - start)});
        return p < end ? p + 1 : p;
    };

    // Header row: only a line feed met where a cell would start ends it.
    bool headerEnded = false;
    while (pos < end) {
        if (*pos == kLineFeed) {
            ++pos;
            headerEnded = true;
            break;
        }
        pos = cutCell(pos, cells);
    }
    columnCount_ = static_cast<std::int32_t>(cells.size());
    if (columnCount_ == 0) {
        // Nothing names a column (an empty file, or one starting with a line feed):
        // there is no row shape to cut data into.
        Clear();
        return;
    }

    // Data rows. The last byte never starts a cell unless it is text: a terminator
    // there cannot begin anything, while a text byte is a last cell whose line end
    // is missing.
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    if (headerEnded && pos < end) {
        const unsigned char* last = end - 1;
        while (pos < last || (pos == last && !EndsCell(*pos))) {
            pos = cutCell(pos, cells);
            if (pos < end && *pos == kLineFeed) {
                ++pos;
                if (std::size_t remainder = cells.size() % columns)
                    cells.resize(cells.size() + columns - remainder, CellRef{0, 0}); // short line
            }
        }
    }
    cells_.swap(cells);
    if (cells_.size() % columns != 0) {
        // The last line lost its line end; pad it so that its cells stay a row.
        DiagLog("Possible corrupt file");
        cells_.resize(cells_.size() + columns - cells_.size() % columns);
    }
    if (cells_.size() / columns > static_cast<std::size_t>(INT32_MAX)) {
        Clear();
        FatalError("MemAllocError");
    }
    rowCount_ = static_cast<std::int32_t>(cells_.size() / columns);
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

std::string CTxtTable::Serialize() const {
    std::size_t total = 0;
    for (const CellRef& cell : cells_)
        total += View(cell).size() + 2;
    std::string out;
    out.reserve(total);
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        out += View(cells_[i]);
        if (i % columns == columns - 1)
            out += "\r\n";
        else
            out += '\t';
    }
    return out;
}

bool CTxtTable::Save(const std::string& path) const {
    if (cells_.empty() || columnCount_ <= 0)
        return false;
    CSafeWriter writer(path);
    if (!writer.Begin())
        return false;
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        std::string_view text = View(cells_[i]);
        writer.Write(text.data(), text.size());
        if (i % columns == columns - 1)
            writer.Write("\r\n", 2);
        else
            writer.Write("\t", 1);
    }
    return writer.Commit();
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
    try {
        cells_.resize(Index(rowCount_ + 1, 0), CellRef{0, 0});
    } catch (const std::bad_alloc&) {
        ExitProgram(kExitTableCannotGrow);
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
