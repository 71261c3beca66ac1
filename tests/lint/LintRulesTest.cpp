// SPDX-License-Identifier: MIT
// Each check on rows that must and must not be reported.
#include "lint/Lint.h"

#include "lint/LintFixture.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::LintGame;
using testing::NamedTable;
using testing::Row;
using testing::Summary;
using Lines = std::vector<std::string>;

const Row kUniqueHeader{"index", "code",  "lvl",  "prop1", "par1", "min1",
                        "max1",  "prop2", "par2", "min2",  "max2"};

// The case's slot is the second of the first of two items, so that a check that reads
// the wrong slot or the wrong row misses it.
struct SlotCase {
    const char* name;
    Row slot; // prop, par, min, max
    Lines expected;
};

TEST(LintRules, SlotsOfUniqueItems) {
    const SlotCase cases[] = {
        {"known code", {"allskills", "", "1", "1"}, {}},
        {"trailing space", {"allskills ", "", "1", "1"}, {"error 0 prop2"}},
        {"leading space", {" allskills", "", "1", "1"}, {"error 0 prop2"}},
        {"unknown code", {"allskilz", "", "1", "1"}, {"error 0 prop2"}},
        {"code in other case", {"AllSkills", "", "1", "1"}, {}},
        {"disabled slot", {"*allskills", "", "1", "1"}, {"note 0 prop2"}},
        {"skill by number", {"hit-skill", "47", "5", "3"}, {}},
        {"skill by name", {"hit-skill", "fire ball", "5", "3"}, {}},
        {"unknown skill number", {"charged", "49", "5", "3"}, {"error 0 par2"}},
        {"unknown skill name", {"skill", "Firebal", "1", "1"}, {"error 0 par2"}},
        {"no skill given", {"skill", "", "1", "1"}, {}},
        {"last skill tab", {"skilltab", "20", "1", "1"}, {}},
        {"skill tab past the last", {"skilltab", "21", "1", "1"}, {"error 0 par2"}},
        {"negative skill tab", {"skilltab", "-1", "1", "1"}, {"error 0 par2"}},
        {"skill tab by no number", {"skilltab", "bows", "1", "1"}, {"error 0 par2"}},
        {"classes 0 to 6", {"randclassskill", "", "0", "6"}, {}},
        {"class past the last", {"randclassskill", "", "0", "7"}, {"error 0 max2"}},
        {"class from its parameter", {"classskills", "7", "1", "1"}, {"error 0 par2"}},
        {"class fixed by Properties.txt", {"ama", "7", "1", "1"}, {}},
        {"min above max", {"str", "", "10", "5"}, {"warning 0 min2"}},
        {"min above max of two functions", {"dmg-fire", "", "10", "5"}, {"warning 0 min2"}},
        {"chance above level", {"hit-skill", "47", "10", "5"}, {}},
        {"min equal to max", {"str", "", "5", "5"}, {}},
        {"unit after the number", {"str", "", "5%", "5"}, {"warning 0 min2"}},
        {"decimal", {"str", "", "2.5", "5"}, {"warning 0 min2"}},
        {"no number", {"str", "", "five", "5"}, {"warning 0 min2"}},
        {"blanks and sign", {"str", "", " +5 ", "5"}, {}},
        {"state by name", {"state", "fullsetgeneric", "1", "1"}, {}},
        {"parameter cut short", {"ac/lvl", "8x", "", ""}, {"warning 0 par2"}},
    };
    const LintGame game;
    for (const SlotCase& c : cases) {
        Row item{"Known", "axe", "1", "str", "", "1", "1"};
        item.insert(item.end(), c.slot.begin(), c.slot.end());
        const CTxtTable unique =
            NamedTable(kUniqueHeader, {item, {"Old", "axe", "1", "str", "", "1", "1"}});
        EXPECT_EQ(Summary(LintTables(game.Input(&unique))), c.expected) << c.name;
    }
}

TEST(LintRules, ClassicTablesHoldTheCataloguesCodes) {
    const LintGame game;
    Row header = testing::ClassicUniqueHeader();
    Row item(header.size());
    item[0] = "Known";
    item[9] = "a-catalogue-code";
    const CTxtTable unique = NamedTable(header, {item});
    EXPECT_EQ(Summary(LintTables(game.Input(&unique))), Lines{});
}

TEST(LintRules, BaseCodesAndNameKeys) {
    const LintGame game;
    const CTxtTable unique = NamedTable(
        kUniqueHeader,
        {{"Known", "axe"}, {"Old", "jew"}, {"Expansion"}, {"Unknown", "cap"}, {"Known", "axx"}});
    EXPECT_EQ(Summary(LintTables(game.Input(&unique))),
              (Lines{"warning 3 index", "note 4 index", "error 4 code"}));
}

