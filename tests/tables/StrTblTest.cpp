// SPDX-License-Identifier: MIT
#include "tables/StrTbl.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace tolmere {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

std::string Serialized(CStrTbl& table) {
    std::string out;
    EXPECT_TRUE(table.Serialize(out));
    return out;
}

std::vector<std::pair<std::string, std::string>> Entries(const CStrTbl& table) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const StrEntry& e : table.List())
        entries.emplace_back(e.key, e.text);
    return entries;
}

// The string area: every key and text with its zero byte, in written order.
std::string StringArea(const std::string& file) {
    std::size_t n = static_cast<unsigned char>(file[2]) | static_cast<unsigned char>(file[3]) << 8;
    return file.substr(21 + 19 * n);
}

TEST(StrTbl, OneEntryIsWrittenInTheGameLayout) {
    CStrTbl table;
    table.Add("a", "b");
    const std::string area = Bytes({'a', 0, 'b', 0});
    const std::uint16_t crc =
        CStrTbl::CheckSum(reinterpret_cast<const unsigned char*>(area.data()), 4);
    const std::string expected =
        Bytes({crc & 0xFF, crc >> 8, 1, 0, 1, 0, 0, 0, 1, 40, 0, 0, 0, 1, 0, 0, 0, 44, 0, 0, 0}) +
        Bytes({0, 0}) +                                                // element index
        Bytes({1, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0, 42, 0, 0, 0, 2, 0}) + // hash slot
        area;
    EXPECT_EQ(Serialized(table), expected);
}

TEST(StrTbl, ATableReadKeepsItsHashTableSizeAndVersion) {
    // Two entries in five slots, version 0: "c" in its bucket 4, "h" (bucket 4 too)
    // wrapped round to slot 0.
    const std::string area("c\0x\0h\0y\0", 8);
    const std::uint16_t crc =
        CStrTbl::CheckSum(reinterpret_cast<const unsigned char*>(area.data()), area.size());
    const std::string file =
        Bytes({crc & 0xFF, crc >> 8, 2, 0, 5, 0, 0, 0, 0, 110, 0, 0, 0, 2, 0, 0, 0, 118, 0, 0, 0}) +
        Bytes({4, 0, 0, 0}) + Bytes({1, 1, 0, 4, 0, 0, 0, 114, 0, 0, 0, 116, 0, 0, 0, 2, 0}) +
        std::string(3 * 17, '\0') + Bytes({1, 0, 0, 4, 0, 0, 0, 110, 0, 0, 0, 112, 0, 0, 0, 2, 0}) +
        area;
    CStrTbl table;
    table.Parse(file);
    EXPECT_EQ(Serialized(table), file);

    // Changed, it is still a table that reads back as written, with slots for all.
    const struct {
        const char* added;
        const char* removed;
        int slots;
    } steps[] = {{"n1", nullptr, 5},
                 {"n2", nullptr, 5},
                 {"n3", nullptr, 5},
                 {"n4", nullptr, 6},
                 {nullptr, "c", 5}};
    for (const auto& step : steps) {
        if (step.added)
            table.Add(step.added, "t");
        if (step.removed)
            table.Remove(table.Find(step.removed));
        const std::string written = Serialized(table);
        EXPECT_EQ(written.substr(4, 5), Bytes({step.slots, 0, 0, 0, 0})); // size, version
        CStrTbl reread;
        reread.Parse(written);
        EXPECT_EQ(Serialized(reread), written);
        EXPECT_EQ(Entries(reread), Entries(table));
    }
}

TEST(StrTbl, CheckSumIsCrc16CcittFalse) {
    const std::string check = "123456789";
    EXPECT_EQ(CStrTbl::CheckSum(reinterpret_cast<const unsigned char*>(check.data()), 9), 0x29B1);
    EXPECT_EQ(CStrTbl::KeyHash("a"), 97u);
    // Long keys fold their top bits back in.
    EXPECT_LT(CStrTbl::KeyHash("a very long key that overflows the hash"), 0x10000000u);
}

TEST(StrTbl, RewritingKeepsTheStringOrderAndAppendsNewEntries) {
    CStrTbl table;
    for (const char* key : {"zeta", "alpha", "mid", "beta", "zeta"})
        table.Add(key, std::string("text of ") + key);
    const std::string original = Serialized(table);

    CStrTbl reread;
    reread.Parse(original);
    EXPECT_EQ(reread.EntryCount(), 5u);
    EXPECT_EQ(Serialized(reread), original);

    reread.Set("new", "added");
    reread.Set("mid", "changed");
    std::string expected;
    for (const char* s : {"zeta", "text of zeta", "alpha", "text of alpha", "mid", "changed",
                          "beta", "text of beta", "zeta", "text of zeta", "new", "added"})
        expected += std::string(s) + '\0';
    EXPECT_EQ(StringArea(Serialized(reread)), expected);
}

