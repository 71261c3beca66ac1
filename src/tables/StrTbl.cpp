// SPDX-License-Identifier: MIT
#include "tables/StrTbl.h"

#include "base/ByteOrder.h"
#include "base/Services.h"
#include "tables/BinFile.h"
#include "tables/SafeWriter.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace tolmere {
namespace {

std::uint32_t EntryBytes(const std::string& key, const std::string& text) {
    return static_cast<std::uint32_t>(key.size() + 1 + text.size() + 1);
}

struct SlotStrings {
    std::string_view key;
    std::string_view text;
    std::uint32_t bucket = 0; // as stored, whatever bytes it was made from
};

// The strings of one hash slot of a table whose header passed Check: empty, or why the
// game would read past the file's end or outside its strings to get them.
std::string ReadSlot(std::string_view bytes, std::uint32_t slot, SlotStrings& out) {
    const auto* file = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    const std::uint32_t areaStart = ReadLe32(file + 9);
    const unsigned char* s = file + CStrTbl::kHeaderSize + 2 * std::size_t{ReadLe16(file + 2)} +
                             slot * CStrTbl::kSlotSize;
    out.bucket = ReadLe32(s + 3);
    const std::uint32_t keyOffset = ReadLe32(s + 7);
    const std::uint32_t textOffset = ReadLe32(s + 11);
    const std::uint16_t textLength = ReadLe16(s + 15);
    if (keyOffset < areaStart || keyOffset >= size || textOffset < areaStart ||
        textOffset >= size || textLength == 0 || textLength > size - textOffset)
        return "points outside its strings";
    // Keys and texts are C strings; the game's key buffer holds kMaxKeySpan bytes.
    const std::size_t keySpan = std::min<std::size_t>(size - keyOffset, CStrTbl::kMaxKeySpan);
    const void* keyEnd = std::memchr(file + keyOffset, 0, keySpan);
    if (!keyEnd)
        return keySpan == CStrTbl::kMaxKeySpan ? "holds a key longer than the game reads"
                                               : "holds a key that runs to the end of the file";
    const void* textEnd = std::memchr(file + textOffset, 0, textLength);
    if (!textEnd)
        return "holds a text that does not end within its " + std::to_string(textLength) + " bytes";
    out.key =
        bytes.substr(keyOffset, static_cast<const unsigned char*>(keyEnd) - (file + keyOffset));
    out.text =
        bytes.substr(textOffset, static_cast<const unsigned char*>(textEnd) - (file + textOffset));
    return std::string();
}

} // namespace

void CStrTbl::Reset() {
    Changed();
    entries_.clear();
    stringBytes_ = 0;
    entryCount_ = 0;
    lastIndex_ = 0;
    slotsRead_ = 0;
    versionRead_ = 1;
    header_.fill(0);
    read_.reset();
}

bool CStrTbl::Read(const std::string& path, std::string* error) {
    std::string bytes;
    std::string why;
    if (!ReadWholeFile(path, bytes, why, kMaxFileBytes)) {
        if (error)
            *error = why;
        return false;
    }
    return Load(bytes, path, error);
}

