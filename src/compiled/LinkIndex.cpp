// SPDX-License-Identifier: MIT
#include "compiled/LinkIndex.h"

#include "base/ByteOrder.h"
#include "tables/StrTbl.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>
#include <vector>

namespace tolmere {
namespace {

void Lower(std::string_view text, std::string& out) {
    out.assign(text.begin(), text.end());
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

} // namespace

bool IsBinRecord(const CTxtTable& table, std::int32_t row) {
    return table.Text(row, 0) != "Expansion";
}

std::string CLinkIndex::Build(const CTxtTable& table, const std::string& column) {
    rows_.clear();
    std::int32_t c = 0;
    while (c < table.ColumnCount() &&
           !(table.HeaderCell(c)->size() == column.size() &&
             ::strncasecmp(table.HeaderCell(c)->data(), column.data(), column.size()) == 0))
        ++c;
    if (c == table.ColumnCount())
        return "it has no column " + column;
    rows_.reserve(static_cast<std::size_t>(table.DataRowCount()));
    std::int32_t record = 0;
    std::string key;
    for (std::int32_t row = 0; row < table.DataRowCount(); ++row) {
        if (!IsBinRecord(table, row))
            continue;
        Lower(table.Text(row, c), key);
        // A name given twice links to its first row. The game's own compile builds its
        // name lookup a row at a time and keeps the first entry of a name; the stock
        // tables give every linked name once, so they cannot show it either way.
        rows_.emplace(key, record++);
    }
    return std::string();
}

std::int32_t CLinkIndex::Find(std::string_view name) const {
    Lower(name, lowered_);
    const auto it = rows_.find(lowered_);
    return it == rows_.end() ? -1 : it->second;
}

std::string CTblKeys::Parse(std::string bytes) {
    const std::string problem = CStrTbl::Check(bytes);
    if (!problem.empty())
        return problem;
    bytes_ = std::make_shared<const std::string>(std::move(bytes));
    found_.clear();
    // Check has made sure every slot and string lies inside the file.
    const auto* file = reinterpret_cast<const unsigned char*>(bytes_->data());
    const std::uint32_t entries = ReadLe16(file + 2);
    const std::uint32_t slots = ReadLe32(file + 4);
    const std::uint32_t reach = std::min(ReadLe32(file + 13), slots - 1);
    const unsigned char* table = file + CStrTbl::kHeaderSize + 2 * std::size_t{entries};
    const auto used = [&](std::uint32_t slot) {
        return table[std::size_t{slot} * CStrTbl::kSlotSize] != 0;
    };
    // How many used slots end at each slot: a lookup stops at the first free one.
    std::vector<std::uint32_t> run(slots, slots);
    std::uint32_t free = 0;
    while (free < slots && used(free))
        ++free;
    for (std::uint32_t i = 1, length = 0; free < slots && i <= slots; ++i) {
        const std::uint32_t slot = (free + i) % slots;
        length = used(slot) ? length + 1 : 0;
        run[slot] = length;
    }
    // Where the lookup of each key stops: the first slot holding it on the probe from
    // its hash's slot, within the probe limit and before a free slot.
    for (std::uint32_t slot = 0; slot < slots; ++slot) {
        if (!used(slot))
            continue;
        const unsigned char* at = table + std::size_t{slot} * CStrTbl::kSlotSize;
        const std::string_view key(bytes_->data() + ReadLe32(at + 7));
        const std::uint32_t bucket = CStrTbl::KeyHash(key) % slots;
        const std::uint32_t steps = (slot + slots - bucket) % slots;
        if (steps > reach || run[slot] <= steps)
            continue;
        const auto [it, added] = found_.emplace(key, std::pair{steps, ReadLe16(at + 1)});
        if (!added && steps < it->second.first)
            it->second = {steps, ReadLe16(at + 1)};
    }
    return std::string();
}

std::optional<std::uint16_t> CTblKeys::Find(std::string_view key) const {
    const auto it = found_.find(key);
    return it == found_.end() ? std::nullopt : std::optional<std::uint16_t>(it->second.second);
}

std::uint16_t BinStrings::Index(std::string_view key) const {
    if (key.empty())
        return kMissingString;
    if (const auto i = patch.Find(key))
        return static_cast<std::uint16_t>(10000 + *i);
    if (const auto i = expansion.Find(key))
        return static_cast<std::uint16_t>(20000 + *i);
    if (const auto i = base.Find(key))
        return *i;
    return kMissingString;
}

} // namespace tolmere
