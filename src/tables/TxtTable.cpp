#include "tables/TxtTable.h"

#include "tables/BinFile.h"
#include "tables/ProgramExit.h"
#include "tables/SafeWriter.h"
#include "tables/Services.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <new>

namespace tolmere {
namespace {

constexpr unsigned char kLineFeed = 10;

// A byte of 13 or less ends a cell; every other byte, 128 to 255 included, is text.
inline bool EndsCell(unsigned char byte) {
    return byte <= 13;
}

// Cuts one cell out of [pos, end): the bytes up to the first terminator, which is
// dropped. At the end of the data the cell simply ends there.
inline std::string ReadCell(const unsigned char*& pos, const unsigned char* end) {
    const unsigned char* start = pos;
    while (pos < end && !EndsCell(*pos))
        ++pos;
    std::string cell(reinterpret_cast<const char*>(start), static_cast<std::size_t>(pos - start));
    if (pos < end)
        ++pos;
    return cell;
}

} // namespace

void CTxtTable::Clear() {
    std::vector<std::string>().swap(cells_);
    rowCount_ = 0;
    columnCount_ = 0;
}

bool CTxtTable::Load(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    Parse(bytes.data(), bytes.size());
    return true;
}

void CTxtTable::Parse(const char* data, std::size_t size) {
    Clear();
    const auto* pos = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = pos + size;

    // Header row: only a line feed met where a cell would start ends it.
    bool headerEnded = false;
    while (pos < end) {
        if (*pos == kLineFeed) {
            ++pos;
            headerEnded = true;
            break;
        }
        cells_.push_back(ReadCell(pos, end));
    }
    columnCount_ = static_cast<std::int32_t>(cells_.size());
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
    if (headerEnded) {
        cells_.reserve(columns * 8);
        while (pos < end && (pos + 1 < end || !EndsCell(*pos))) {
            if (cells_.size() == cells_.capacity())
                cells_.reserve(cells_.size() + columns * 8);
            cells_.push_back(ReadCell(pos, end));
            std::size_t remainder = cells_.size() % columns;
            bool lineEnds = pos < end && *pos == kLineFeed;
            if (lineEnds)
                ++pos;
            if (lineEnds && remainder != 0)
                cells_.resize(cells_.size() + columns - remainder); // a short line
        }
    }
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

std::string CTxtTable::Serialize() const {
    std::string out;
    std::size_t total = 0;
    for (const std::string& cell : cells_)
        total += cell.size() + 2;
    out.reserve(total);
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        out += cells_[i];
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
        writer.Write(cells_[i]);
        if (i % columns == columns - 1)
            writer.Write("\r\n", 2);
        else
            writer.Write("\t", 1);
    }
    return writer.Commit();
}

std::string* CTxtTable::Cell(std::int32_t d, std::int32_t c) {
    if (d < 0 || c < 0 || c >= columnCount_ || d >= rowCount_ - 1)
        return nullptr;
    return &cells_[static_cast<std::size_t>(d + 1) * static_cast<std::size_t>(columnCount_) +
                   static_cast<std::size_t>(c)];
}

const std::string* CTxtTable::Cell(std::int32_t d, std::int32_t c) const {
    return const_cast<CTxtTable*>(this)->Cell(d, c);
}

const std::string* CTxtTable::HeaderCell(std::int32_t c) const {
    if (rowCount_ <= 0 || c < 0 || c >= columnCount_)
        return nullptr;
    return &cells_[static_cast<std::size_t>(c)];
}

void CTxtTable::AddRow() {
    if (columnCount_ <= 0)
        return;
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    const std::size_t newCount = static_cast<std::size_t>(rowCount_ + 1) * columns;
    try {
        cells_.resize(newCount);
    } catch (const std::bad_alloc&) {
        ExitProgram(kExitTableCannotGrow);
    }
    ++rowCount_;
}

bool ParseNumber(const std::string& text, double& value) {
    // The process locale may use a decimal comma (a GUI toolkit sets it from the
    // desktop); the game's files always use a point.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const char* begin = text.c_str();
    char* stop = nullptr;
    double parsed = strtod_l(begin, &stop, cLocale);
    if (stop == begin)
        return false;
    value = parsed;
    return true;
}

} // namespace tolmere