std::string CStrTbl::Check(std::string_view bytes, std::vector<std::string>* warnings) {
    const auto* file = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (size < kHeaderSize)
        return "it is shorter than a string table's header (" + std::to_string(size) + " bytes)";
    const std::size_t n = ReadLe16(file + 2);
    const std::uint32_t slots = ReadLe32(file + 4);
    const std::uint32_t areaStart = ReadLe32(file + 9);
    const std::uint32_t probeLimit = ReadLe32(file + 13);
    const std::uint32_t fileEnd = ReadLe32(file + 17);
    if (fileEnd != size)
        return "its header gives its size as " + std::to_string(fileEnd) + " bytes; the file has " +
               std::to_string(size);
    if (slots < n || slots > kMaxEntries)
        return "its header gives " + std::to_string(n) + " entries in " + std::to_string(slots) +
               " hash slots";
    // A key's bucket is its hash modulo the slot count.
    if (slots == 0)
        return "its hash table has no slots";
    const std::uint64_t expectedStart = kHeaderSize + 2 * std::uint64_t{n} + kSlotSize * slots;
    if (areaStart != expectedStart || areaStart > size)
        return "its strings start at " + std::to_string(areaStart) +
               " where its header's sizes put " + "them at " + std::to_string(expectedStart);

    // What the game reads is each entry's slot, by the number the element index gives
    // it; hash values and the rest of the table only steer lookups by key, and the game
    // takes them as they are. A mod tool may have hashed a key and then stored other
    // bytes for it; the entry is still there and the game still shows it.
    const unsigned char* elementIndex = file + kHeaderSize;
    std::vector<std::string> notes;
    std::size_t mismatches = 0;
    std::uint32_t longestRun = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t slot = ReadLe16(elementIndex + 2 * i);
        if (slot >= slots)
            return "entry " + std::to_string(i) + " names hash slot " + std::to_string(slot) +
                   " of " + std::to_string(slots);
        SlotStrings strings;
        const std::string problem = ReadSlot(bytes, slot, strings);
        if (!problem.empty())
            return "hash slot " + std::to_string(slot) + " " + problem;
        if (strings.bucket < slots)
            longestRun = std::max(longestRun, (slot + slots - strings.bucket) % slots);
        if (strings.bucket != KeyHash(strings.key) % slots && ++mismatches <= kMaxHashWarnings)
            notes.push_back("hash slot " + std::to_string(slot) +
                            " holds the hash of other bytes than its key \"" +
                            std::string(strings.key) + "\"");
    }
    if (mismatches > kMaxHashWarnings)
        notes.push_back(std::to_string(mismatches - kMaxHashWarnings) +
                        " more hash slots hold the hash of other bytes than their keys");

    // A lookup stops at a free slot or after the probe limit's number of slots. With no
    // free slot, a limit past the table's end would take a missing key round it again
    // and again.
    std::uint32_t used = 0;
    for (std::uint32_t slot = 0; slot < slots; ++slot)
        used += file[kHeaderSize + 2 * n + std::size_t{slot} * kSlotSize] != 0;
    if (used == slots && probeLimit > slots)
        return "its probe limit " + std::to_string(probeLimit) + " goes past its " +
               std::to_string(slots) + " hash slots, none of them free";
    if (n > 0 && probeLimit < longestRun + 1)
        notes.push_back("its probe limit " + std::to_string(probeLimit) +
                        " is shorter than its entries need (" + std::to_string(longestRun + 1) +
                        "); the game will not find some keys");
    // The game does not check it; tables written without one leave it 0.
    const std::uint16_t checkSum = ReadLe16(file);
    if (checkSum != 0 && CheckSum(file + areaStart, size - areaStart) != checkSum)
        notes.push_back("its check sum does not match its strings");
    if (warnings)
        *warnings = std::move(notes);
    return std::string();
}

bool CStrTbl::Parse(std::string_view bytes, std::string* error) {
    return Load(bytes, "string table", error);
}

bool CStrTbl::Load(std::string_view bytes, const std::string& name, std::string* error) {
    std::vector<std::string> warnings;
    const std::string problem = Check(bytes, &warnings);
    if (!problem.empty()) {
        if (error)
            *error = "damaged string table: " + problem;
        return false;
    }
    CStrTbl read;
    try {
        CAllocationMayFail mayFail;
        read.Fill(bytes);
    } catch (const std::bad_alloc&) {
        if (error)
            *error = "there is not enough memory to hold it";
        return false;
    }
    for (const std::string& warning : warnings)
        DiagLog(name + " read as the game reads it, but " + warning);
    *this = std::move(read);
    return true;
}

void CStrTbl::Fill(std::string_view bytes) {
    const auto* file = reinterpret_cast<const unsigned char*>(bytes.data());
    std::memcpy(header_.data(), file, kHeaderSize);
    const std::size_t elementCount = ReadLe16(&header_[2]);
    // The game's tables often leave a few slots free, and their version byte is 0 in
    // some and 1 in others; writing both back keeps an unchanged table unchanged.
    slotsRead_ = ReadLe32(&header_[4]);
    versionRead_ = header_[8];
    read_ = std::make_shared<const std::string>(bytes);

    // Entries in the game's numbering, which is also the order they are written in.
    for (std::size_t i = 0; i < elementCount; ++i) {
        SlotStrings strings;
        ReadSlot(bytes, ReadLe16(file + kHeaderSize + 2 * i), strings);
        StrEntry& e =
            Add(std::string(strings.key), std::string(strings.text), static_cast<std::int64_t>(i));
        e.hashValue = strings.bucket;
    }
    lastIndex_ = elementCount > 0 ? static_cast<std::uint32_t>(elementCount - 1) : 0;
}

