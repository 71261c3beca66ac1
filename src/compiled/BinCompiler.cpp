// SPDX-License-Identifier: MIT
#include "compiled/BinCompiler.h"

#include "base/ByteOrder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <strings.h>

namespace tolmere {
namespace {

// The game's colour names, in the order of its colour list.
constexpr const char* kColours[] = {"whit", "lgry", "dgry", "blac", "lblu", "dblu", "cblu",
                                    "lred", "dred", "cred", "lgrn", "dgrn", "cgrn", "lyel",
                                    "dyel", "lgld", "dgld", "lpur", "dpur", "oran", "bwht"};

// The game compiles its numbers with the C library's atoi: blanks, a sign, digits, and
// whatever follows ignored. The game's library (Microsoft's) documents that atoi gives
// INT_MAX or INT_MIN for a number beyond int, so a cell such as "99999999999" is
// INT_MAX before being cut to the field's width.
std::int32_t Atoi(std::string_view cell, bool* beyond = nullptr) {
    std::size_t i = 0;
    while (i < cell.size() && (cell[i] == ' ' || (cell[i] >= '\t' && cell[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < cell.size() && (cell[i] == '-' || cell[i] == '+'))
        negative = cell[i++] == '-';
    std::int64_t value = 0;
    for (; i < cell.size() && cell[i] >= '0' && cell[i] <= '9'; ++i) {
        value = value * 10 + (cell[i] - '0');
        if (value > std::int64_t{INT_MAX} + 1)
            break;
    }
    if (beyond)
        *beyond = value > std::int64_t{INT_MAX} + (negative ? 1 : 0);
    if (negative)
        return value > std::int64_t{INT_MAX} ? INT_MIN : static_cast<std::int32_t>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<std::int32_t>(value);
}

// Stores the low `size` bytes: the game's fields of one and two bytes take the number
// cut to their width.
void Put(unsigned char* at, std::uint8_t size, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (size == 1)
        at[0] = static_cast<unsigned char>(bits);
    else if (size == 2)
        WriteLe16(at, static_cast<std::uint16_t>(bits));
    else
        WriteLe32(at, bits);
}

std::int32_t Colour(std::string_view cell) {
    for (std::size_t i = 0; i < std::size(kColours); ++i)
        if (cell.size() == 4 && ::strncasecmp(cell.data(), kColours[i], 4) == 0)
            return static_cast<std::int32_t>(i);
    return 0xFF;
}

std::int32_t Param(std::string_view cell, const CBinLinks& links) {
    if (cell.empty() || cell[0] == '-' || (cell[0] >= '0' && cell[0] <= '9'))
        return Atoi(cell);
    for (BinLink link : {BinLink::kSkills, BinLink::kMonType, BinLink::kStates}) {
        const std::int32_t row = links.Index(link).Find(cell);
        if (row >= 0)
            return row;
    }
    return 0;
}

std::int32_t FindColumn(const CTxtTable& table, const std::string& name) {
    for (std::int32_t c = 0; c < table.ColumnCount(); ++c) {
        const std::string_view header = *table.HeaderCell(c);
        if (header.size() == name.size() &&
            ::strncasecmp(header.data(), name.data(), name.size()) == 0)
            return c;
    }
    return -1;
}

// A cell is taken as its bytes: double quotes around one are part of it, as public
// descriptions of the game's tab-delimited tables keep quote characters in values (the
// stock tables hold quotes only in comment columns, which no field reads).
void Convert(const BinField& field, std::string_view cell, std::int32_t record,
             const CBinLinks& links, const CLinkIndex* self, unsigned char* at) {
    switch (field.conv) {
    case BinConv::kNumber:
        Put(at, field.size, Atoi(cell));
        break;
    case BinConv::kText:
        // The game keeps the first size - 1 bytes of a longer text: its compile copies
        // the cell with a bounded copy and the field always ends with NUL.
        std::memcpy(at, cell.data(), std::min<std::size_t>(cell.size(), field.size - 1u));
        break;
    case BinConv::kCode:
        // A code of more than four characters keeps its first four, as the game's item
        // codes are four bytes wide and its compile copies only those.
        for (std::size_t i = 0; i < 4; ++i)
            at[i] = static_cast<unsigned char>(i < cell.size() ? cell[i] : ' ');
        break;
    case BinConv::kFlag:
        if (Atoi(cell) != 0)
            WriteLe32(at, ReadLe32(at) | (1u << field.bit));
        break;
    case BinConv::kLink: {
        const CLinkIndex& index = self ? *self : links.Index(field.link);
        Put(at, field.size, index.Find(cell));
        break;
    }
    case BinConv::kParam:
        Put(at, field.size, Param(cell, links));
        break;
    case BinConv::kColour:
        Put(at, field.size, Colour(cell));
        break;
    case BinConv::kString:
        WriteLe16(at, links.Strings().Index(cell));
        break;
    case BinConv::kOwnIndex:
        Put(at, field.size, record);
        break;
    }
}

std::string Quoted(std::string_view bytes) {
    return "\"" + std::string(bytes.substr(0, bytes.find('\0'))) + "\"";
}

// The field's value in a record, as a number or as text.
std::string Value(const BinField& field, const unsigned char* at) {
    switch (field.conv) {
    case BinConv::kText:
    case BinConv::kCode:
        return Quoted(std::string_view(reinterpret_cast<const char*>(at), field.size));
    case BinConv::kFlag:
        return std::to_string((ReadLe32(at) >> field.bit) & 1u);
    default:
        break;
    }
    if (field.size == 1)
        return std::to_string(at[0]);
    if (field.size == 2)
        return std::to_string(ReadLe16(at));
    return std::to_string(static_cast<std::int32_t>(ReadLe32(at)));
}

bool FieldDiffers(const BinField& field, const unsigned char* a, const unsigned char* b) {
    if (field.conv == BinConv::kFlag)
        return ((ReadLe32(a) ^ ReadLe32(b)) >> field.bit & 1u) != 0;
    return std::memcmp(a, b, field.size) != 0;
}

std::string Hex(std::size_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value > 0);
    return "0x" + text;
}

} // namespace

std::string CBinLinks::Add(BinLink link, const CTxtTable& table) {
    const std::string error = indexes_[Slot(link)].Build(table, BinLinkColumn(link));
    loaded_[Slot(link)] = error.empty();
    return error.empty() ? error : std::string(BinLinkFile(link)) + ": " + error;
}

std::string CompileBin(const CTxtTable& table, const BinLayout& layout, const CBinLinks& links,
                       std::string& out) {
    out.clear();
    const std::string binName = layout.table + ".bin";
    for (BinLink link : layout.Links())
        if (!links.Has(link))
            return std::string(BinLinkFile(link)) + " is needed to compile " + binName;
    if (layout.NeedsStrings() && !links.Strings().Any())
        return "the string tables are needed to compile " + binName;
    CLinkIndex selfIndex;
    const CLinkIndex* self = nullptr;
    if (layout.Self() != BinLink::kNone) {
        const std::string error = selfIndex.Build(table, BinLinkColumn(layout.Self()));
        if (!error.empty())
            return layout.table + ".txt: " + error;
        self = &selfIndex;
    }

    // A column the table lacks leaves its field 0, as in the game's compile, which
    // fills only the fields whose column it finds.
    std::vector<std::int32_t> columns;
    for (const BinField& field : layout.fields)
        columns.push_back(FindColumn(table, field.column));
    std::int32_t records = 0;
    for (std::int32_t row = 0; row < table.DataRowCount(); ++row)
        records += IsBinRecord(table, row);
    // The game numbers records with two bytes (0xFFFF standing for none), so a table of
    // more has no compiled form; a file of blank lines would otherwise ask for gigabytes.
    if (records > kMaxBinRecords)
        return layout.table + ".txt has " + std::to_string(records) + " records; " + binName +
               " holds at most " + std::to_string(kMaxBinRecords);

    out.assign(4 + std::size_t{layout.recordSize} * static_cast<std::size_t>(records), '\0');
    auto* bytes = reinterpret_cast<unsigned char*>(out.data());
    WriteLe32(bytes, static_cast<std::uint32_t>(records));
    std::int32_t record = 0;
    for (std::int32_t row = 0; row < table.DataRowCount(); ++row) {
        if (!IsBinRecord(table, row))
            continue;
        unsigned char* at = bytes + 4 + std::size_t{layout.recordSize} * record;
        for (std::size_t f = 0; f < layout.fields.size(); ++f) {
            const BinField& field = layout.fields[f];
            if (columns[f] < 0)
                continue;
            const bool linksSelf = field.conv == BinConv::kLink && field.link == layout.Self();
            Convert(field, table.Text(row, columns[f]), record, links, linksSelf ? self : nullptr,
                    at + field.offset);
        }
        ++record;
    }
    return std::string();
}

std::vector<BinCellNote> BinCellNotes(const CTxtTable& table, const BinLayout& layout,
                                      const CBinLinks& links) {
    std::vector<BinCellNote> notes;
    for (const BinField& field : layout.fields) {
        const std::int32_t c = FindColumn(table, field.column);
        const bool linked =
            field.conv == BinConv::kLink && field.link != layout.Self() && links.Has(field.link);
        for (std::int32_t row = 0; c >= 0 && row < table.DataRowCount(); ++row) {
            const std::string_view cell = table.Text(row, c);
            if (!IsBinRecord(table, row) || cell.empty())
                continue;
            std::string what;
            bool beyond = false;
            const std::int64_t value = Atoi(cell, &beyond);
            // A number field of one or two bytes takes it signed or unsigned alike.
            const bool narrow = field.conv == BinConv::kNumber && field.size < 4;
            const std::int64_t low = narrow ? -(std::int64_t{1} << (8 * field.size - 1)) : INT_MIN;
            const std::int64_t high = narrow ? (std::int64_t{1} << (8 * field.size)) - 1 : INT_MAX;
            if (field.conv == BinConv::kText && cell.size() >= field.size)
                what = "is longer than " + std::to_string(field.size - 1) +
                       " bytes; the game keeps the first " + std::to_string(field.size - 1);
            else if (field.conv == BinConv::kCode && cell.size() > 4)
                what = "is longer than four characters; the game keeps the first four";
            else if (field.conv == BinConv::kNumber && (beyond || value < low || value > high))
                what = "is beyond what the field holds (" + std::to_string(low) + " to " +
                       std::to_string(high) + "); the game stores it cut to the field";
            else if (linked && cell[0] != '*' && links.Index(field.link).Find(cell) < 0)
                what = std::string("names no row of ") + BinLinkFile(field.link) +
                       "; the game stores -1";
            if (!what.empty())
                notes.push_back({row, c, field.column, what});
        }
    }
    std::sort(notes.begin(), notes.end(), [](const BinCellNote& a, const BinCellNote& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    return notes;
}

std::string BinDifference::Describe() const {
    if (!found)
        return "the files are the same";
    if (record < 0)
        return field + ": expected " + expected + ", got " + got;
    return "record " + std::to_string(record) + " (" + field + "): expected " + expected +
           ", got " + got;
}

BinDifference FirstBinDifference(const BinLayout& layout, std::string_view expected,
                                 std::string_view got) {
    BinDifference d;
    const auto count = [&layout](std::string_view bytes) -> std::int64_t {
        if (bytes.size() < 4)
            return -1;
        const std::uint32_t n = ReadLe32(reinterpret_cast<const unsigned char*>(bytes.data()));
        return bytes.size() == 4 + std::uint64_t{n} * layout.recordSize ? std::int64_t{n} : -1;
    };
    const std::int64_t expectedCount = count(expected);
    const std::int64_t gotCount = count(got);
    if (expectedCount < 0 || gotCount < 0 || expectedCount != gotCount) {
        d.found = expected != got;
        d.field = "records of " + std::to_string(layout.recordSize) + " bytes";
        const auto describe = [](std::int64_t n, std::string_view bytes) {
            return n < 0 ? std::to_string(bytes.size()) + " bytes that are no whole count"
                         : std::to_string(n);
        };
        d.expected = describe(expectedCount, expected);
        d.got = describe(gotCount, got);
        if (d.found)
            return d;
    }
    // Fields in the order they lie, and the bytes no field writes between them.
    std::vector<const BinField*> fields;
    std::vector<bool> written(layout.recordSize, false);
    for (const BinField& field : layout.fields) {
        fields.push_back(&field);
        std::fill_n(written.begin() + field.offset, field.size, true);
    }
    std::stable_sort(fields.begin(), fields.end(),
                     [](const BinField* a, const BinField* b) { return a->offset < b->offset; });
    const auto* e = reinterpret_cast<const unsigned char*>(expected.data()) + 4;
    const auto* g = reinterpret_cast<const unsigned char*>(got.data()) + 4;
    for (std::int64_t r = 0; r < expectedCount; ++r) {
        const std::size_t base = static_cast<std::size_t>(r) * layout.recordSize;
        if (std::memcmp(e + base, g + base, layout.recordSize) == 0)
            continue;
        d.found = true;
        d.record = r;
        for (const BinField* field : fields)
            if (FieldDiffers(*field, e + base + field->offset, g + base + field->offset)) {
                d.field = field->column;
                d.expected = Value(*field, e + base + field->offset);
                d.got = Value(*field, g + base + field->offset);
                return d;
            }
        for (std::size_t i = 0; i < layout.recordSize; ++i)
            if (!written[i] && e[base + i] != g[base + i]) {
                d.field = "byte " + Hex(i) + ", which no column writes";
                d.expected = std::to_string(e[base + i]);
                d.got = std::to_string(g[base + i]);
                return d;
            }
        // Left: bits of a flags word that no column sets.
        const std::size_t i = static_cast<std::size_t>(
            std::mismatch(e + base, e + base + layout.recordSize, g + base).first - (e + base));
        d.field = "bits of byte " + Hex(i) + " that no column sets";
        d.expected = std::to_string(e[base + i]);
        d.got = std::to_string(g[base + i]);
        return d;
    }
    return d;
}

} // namespace tolmere