TEST(StrTbl, RemoveAndFind) {
    CStrTbl table;
    table.Add("Key", "one");
    table.Add("other", "two");
    EXPECT_EQ(table.Find("key"), nullptr);
    EXPECT_EQ(table.StringBytes(), 4u + 4 + 6 + 4);
    table.Remove(table.Find("Key"));
    EXPECT_EQ(table.EntryCount(), 1u);
    EXPECT_EQ(table.StringBytes(), 10u);
    EXPECT_EQ(StringArea(Serialized(table)), std::string("other\0two\0", 10));

    // Lookups follow every change, the first of equal keys wins, and a copy finds its
    // own entries.
    table.Add("dup", "first");
    table.Add("dup", "second");
    EXPECT_EQ(table.Find("dup")->text, "first");
    CStrTbl copy = table;
    table.Remove(table.Find("dup"));
    EXPECT_EQ(table.Find("dup")->text, "second");
    EXPECT_EQ(copy.Find("dup")->text, "first");
    EXPECT_EQ(copy.PositionOf(copy.Find("dup")), 1u);
    table.Insert(0, "dup", "third", 9);
    EXPECT_EQ(table.Find("dup")->text, "third");
}

TEST(StrTbl, TablesTheGameCannotReadAreRefusedAndNothingIsWritten) {
    TempDir dir;
    const std::string target = dir.File("out.tbl");
    WriteBytes(target, "keep me");

    CStrTbl empty;
    EXPECT_FALSE(empty.Write(target));

    CStrTbl longText;
    longText.Add("k", std::string(65535, 'x'));
    EXPECT_FALSE(longText.Write(target));
    longText.SetText(*longText.Find("k"), std::string(65534, 'x'));
    std::string longest;
    EXPECT_TRUE(longText.Serialize(longest));
    // Keys up to the game reader's limit read back; a longer one would not.
    CStrTbl longKey;
    longKey.Add(std::string(16382, 'k'), "fits");
    ASSERT_TRUE(longKey.Serialize(longest));
    EXPECT_TRUE(CStrTbl().Parse(longest));
    longKey.Add(std::string(16383, 'k'), "too long");
    EXPECT_FALSE(longKey.Write(target));

    CStrTbl tooMany;
    for (int i = 0; i < 65536; ++i)
        tooMany.Add("k" + std::to_string(i), "t");
    EXPECT_FALSE(tooMany.Write(target));
    EXPECT_EQ(ReadBytes(target), "keep me");

    tooMany.Remove(tooMany.Find("k65535"));
    EXPECT_TRUE(tooMany.Write(target));
    CStrTbl reread;
    ASSERT_TRUE(reread.Read(target));
    EXPECT_EQ(reread.EntryCount(), 65535u);
    EXPECT_EQ(reread.Find("k65534")->text, "t");
}