bool CStrTbl::AsRead() const {
    if (!read_)
        return false;
    const auto* file = reinterpret_cast<const unsigned char*>(read_->data());
    if (entries_.size() != ReadLe16(file + 2) || slotsRead_ != ReadLe32(file + 4) ||
        versionRead_ != file[8])
        return false;
    std::uint32_t i = 0;
    for (const StrEntry& e : entries_) {
        SlotStrings strings;
        ReadSlot(*read_, ReadLe16(file + kHeaderSize + 2 * std::size_t{i}), strings);
        if (e.indexNumber != i || e.key != strings.key || e.text != strings.text)
            return false;
        ++i;
    }
    return true;
}

bool CStrTbl::Serialize(std::string& out) {
    entries_.sort(
        [](const StrEntry& a, const StrEntry& b) { return a.indexNumber < b.indexNumber; });
    Changed(); // which of two equal keys comes first may have changed
    const std::size_t n = entries_.size();
    if (n == 0 || n > kMaxEntries)
        return false;
    // Whatever the file's hash values, check sum and layout, an unchanged table is the
    // file it was read from.
    if (AsRead()) {
        out = *read_;
        return true;
    }
    std::uint64_t stringBytes = 0;
    for (const StrEntry& e : entries_) {
        if (e.text.size() > kMaxTextLength || e.key.size() + 1 > kMaxKeySpan)
            return false;
        stringBytes += e.key.size() + 1 + e.text.size() + 1;
    }
    // At most 65,535 slots either way, which 16-bit slot numbers can all name.
    const std::size_t size = std::max<std::size_t>(n, slotsRead_);
    const std::uint64_t areaStart = kHeaderSize + 2 * n + kSlotSize * size;
    if (areaStart + stringBytes > UINT32_MAX)
        return false;

    out.assign(static_cast<std::size_t>(areaStart + stringBytes), '\0');
    auto* base = reinterpret_cast<unsigned char*>(out.data());
    unsigned char* elementIndex = base + kHeaderSize;
    unsigned char* slots = elementIndex + 2 * n;
    unsigned char* area = slots + kSlotSize * size;
    // Linear probing at a load factor near 1 makes long runs of used slots; each slot
    // remembers where the next free one may be, so a run is crossed in one jump.
    std::vector<std::size_t> nextFree(size);
    for (std::size_t slot = 0; slot < size; ++slot)
        nextFree[slot] = slot;
    auto findFree = [&nextFree](std::size_t slot) {
        std::size_t root = slot;
        while (nextFree[root] != root)
            root = nextFree[root];
        while (nextFree[slot] != root)
            slot = std::exchange(nextFree[slot], root);
        return root;
    };

    std::uint32_t probeLimit = 0;
    std::size_t fill = 0;
    std::size_t i = 0;
    for (StrEntry& e : entries_) {
        const std::uint32_t bucket = KeyHash(e.key) % static_cast<std::uint32_t>(size);
        e.hashValue = bucket;
        const std::size_t slot = findFree(bucket);
        const auto moves = static_cast<std::uint32_t>((slot + size - bucket) % size);
        probeLimit = std::max(probeLimit, moves);
        nextFree[slot] = (slot + 1) % size;

        unsigned char* s = slots + slot * kSlotSize;
        s[0] = 1;
        WriteLe16(s + 1, static_cast<std::uint16_t>(i));
        WriteLe32(s + 3, bucket);
        WriteLe32(s + 7, static_cast<std::uint32_t>(areaStart + fill));
        std::memcpy(area + fill, e.key.data(), e.key.size());
        fill += e.key.size() + 1;
        WriteLe32(s + 11, static_cast<std::uint32_t>(areaStart + fill));
        std::memcpy(area + fill, e.text.data(), e.text.size());
        fill += e.text.size() + 1;
        WriteLe16(s + 15, static_cast<std::uint16_t>(e.text.size() + 1));
        WriteLe16(elementIndex + 2 * i, static_cast<std::uint16_t>(slot));
        ++i;
    }

    unsigned char* h = header_.data();
    WriteLe16(h + 0, CheckSum(area, static_cast<std::size_t>(stringBytes)));
    WriteLe16(h + 2, static_cast<std::uint16_t>(n));
    WriteLe32(h + 4, static_cast<std::uint32_t>(size));
    h[8] = versionRead_;
    WriteLe32(h + 9, static_cast<std::uint32_t>(areaStart));
    WriteLe32(h + 13, probeLimit + 1);
    WriteLe32(h + 17, static_cast<std::uint32_t>(areaStart + stringBytes));
    std::memcpy(base, h, kHeaderSize);
    return true;
}

