// SPDX-License-Identifier: MIT
// The game's string table (.tbl): key and text entries of one language.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tolmere {

struct StrEntry {
    std::uint32_t hashValue = 0;   // bucket number: the file's, or set when the table is written
    std::uint32_t indexNumber = 0; // orders the entries when the table is written
    std::string key;
    std::string text;
};

class CStrTbl {
public:
    static constexpr std::size_t kHeaderSize = 21;
    static constexpr std::size_t kSlotSize = 17;
    static constexpr std::uint32_t kMaxEntries = 65535;
    static constexpr std::size_t kMaxTextLength = 65534;
    static constexpr std::size_t kMaxKeySpan = 16383;
    static constexpr std::uint64_t kMaxFileBytes = 64ull << 20; // far above any game table

    using Entries = std::list<StrEntry>;

    CStrTbl() = default;
    virtual ~CStrTbl() = default;
    CStrTbl(const CStrTbl&) = default;
    CStrTbl& operator=(const CStrTbl&) = default;
    CStrTbl(CStrTbl&&) = default;
    CStrTbl& operator=(CStrTbl&&) = default;

    void Reset();
    // Replaces the entries with the file's, in the game's numbering (the element
    // index's order), as the game loads them. False, with the table unchanged and
    // `error` (when given) saying why, only when the file cannot be read or reading it
    // would go outside it or loop: sizes in its header that do not match the file, a
    // slot number or a string outside the table, a key or text without its end, a
    // full hash table whose probe limit goes round it. Hash values made for other
    // bytes than their keys, a wrong check sum or a short probe limit are what the
    // game loads too: the table is read, with a line in the diagnostic log for each.
    // The file's hash table size and version byte are kept for writing it again.
    bool Read(const std::string& path, std::string* error = nullptr);
    bool Parse(std::string_view bytes, std::string* error = nullptr);
    // Empty when the game can read the bytes as a string table, otherwise what is
    // wrong; `warnings` (when given) gets what is amiss but readable.
    static std::string Check(std::string_view bytes, std::vector<std::string>* warnings = nullptr);
    // Sorts the entries by index number and writes the game's layout, safely replacing
    // the file. A table read and not changed since is written as the very bytes read.
    // Otherwise the hash table keeps the size and the version byte of the file read,
    // growing to one slot an entry when the entries outnumber its slots; a table never
    // read has one slot an entry and version 1. False, with nothing written, for an
    // empty table, more than 65,535 entries, a text over 65,534 bytes, a key over
    // 16,382 bytes, or a failed write.
    bool Write(const std::string& path, std::string* error = nullptr);
    // The file's bytes as Write would write them; false under the same limits.
    bool Serialize(std::string& out);

    // The first entry of `key`, by the key's own bytes: the file's hash values play no
    // part, so an entry whose hash was made for other bytes is found all the same.
    StrEntry* Find(const std::string& key);
    const StrEntry* Find(const std::string& key) const;
    // The entry of `key` with this index number, among entries that share a key.
    StrEntry* FindExact(const std::string& key, std::uint32_t indexNumber);
    // Where the entry stands in the list lookups walk.
    std::size_t PositionOf(const StrEntry* entry) const;
    // Puts an entry back at a place in that list (the end when the list is shorter).
    StrEntry& Insert(std::size_t position, const std::string& key, const std::string& text,
                     std::uint32_t indexNumber);
    void SetText(StrEntry& entry, const std::string& text);
    void Set(const std::string& key, const std::string& text);
    // Appends an entry; kNewIndex takes last index number + 1.
    static constexpr std::int64_t kNewIndex = -1;
    StrEntry& Add(const std::string& key, const std::string& text,
                  std::int64_t indexNumber = kNewIndex);
    void Remove(StrEntry* entry);

    std::uint32_t EntryCount() const { return entryCount_; }
    std::uint32_t StringBytes() const { return stringBytes_; }
    std::uint32_t LastIndexNumber() const { return lastIndex_; }
    const std::array<unsigned char, kHeaderSize>& Header() const { return header_; }
    // The hash table size and version byte Write keeps: the file's, or 0 (one slot an
    // entry) and 1 for a table never read.
    std::uint32_t HashSlots() const { return slotsRead_; }
    unsigned char Version() const { return versionRead_; }
    // Sets them as a file read would; false (nothing changed) for more slots than
    // slot numbers can name.
    bool SetHashLayout(std::uint32_t slots, unsigned char version);
    const Entries& List() const { return entries_; }

    static std::uint32_t KeyHash(std::string_view key);
    // Whether the entries, in written order, and the hash layout are still the file's:
    // Write then gives back the bytes read, hash values and all.
    bool AsRead() const;
    static std::uint16_t CheckSum(const unsigned char* data, std::size_t size);

private:
    // At most this many log lines name a key whose hash value was made for other bytes.
    static constexpr std::size_t kMaxHashWarnings = 20;

    // Parse, naming the file in the diagnostic log.
    bool Load(std::string_view bytes, const std::string& name, std::string* error);
    // Adds the entries of bytes that passed Check to this empty table.
    void Fill(std::string_view bytes);

    // The first entry of each key in list order, over the entries' own key strings
    // (list nodes never move). Names of hundreds of items are looked up at once in
    // tables of thousands of entries. It points into the entries it was built for, so
    // a copied or moved table starts without one.
    struct LookupIndex {
        std::unordered_map<std::string_view, StrEntry*> map;
        bool built = false;
        LookupIndex() = default;
        LookupIndex(const LookupIndex&) {}
        LookupIndex& operator=(const LookupIndex&) {
            map.clear();
            built = false;
            return *this;
        }
    };

    // Drops the lookup index; the next Find builds it again.
    void Changed() { index_.built = false; }

    Entries entries_;
    mutable LookupIndex index_;
    std::uint32_t stringBytes_ = 0;
    std::uint32_t entryCount_ = 0;
    std::uint32_t lastIndex_ = 0;
    std::uint32_t slotsRead_ = 0; // hash table size of the file read, 0 for a new table
    unsigned char versionRead_ = 1;
    std::array<unsigned char, kHeaderSize> header_{};
    std::shared_ptr<const std::string> read_; // the file's bytes, shared by copies
};

} // namespace tolmere