TEST(StrTbl, ADamagedTableIsRefusedWithItsReasonAndTheTableKept) {
    CStrTbl table;
    table.Add("good", "kept");
    table.Add("bad", "text");
    table.Add("flag", "text too");
    const std::string file = Serialized(table);
    const std::size_t slots = 21 + 2 * 3;
    const auto slotOf = [&](int element) {
        return static_cast<unsigned char>(file[21 + 2 * element]);
    };
    const auto changed = [&](std::size_t at, char byte) {
        std::string copy = file;
        copy[at] = byte;
        return copy;
    };
    // Each would make the game read outside the file or its strings, or look a key up
    // round and round its full hash table.
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {file.substr(0, 20), "it is shorter than a string table's header (20 bytes)"},
        {file.substr(0, file.size() - 1), "its header gives its size as"},
        {file + "x", "its header gives its size as"},
        {changed(4, 2), "its header gives 3 entries in 2 hash slots"},
        {changed(9, 0x50), "its strings start at 80 where"},
        {changed(21, 3), "entry 0 names hash slot 3 of 3"},
        {changed(slots + 17 * slotOf(1) + 14, 0x7F), "points outside its strings"},
        {changed(slots + 17 * slotOf(1) + 16, 0x7F), "points outside its strings"},
        {changed(file.size() - 1, 'X'), "holds a text that does not end within its 9 bytes"},
        {changed(13, 4), "its probe limit 4 goes past its 3 hash slots, none of them free"},
    };
    CStrTbl kept;
    kept.Add("before", "stays");
    for (const auto& c : cases) {
        CStrTbl reread = kept;
        std::string error;
        EXPECT_FALSE(reread.Parse(c.bytes, &error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(Entries(reread), (Entries(kept)));
    }
    CStrTbl reread = kept;
    EXPECT_FALSE(reread.Read("/nonexistent/patchstring.tbl"));
    EXPECT_EQ(Entries(reread), Entries(kept));
    // A probe limit up to the slot count stops a lookup before it comes round again.
    EXPECT_TRUE(reread.Parse(changed(13, 3)));
}

// Tables the game loads though their writer left them otherwise than the game's own
// tools would: all their keys are found, they are written back unchanged, each oddity is
// logged, and a change writes them anew the way a new table is written.
TEST(StrTbl, ATableTheGameLoadsIsReadWhateverItsHashValuesAndCheckSum) {
    const std::string reencoded = "Caf\xC3\xA9";
    const std::string hashed = "Caf\xE9"; // the key's bytes before a tool re-encoded them
    CStrTbl table;
    table.Add("Amulet", "first");
    table.Add(reencoded, "in UTF-8");
    table.Add("Amulet", "second");
    table.Add("Zed", "z");
    ASSERT_TRUE(table.SetHashLayout(6, 0));
    const std::string file = Serialized(table);
    const auto expected = Entries(table);
    const std::size_t slotsStart = 21 + 2 * 4;
    const int reencodedSlot = static_cast<unsigned char>(file[21 + 2]);
    const unsigned char otherBucket = CStrTbl::KeyHash(hashed) % 6;
    ASSERT_NE(otherBucket, CStrTbl::KeyHash(reencoded) % 6);

    const auto changed = [&](std::initializer_list<std::pair<std::size_t, int>> bytes) {
        std::string copy = file;
        for (const auto& [at, byte] : bytes)
            copy[at] = static_cast<char>(byte);
        return copy;
    };
    const struct {
        const char* name;
        std::string bytes;
        std::string logged; // empty: nothing
    } cases[] = {
        {"a key re-encoded after hashing",
         changed({{slotsStart + 17 * reencodedSlot + 3, otherBucket}}),
         "hash slot " + std::to_string(reencodedSlot) +
             " holds the hash of other bytes than its key \"" + reencoded + "\""},
        {"a wrong check sum", changed({{0, file[0] ^ 1}}), "its check sum does not match"},
        {"no check sum", changed({{0, 0}, {1, 0}}), ""},
        {"a probe limit too short", changed({{13, 0}}),
         "its probe limit 0 is shorter than its entries need (2)"},
        {"a version byte of 2", changed({{8, 2}}), ""},
    };
    TempDir dir;
    const std::string log = dir.File("log.txt");
    setenv("TOLMERE_LOG", log.c_str(), 1);
    for (const auto& c : cases) {
        WriteBytes(log, "");
        CStrTbl read;
        std::string error;
        ASSERT_TRUE(read.Parse(c.bytes, &error)) << c.name << ": " << error;
        const std::string logged = ReadBytes(log);
        if (c.logged.empty())
            EXPECT_EQ(logged, "") << c.name;
        else
            EXPECT_NE(logged.find(c.logged), std::string::npos) << c.name << ": " << logged;
        EXPECT_EQ(Entries(read), expected) << c.name;
        for (const auto& [key, text] : {std::pair<std::string, std::string>{reencoded, "in UTF-8"},
                                        {"Amulet", "first"},
                                        {"Zed", "z"}}) {
            ASSERT_TRUE(read.Find(key)) << c.name << ": " << key;
            EXPECT_EQ(read.Find(key)->text, text) << c.name;
        }
        EXPECT_EQ(Serialized(read), c.bytes) << c.name;

        read.SetText(*read.Find("Zed"), "changed");
        CStrTbl fresh = table;
        fresh.SetText(*fresh.Find("Zed"), "changed");
        fresh.SetHashLayout(6, static_cast<unsigned char>(c.bytes[8]));
        const std::string written = Serialized(read);
        EXPECT_EQ(written, Serialized(fresh)) << c.name;
        std::vector<std::string> warnings;
        EXPECT_EQ(CStrTbl::Check(written, &warnings), "") << c.name;
        EXPECT_TRUE(warnings.empty()) << c.name << ": " << warnings.front();
    }
    unsetenv("TOLMERE_LOG");
}

} // namespace
} // namespace tolmere
