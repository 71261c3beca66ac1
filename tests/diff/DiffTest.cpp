// SPDX-License-Identifier: MIT
#include "diff/ChangeList.h"
#include "support/TableBuilder.h"
#include "tables/ColumnFinder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::ClassicUniqueHeader;
using testing::NamedTable;
using testing::Parsed;
using testing::Row;

std::string Listed(const CTxtTable& before, const CTxtTable& after) {
    return FormatChanges(ChangeList("t", before, after, DiffTables(before, after)));
}

TEST(TableDiff, ListsRowsAndCellsByKey) {
    struct Case {
        const char* name;
        const char* before;
        const char* after;
        const char* expected;
    };
    const Case cases[] = {
        {"a row added between two", "k\tv\nA\t1\nB\t2\n", "k\tv\nA\t1\nN\t5\nB\t2\n",
         "t\tN\t\\added 1\t\t\n"},
        {"the first row removed", "k\tv\nA\t1\nB\t2\n", "k\tv\nB\t2\n", "t\tA\t\\removed 0\t\t\n"},
        // Only the row that left the order the others keep moved.
        {"a row moved", "k\tv\nA\t1\nB\t2\nC\t3\nD\t4\n", "k\tv\nA\t1\nC\t3\nD\t4\nB\t2\n",
         "t\tB\t\\moved 3\t1\t3\n"},
        {"cells changed in two rows", "k\tv\tw\nA\t1\tx\nB\t2\ty\nC\t3\tz\n",
         "k\tv\tw\nA\t1\tX\nB\t9\ty\nC\t3\tz\n", "t\tA\tw\tx\tX\nt\tB\tv\t2\t9\n"},
        // The second "R" is compared with the second, not with the first.
        {"repeated keys", "k\tv\nR\t1\nQ\t0\nR\t2\n", "k\tv\nR\t1\nQ\t0\nR\t3\n",
         "t\tR\\#2\tv\t2\t3\n"},
        {"a third R added", "k\tv\nR\t1\nR\t2\n", "k\tv\nR\t1\nR\t2\nR\t2\n",
         "t\tR\\#3\t\\added 2\t\t\n"},
        {"columns reordered", "k\tv\tw\nA\t1\tx\n", "k\tw\tv\nA\tx\t1\n", ""},
        {"columns reordered, one cell changed", "k\tv\tw\nA\t1\tx\nB\t2\ty\n",
         "k\tW\tv\nA\tx\t1\nB\tz\t2\n", "t\tB\tW\ty\tz\n"},
        {"a column added", "k\tv\nA\t1\nB\t2\n", "k\tv\tnew\nA\t1\t\nB\t2\t7\n",
         "t\tB\tnew\t\t7\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Listed(Parsed(c.before), Parsed(c.after)), c.expected) << c.name;
}

TEST(TableDiff, ComparesModifiersWhateverTheirSlot) {
    const Row header = ClassicUniqueHeader();
    auto item = [&](const std::vector<Row>& slots, const std::string& level = "10") {
        Row row{"Item", "", "", "rin", level, "", "", "", std::to_string(slots.size())};
        for (const Row& slot : slots)
            row.insert(row.end(), slot.begin(), slot.end());
        return row;
    };
    const Row str{"str", "", "5", "10"}, dex{"dex", "", "3", "3"}, ac{"ac", "", "1", "2"};
    const CTxtTable before = NamedTable(header, {item({str, dex, ac})});
    struct Case {
        const char* name;
        Row after;
        const char* expected;
    };
    const Case cases[] = {
        {"a modifier moved from slot 3 to slot 1", item({ac, str, dex}), ""},
        {"a value changed after a move", item({{"dex", "", "3", "4"}, str, ac}),
         "t\tItem\t\\modifier\tdex\\t\\t3\\t3\tdex\\t\\t3\\t4\n"},
        {"one removed, its slot taken by another code", item({str, {"res-all", "", "5", "5"}, ac}),
         "t\tItem\t\\modifier\tdex\\t\\t3\\t3\tres-all\\t\\t5\\t5\n"},
        {"one removed", item({str, ac}), "t\tItem\t\\modifier\tdex\\t\\t3\\t3\t\n"},
        {"a plain cell beside the slots", item({str, dex, ac}, "11"), "t\tItem\tlvl\t10\t11\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Listed(before, NamedTable(header, {c.after})), c.expected) << c.name;
}

// Set tables in each layout: a modifier moved inside its group (an item's own, one
// bonus) is no change; one moved to another group is.
TEST(TableDiff, ComparesSetModifiersGroupByGroup) {
    struct Case {
        const char* table;
        std::vector<std::pair<const char*, const char*>> swaps; // code columns, first row
        const char* expected;
    };
    const char k110[] = "tests/data/layouts/110/SetItems.txt";
    const char k110Sets[] = "tests/data/layouts/110/Sets.txt";
    const char k109[] = "tests/data/layouts/109b/SetItems.txt";
    const char kClassic[] = "tests/data/seed-game/d2data/excel/SetItems.txt";
    const Case cases[] = {
        {k110, {{"prop1", "prop3"}, {"aprop1a", "aprop1b"}}, ""},
        {k110,
         {{"aprop1a", "aprop2b"}},
         "t\tFrostmantle Crown\t\\modifier\t\tmana\\t\\t20\\t20\n"
         "t\tFrostmantle Crown\t\\modifier\tmana\\t\\t20\\t20\t\n"},
        {k110Sets, {{"FCode1", "FCode5"}, {"PCode2a", "PCode2b"}}, ""},
        {k110Sets,
         {{"PCode2a", "FCode4"}},
         "t\tFrostmantle Regalia\t\\modifier\t\tres-cold\\t\\t20\\t20\n"
         "t\tFrostmantle Regalia\t\\modifier\tres-cold\\t\\t20\\t20\t\n"},
        {k109, {{"I1Code1", "I1Code2"}, {"FCode1", "FCode3"}}, ""},
        {k109,
         {{"I1CodeA", "I1CodeC"}},
         "t\tGravecaller's Garb\t\\modifier\t\tres-cold\\t0\\t10\\t10\n"
         "t\tGravecaller's Garb\t\\modifier\tres-cold\\t0\\t10\\t10\t\n"},
        {kClassic, {{"prop1", "prop2"}, {"prop5", "prop20"}}, ""},
        // Two members trade a modifier each, in the same slots of their pairs.
        {kClassic,
         {{"prop1", "prop3"}},
         "t\tBrinewarden's Kit\t\\modifier\tdex\\t\\t3\\t3\tmove1\\t\\t10\\t10\n"
         "t\tBrinewarden's Kit\t\\modifier\tmove1\\t\\t10\\t10\tdex\\t\\t3\\t3\n"},
    };
    for (const Case& c : cases) {
        CTxtTable before;
        ASSERT_TRUE(before.Load(std::string(TOLMERE_SOURCE_DIR) + "/" + c.table)) << c.table;
        CTxtTable after = before;
        const CColumnFinder columns(after);
        for (const auto& [a, b] : c.swaps) {
            for (std::int32_t f = 0; f < kSlotWidth; ++f) {
                const std::int32_t ca = columns.Find(a) + f, cb = columns.Find(b) + f;
                const std::string held(after.Text(0, ca));
                after.SetCell(0, ca, after.Text(0, cb));
                after.SetCell(0, cb, held);
            }
        }
        EXPECT_EQ(Listed(before, after), c.expected) << c.table << " " << c.swaps.front().first;
    }
}

TEST(StringDiff, ComparesEntriesByKey) {
    auto table = [](const std::vector<std::pair<std::string, std::string>>& entries) {
        CStrTbl strings;
        for (const auto& [key, text] : entries)
            strings.Add(key, text);
        return strings;
    };
    const CStrTbl before = table({{"a", "1"}, {"x", "one"}, {"b", "2"}, {"x", "two"}});
    const CStrTbl after = table({{"b", "2"}, {"x", "one"}, {"x", "TWO"}, {"c", "3"}});
    EXPECT_EQ(FormatChanges(ChangeList("s.tbl", DiffStrings(before, after))),
              "s.tbl\ta\t\\removed\t1\t\n"
              "s.tbl\tc\t\\added\t\t3\n"
              "s.tbl\tx\\#2\t\\text\ttwo\tTWO\n");
    EXPECT_TRUE(DiffStrings(before, before).empty());
}

TEST(ChangeLines, ReadBackTheBytesTheyWrite) {
    ChangeLine odd;
    odd.table = "t";
    odd.key = "A\\#2\t\xE9"; // looks like an occurrence mark; a byte that is not UTF-8
    odd.occurrence = 2;
    odd.column = "\\added 3";
    odd.before = "caf\xC3\xA9\r\n\\";
    odd.after = "";
    ChangeLine row;
    row.table = "t";
    row.key = "N";
    row.kind = ChangeKind::kRowAdded;
    row.place = 12;
    const std::string text = FormatChanges({odd, row});
    EXPECT_EQ(text, "t\tA\\\\#2\\t\\xE9\\#3\t\\\\added 3\tcaf\xC3\xA9\\r\\n\\\\\t\n"
                    "t\tN\t\\added 12\t\t\n");
    std::vector<ChangeLine> read;
    std::string error;
    ASSERT_TRUE(ParseChanges(text, read, error)) << error;
    EXPECT_EQ(FormatChanges(read), text);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].key, odd.key);
    EXPECT_EQ(read[0].occurrence, 2);
    EXPECT_EQ(read[0].column, odd.column);
    EXPECT_EQ(read[0].before, odd.before);
    EXPECT_EQ(read[1].kind, ChangeKind::kRowAdded);

    for (const char* bad : {"t\tk\tc\told\n", "t\tk\tc\t\\q\tnew\n", "t\tk\t\\moved x\t\t\n",
                            "t\tk\tc\t\xE9\tnew\n", "t\tk\\#1\tc\t\t\n"})
        EXPECT_FALSE(ParseChanges(std::string("t\tk\tc\ta\tb\n") + bad, read, error)) << bad;
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
}

} // namespace
} // namespace tolmere