// patchstring.tbl as read from a file whose entry for "Known" carries the hash of other
// bytes, and expansionstring.tbl with "Old" as it should be.
TEST(LintRules, NameKeysUnderTheHashOfOtherBytes) {
    LintGame game;
    CStrTbl made;
    made.Add("Known", "Known");
    made.Add("Old", "Old");
    ASSERT_TRUE(made.SetHashLayout(7, 1));
    std::string bytes;
    ASSERT_TRUE(made.Serialize(bytes));
    const std::size_t slots = CStrTbl::kHeaderSize + 2 * 2;
    const auto slot = static_cast<unsigned char>(bytes[CStrTbl::kHeaderSize]); // "Known"'s
    char& bucket = bytes[slots + slot * CStrTbl::kSlotSize + 3];
    bucket = static_cast<char>((bucket + 1) % 7);
    ASSERT_TRUE(game.strings.Patch().Parse(bytes));
    game.strings.Table(StringSource::kExpansion).Add("Old", "Old");
    const CTxtTable unique = NamedTable(kUniqueHeader, {{"Known", "axe"}, {"Old", "jew"}});
    EXPECT_EQ(Summary(LintTables(game.Input(&unique))), Lines{"warning 0 index"});
    // Changed, the table is written with hashes of its own.
    game.strings.Patch().Set("New", "New");
    EXPECT_EQ(Summary(LintTables(game.Input(&unique))), Lines{});
}

TEST(LintRules, SetsAndTheirItems) {
    const LintGame game;
    const CTxtTable setItems = NamedTable(
        {"index",  "set",    "item",   "prop1",   "par1",   "min1",   "max1",   "aprop1a",
         "apar1a", "amin1a", "amax1a", "aprop1b", "apar1b", "amin1b", "amax1b", "aprop2a",
         "apar2a", "amin2a", "amax2a", "aprop2b", "apar2b", "amin2b", "amax2b"},
        {{"Known", "Pair", "axe", "str", "", "1", "1", "str", "", "1", "1"},
         {"Known", "Pair", "cap", "", "", "", "", "",    "", "",  "", "",
          "",      "",     "",    "", "", "", "", "str", "", "1", "1"},
         {"Old", "Lost", "jew"}});
    const CTxtTable sets = NamedTable(
        {"index",  "name",   "PCode2a", "PParam2a", "PMin2a", "PMax2a", "PCode2b", "PParam2b",
         "PMin2b", "PMax2b", "PCode3a", "PParam3a", "PMin3a", "PMax3a", "PCode3b", "PParam3b",
         "PMin3b", "PMax3b", "FCode1",  "FParam1",  "FMin1",  "FMax1"},
        {{"Pair", "Known", "str", "", "1", "1", "", "", "", "", "", "", "", "", "str", "", "1",
          "1"},
         {"Pair", "Known"}});
    EXPECT_EQ(Summary(LintTables(game.Input(nullptr, &setItems, &sets))),
              (Lines{"warning 1 index",    // the second item has the first's key
                     "warning 1 aprop2b",  // worn with 3 of a set of 2
                     "error 2 set",        // no set "Lost"
                     "warning 0 PCode3b",  // 3 items of a set of 2
                     "warning 1 index"})); // the set's key again
}

TEST(LintRules, CellCountsAndRepeatedKeys) {
    const LintGame game;
    CTxtTable unique;
    unique.Parse(std::string("index\tcode\tlvl\r\n"
                             "Known\taxe\t1\r\n"
                             "Known\taxe\r\n"         // short, and the key again
                             "Old\tjew\t1\textra\r\n" // long: its surplus is no row
                             "Old\tjew\t1"));         // the first key of its two
    EXPECT_EQ(Summary(LintTables(game.Input(&unique))),
              (Lines{"warning 1 lvl", "note 1 index", "warning 2 ", "note 4 index"}));
}

TEST(LintRules, SpawnOnNamesCompiledTablesOfWhatIsWritten) {
    const LintGame game;
    const CTxtTable unique = NamedTable(kUniqueHeader, {{"Known", "axx"}});
    const CTxtTable setItems =
        NamedTable({"index", "set", "item", "prop1", "par1", "min1", "max1", "aprop1a"},
                   {{"Known", "Lost", "axe"}});
    const Problems problems = SpawnOnProblems(game.Input(&unique, &setItems), {"UniqueItems.txt"},
                                              {"uniqueitems.BIN", "Sets.bin"});
    ASSERT_EQ(Summary(problems), (Lines{"error -1 ", "error 0 code"}));
    EXPECT_EQ(problems[0].file, "UniqueItems.txt");
}

TEST(LintProblem, LinesAndJson) {
    Problem problem{Severity::kWarning,        "UniqueItems.txt", 3, "Tab\there", "prop1", 3,
                    "caf\xc3\xa9 \x92quoted\""};
    EXPECT_EQ(ProblemLine(problem),
              "warning\tUniqueItems.txt\t3\tTab\\there\tprop1\tcaf\xc3\xa9 \x92quoted\"");
    problem.row = -1;
    EXPECT_EQ(ProblemsJson({problem}),
              "[\n  {\"severity\": \"warning\", \"file\": \"UniqueItems.txt\", \"row\": null, "
              "\"key\": \"Tab\\u0009here\", \"column\": \"prop1\", \"text\": "
              "\"caf\xc3\xa9 \\u2019quoted\\\"\"}\n]\n");
    EXPECT_EQ(ProblemsJson({}), "[]\n");
}

} // namespace
} // namespace tolmere