bool CStrTbl::Write(const std::string& path, std::string* error) {
    std::string bytes;
    if (!Serialize(bytes)) {
        if (error)
            *error = entries_.empty() ? "the string table has no entries"
                                      : "it has more entries or longer texts than a string table "
                                        "holds";
        return false;
    }
    return WriteFileSafely(path, bytes, error);
}

bool CStrTbl::SetHashLayout(std::uint32_t slots, unsigned char version) {
    if (slots > kMaxEntries)
        return false;
    slotsRead_ = slots;
    versionRead_ = version;
    return true;
}

StrEntry* CStrTbl::Find(const std::string& key) {
    if (!index_.built) {
        index_.map.clear();
        index_.map.reserve(entries_.size());
        for (StrEntry& e : entries_)
            index_.map.emplace(e.key, &e); // the first of equal keys stays
        index_.built = true;
    }
    const auto found = index_.map.find(key);
    return found == index_.map.end() ? nullptr : found->second;
}

const StrEntry* CStrTbl::Find(const std::string& key) const {
    return const_cast<CStrTbl*>(this)->Find(key);
}

StrEntry* CStrTbl::FindExact(const std::string& key, std::uint32_t indexNumber) {
    for (StrEntry& e : entries_)
        if (e.indexNumber == indexNumber && e.key == key)
            return &e;
    return nullptr;
}

std::size_t CStrTbl::PositionOf(const StrEntry* entry) const {
    std::size_t position = 0;
    for (const StrEntry& e : entries_) {
        if (&e == entry)
            break;
        ++position;
    }
    return position;
}

StrEntry& CStrTbl::Insert(std::size_t position, const std::string& key, const std::string& text,
                          std::uint32_t indexNumber) {
    StrEntry& added = Add(key, text, indexNumber);
    auto at = entries_.begin();
    std::advance(at, std::min(position, entries_.size() - 1));
    entries_.splice(at, entries_, std::prev(entries_.end()));
    Changed();
    return added;
}

void CStrTbl::SetText(StrEntry& entry, const std::string& text) {
    stringBytes_ = stringBytes_ - EntryBytes(entry.key, entry.text) + EntryBytes(entry.key, text);
    entry.text = text;
}

void CStrTbl::Set(const std::string& key, const std::string& text) {
    if (StrEntry* entry = Find(key))
        SetText(*entry, text);
    else
        Add(key, text);
}

StrEntry& CStrTbl::Add(const std::string& key, const std::string& text, std::int64_t indexNumber) {
    StrEntry entry;
    if (indexNumber == kNewIndex) {
        entry.indexNumber = ++lastIndex_;
    } else {
        entry.indexNumber = static_cast<std::uint32_t>(indexNumber);
    }
    entry.key = key;
    entry.text = text;
    entries_.push_back(std::move(entry));
    Changed();
    ++entryCount_;
    stringBytes_ += EntryBytes(key, text);
    return entries_.back();
}

void CStrTbl::Remove(StrEntry* entry) {
    if (!entry)
        return;
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (&*it == entry) {
            stringBytes_ -= EntryBytes(it->key, it->text);
            --entryCount_;
            entries_.erase(it);
            Changed();
            return;
        }
    }
}

std::uint32_t CStrTbl::KeyHash(std::string_view key) {
    std::uint32_t h = 0;
    for (unsigned char byte : key) {
        h = h * 16 + byte;
        if (h & 0xF0000000u)
            h = (h & 0x0FFFFFFFu) ^ ((h >> 24) & 0xF0u);
    }
    return h;
}

std::uint16_t CStrTbl::CheckSum(const unsigned char* data, std::size_t size) {
    static const auto table = [] {
        std::array<std::uint16_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t crc = i << 8;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
            t[i] = static_cast<std::uint16_t>(crc);
        }
        return t;
    }();
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i)
        crc = static_cast<std::uint16_t>(crc << 8) ^ table[((crc >> 8) ^ data[i]) & 0xFF];
    return crc;
}

} // namespace tolmere
