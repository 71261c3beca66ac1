// SPDX-License-Identifier: MIT
#include "support/CliRun.h"
#include "tables/StrTbl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace tolmere {
namespace {

using testing::Cli;
using testing::CliRun;
using testing::Q;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct ModCase {
    std::string args;
    const char* expected; // a line `show` prints of OUT, or "!" and the start of the error
};

// Runs `mod` with each case's arguments, writing OUT in `dir`: a failing case must name
// its error and write nothing; any other must succeed, and `show OUT` then print its line.
void ExpectModRuns(const TempDir& dir, const std::string& show, const std::vector<ModCase>& cases) {
    for (const ModCase& c : cases) {
        std::remove(dir.File("out.txt").c_str());
        const CliRun run = Cli(dir, "mod " + c.args);
        if (c.expected[0] == '!') {
            EXPECT_EQ(run.exitCode, 1) << c.args;
            EXPECT_EQ(run.err.rfind("tolmere-cli: ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(c.expected + 1), std::string::npos) << run.err;
            EXPECT_FALSE(testing::FileExists(dir.File("out.txt"))) << c.args;
            continue;
        }
        ASSERT_EQ(run.exitCode, 0) << c.args << "\n" << run.err;
        const CliRun shown = Cli(dir, show + " " + Q(dir.File("out.txt")));
        EXPECT_NE(shown.out.find(c.expected), std::string::npos) << c.args << "\n" << shown.out;
    }
}

TEST(Cli, ResaveGivesBackTheBytesItRead) {
    TempDir dir;
    for (const std::string bytes : {"a\tb\r\n1\t2\r\n3\r\n", "a\tb\n1\t2\n3"}) {
        WriteBytes(dir.File("in.txt"), bytes);
        CliRun run = Cli(dir, "resave " + Q(dir.File("in.txt")) + " -");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, bytes);
    }
    CliRun missing = Cli(dir, "resave " + Q(dir.File("none.txt")) + " " + Q(dir.File("o")));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_FALSE(testing::FileExists(dir.File("o")));
}

TEST(Cli, StringTablesRoundTripThroughText) {
    TempDir dir;
    const auto convert = [&](const char* command, const char* from, const char* to) {
        return Cli(dir, std::string(command) + " " + Q(dir.File(from)) + " " + Q(dir.File(to)));
    };
    CStrTbl table;
    table.Add("dup", "first");
    table.Add("odd\tkey", "line\r\nbreak \\ and \xc3\xbf"
                          "c1colour");
    table.Add("dup", "second");
    ASSERT_TRUE(table.Write(dir.File("in.tbl")));
    CliRun run = convert("tbl2txt", "in.tbl", "t.txt");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir.File("t.txt")), "dup\tfirst\nodd\\tkey\tline\\r\\nbreak \\\\ and "
                                            "\xc3\xbf"
                                            "c1colour\ndup\tsecond\n");
    run = convert("txt2tbl", "t.txt", "out.tbl");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir.File("out.tbl")), ReadBytes(dir.File("in.tbl")));

    // A first "tbl" line keeps the hash table size and version byte of the file, and
    // tbl2txt writes it back.
    WriteBytes(dir.File("layout.txt"), "tbl hash-slots=5 version=0\nk\tv\n");
    ASSERT_EQ(convert("txt2tbl", "layout.txt", "layout.tbl").exitCode, 0);
    CStrTbl laidOut;
    ASSERT_TRUE(laidOut.Read(dir.File("layout.tbl")));
    EXPECT_EQ(laidOut.HashSlots(), 5u);
    EXPECT_EQ(laidOut.Version(), 0);
    ASSERT_EQ(convert("tbl2txt", "layout.tbl", "l2").exitCode, 0);
    EXPECT_EQ(ReadBytes(dir.File("l2")), "tbl hash-slots=5 version=0\nk\tv\n");

    // The game's strings end at NUL: one in a key or a text is refused at its line.
    using namespace std::string_literals;
    for (const auto& [text, line] : std::vector<std::pair<std::string, std::string>>{
             {"good\tline\nno tab here\n", "line 2: "},
             {"tbl hash-slots=70000 version=1\nk\tv\n", "line 1: "},
             {"tbl hash-slots=5\nk\tv\n", "line 1: "},
             {"k\tv\ntbl hash-slots=5 version=1\n", "line 2: "},
             {"k\0ey\tv\n"s, "line 1: a NUL byte in the key"},
             {"k\tv\0x\n"s, "line 1: a NUL byte in the text"},
             {"a\tb\r\nk\tv\0\r\n"s, "line 2: a NUL byte in the text"},
             {"a\tb\n\nc\td\n\0k\tv"s, "line 4: a NUL byte in the key"},
             {"tbl hash-slots=5 version=1\0\nk\tv\n"s, "line 1: a NUL byte;"}}) {
        WriteBytes(dir.File("bad.txt"), text);
        CliRun bad = convert("txt2tbl", "bad.txt", "x.tbl");
        EXPECT_EQ(bad.exitCode, 1) << text;
        EXPECT_NE(bad.err.find(line), std::string::npos) << bad.err;
        EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
        EXPECT_FALSE(testing::FileExists(dir.File("x.tbl")));
    }
    // Any other byte is text.
    WriteBytes(dir.File("ctl.txt"), "k\x01\tv\x7f\xff\n");
    ASSERT_EQ(convert("txt2tbl", "ctl.txt", "ctl.tbl").exitCode, 0);
    ASSERT_EQ(convert("tbl2txt", "ctl.tbl", "ctl2.txt").exitCode, 0);
    EXPECT_EQ(ReadBytes(dir.File("ctl2.txt")), "k\x01\tv\x7f\xff\n");
}

TEST(Cli, DescribeNamesTheLayoutAndListsItemsWithTheirModifierLines) {
    TempDir dir;
    CStrTbl names;
    names.Add("Ember Oath", "Ember Oath, the Burning");
    ASSERT_TRUE(names.Write(dir.File("names.tbl")));
    const std::string sample = Q(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt");
    CliRun run = Cli(dir, "describe --tbl " + Q(dir.File("names.tbl")) + " " + sample);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("#1 ")),
              "layout: classic\n"
              "#0 Ember Oath (5) --- [Ember Oath, the Burning]\n"
              "  [1] 3 - 9 fire damage\n"
              "  [3] +5 to Strength\n"
              "  [0] +60% Enhanced Damage\n");
    EXPECT_NE(run.out.find("  [1] Unknown modifier: xyz-unknown\n"), std::string::npos);

    // --modkey names the catalogue, and --strings the folder of the three tables.
    WriteBytes(dir.File("keys.txt"), "code\tdesc\r\nstr\tStrength %.0f\r\n");
    ASSERT_TRUE(names.Write(dir.File("expansionstring.tbl")));
    CliRun own = Cli(dir, "describe --modkey " + Q(dir.File("keys.txt")) + " --strings " +
                              Q(dir.Path()) + " " + sample);
    ASSERT_EQ(own.exitCode, 0) << own.err;
    EXPECT_NE(
        own.out.find("#0 Ember Oath (5) --- [Ember Oath, the Burning] "
                     "(expansionstring.tbl)\n  [3] Strength 5\n  [2] Unknown modifier: fire-max\n"),
        std::string::npos);

    // Without CharStats.txt the game's own classes are used, and said so once.
    std::filesystem::create_directories(dir.File("game"));
    WriteBytes(dir.File("game/Properties.txt"), "code\tfunc1\tstat1\r\nstr\t1\tstrength\r\n");
    WriteBytes(dir.File("game/ItemStatCost.txt"), "Stat\tID\r\nstrength\t0\r\n");
    const std::string game = " --game-data " + Q(dir.File("game")) + " ";
    EXPECT_EQ(Cli(dir, "describe" + game + sample).err,
              "tolmere-cli: warning: " + dir.File("game") +
                  " holds no CharStats.txt: classes are named in the game's own order\n");
    WriteBytes(dir.File("game/CharStats.txt"), "class\tStrAllSkills\r\nAmazon\tModStr3a\r\n");
    EXPECT_EQ(Cli(dir, "describe" + game + sample).err, "");

    WriteBytes(dir.File("odd.txt"), "name\tkind\r\nx\ty\r\n");
    CliRun unknown = Cli(dir, "describe " + Q(dir.File("odd.txt")));
    EXPECT_EQ(unknown.out, "layout: unknown (UniqueItems.txt: no column named code)\n");
    EXPECT_EQ(unknown.exitCode, 1);

    EXPECT_EQ(Cli(dir, "describe").exitCode, 1);
    EXPECT_EQ(Cli(dir, "--help").exitCode, 0);
    EXPECT_EQ(Cli(dir, "frobnicate").exitCode, 1);
}

TEST(Cli, ModAddEditAndDeleteFollowTheWindowsRules) {
    TempDir dir;
    const std::string sample = Q(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt");
    const std::string out = Q(dir.File("out.txt"));
    WriteBytes(dir.File("odd.txt"), "name\tkind\r\nx\ty\r\n");
    // A row of empty cells at the end, as 1.14d's table has: key= must not find it.
    const std::string sampleBytes = ReadBytes(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt");
    const auto tabs =
        std::count(sampleBytes.begin(), sampleBytes.begin() + sampleBytes.find('\n'), '\t');
    WriteBytes(dir.File("tail.txt"),
               sampleBytes + std::string(static_cast<std::size_t>(tabs), '\t') + "\r\n");
    const std::string tail = Q(dir.File("tail.txt"));
    ExpectModRuns(
        dir, "describe",
        {
            {"add " + sample + " 'key=Ember Oath' dex '' 3 3 " + out, "  [4] +3 to Dexterity\n"},
            {"add " + sample + " 0 str '' 1 1 " + out, "!Modifier already existed, overwrite ?"},
            {"add " + sample + " 0 str '' 7 7 " + out + " --replace", "  [3] +7 to Strength\n"},
            {"edit " + sample + " 0 1 fire-max '' 1 1 " + out,
             "!Modifier already existed somewhere else."},
            {"edit " + sample + " 0 3 vit p 2 8 " + out, "  [3] +8 to Vitality\n"},
            {"delete " + sample + " 0 0 " + out, "  [0] 3 - 9 fire damage\n"},
            {"add " + sample + " 0 dex \"$(printf '1\\t2')\" 3 3 " + out,
             "!A cell cannot hold a tab or a line break"},
            {"delete " + sample + " 0 9 " + out, "!row 0 holds no modifier in slot 9"},
            {"add " + sample + " 99 dex '' 3 3 " + out, "!has no row 99"},
            {"add " + sample + " key=Nobody dex '' 3 3 " + out, "!has no row key=Nobody"},
            {"add " + tail + " key= dex '' 3 3 " + out, "!ROW key= names no key"},
            {"add " + tail + " 'key=Plain Staff' dex '' 3 3 " + out, "  [0] +3 to Dexterity\n"},
            {"add " + Q(dir.File("odd.txt")) + " 0 dex '' 3 3 " + out,
             "!UniqueItems.txt: no column named code; the table is read-only"},
            {"move " + sample, "!usage: mod add"},
        });
    // --game-data checks against the game's tables, warns, and writes all the same.
    std::filesystem::create_directories(dir.File("game"));
    WriteBytes(dir.File("game/Properties.txt"), "code\tfunc1\tstat1\r\nstr\t1\tstrength\r\n");
    WriteBytes(dir.File("game/ItemStatCost.txt"), "Stat\tID\r\nstrength\t0\r\n");
    const CliRun warned = Cli(dir, "mod add " + sample + " 0 zap '' 9 3 " + out + " --game-data " +
                                       Q(dir.File("game")));
    EXPECT_EQ(warned.exitCode, 0) << warned.err;
    EXPECT_EQ(warned.err, "tolmere-cli: warning: The minimum (9) is greater than the maximum (3).\n"
                          "tolmere-cli: warning: Properties.txt has no property 'zap'.\n");
    EXPECT_NE(ReadBytes(dir.File("out.txt")).find("zap\t\t9\t3"), std::string::npos);

    // The slot's parameter cell takes PAR.
    Cli(dir, "mod edit " + sample + " 0 3 vit p 2 8 " + out);
    EXPECT_NE(ReadBytes(dir.File("out.txt")).find("vit\tp\t2\t8"), std::string::npos);
}

TEST(Cli, SetsPrintsTheTreeAndModEditsANodeByTheWindowsRules) {
    TempDir dir;
    const std::string seed =
        Q(TOLMERE_SOURCE_DIR "/tests/data/seed-game/d2data/excel/SetItems.txt");
    const std::string out = Q(dir.File("out.txt"));
    const CliRun tree = Cli(dir, "sets " + seed);
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    EXPECT_EQ(tree.out.substr(0, tree.out.find("#1 ")),
              "layout: classic\n#0 Brinewarden's Kit\n"
              "  [prop6] 10% Better Chance of Getting Magic Items\n"
              "  [prop5] All Resistances +5\n"
              "  #1000 Brinewarden's Grip (Leather Gloves)\n"
              "    [prop2] Cold Resist +10%\n    [prop1] +3 to Dexterity\n"
              "  #1001 Brinewarden's Stride (Boots)\n"
              "    [prop4] +10 to Life\n    [prop3] +10% Faster Run/Walk\n");
    ExpectModRuns(
        dir, "sets",
        {
            {"add " + seed + " vit '' 2 2 " + out + " --node 0", "  [prop7] +2 to Vitality\n"},
            {"add " + seed + " vit '' 2 2 " + out + " --node 1000",
             "!The items on sets has a fixed number of modifiers"},
            {"edit " + seed + " PROP1 vit '' 4 4 " + out + " --node 1000",
             "    [prop1] +4 to Vitality\n"},
            {"delete " + seed + " prop5 " + out + " --node 0", "  [prop5] 10% Better Chance"},
            {"delete " + seed + " prop1 " + out + " --node 1000",
             "!The items on sets has a fixed number of modifiers"},
            {"delete " + seed + " prop9 " + out + " --node 0",
             "!node 0 holds no modifier in prop9"},
            {"add " + seed + " vit '' 2 2 " + out + " --node 7", "!no node 7"},
        });
    const CliRun unique = Cli(dir, "sets " + Q(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt"));
    EXPECT_EQ(unique.exitCode, 1);
    EXPECT_NE(unique.out.find("layout: unknown (SetItems.txt: no column named"), std::string::npos);
}

TEST(Cli, NumbersOnTheCommandLineAreWholeDecimalNumbers) {
    TempDir dir;
    const std::string unique = Q(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt");
    const std::string seed =
        Q(TOLMERE_SOURCE_DIR "/tests/data/seed-game/d2data/excel/SetItems.txt");
    const std::string out = Q(dir.File("out.txt"));
    const struct {
        const char* name;
        std::string before, after; // the command around the number
        const char* accepted;
    } arguments[] = {
        {"--node", "mod edit " + seed + " prop1 vit '' 4 4 " + out + " --node", "", "1000"},
        {"ROW", "mod add " + unique, "dex '' 3 3 " + out, "0"},
        {"SLOT", "mod delete " + unique + " 0", out, "3"},
        {"ROW", "raw set " + unique, "lvl 7 " + out, "1"},
        {"FROM_ROW", "raw add-row " + unique, out, "1"},
        {"resource N", "resource", out, "147"},
    };
    // Each would read as some other number, or as none, if taken up to where it stops.
    const char* const refused[] = {"",
                                   "+7",
                                   " 7",
                                   "7 ",
                                   "0x3e8",
                                   "1e3",
                                   "1000.5",
                                   "1000x",
                                   "-1",
                                   "2147483648",
                                   "99999999999999999999"};
    for (const auto& a : arguments) {
        const auto run = [&](const std::string& number) {
            std::remove(dir.File("out.txt").c_str());
            return Cli(dir, a.before + " " + Q(number) + " " + a.after);
        };
        const CliRun good = run(a.accepted);
        EXPECT_EQ(good.exitCode, 0) << a.before << "\n" << good.err;
        EXPECT_TRUE(testing::FileExists(dir.File("out.txt"))) << a.before;
        for (const std::string number : refused) {
            const CliRun bad = run(number);
            EXPECT_EQ(bad.exitCode, 1) << a.before << " [" << number << "]";
            EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
            EXPECT_NE(bad.err.find(std::string(a.name) + " "), std::string::npos) << bad.err;
            EXPECT_NE(bad.err.find("\"" + number + "\""), std::string::npos) << bad.err;
            EXPECT_FALSE(testing::FileExists(dir.File("out.txt"))) << a.before << " " << number;
        }
    }
}

TEST(Cli, DescribeAndSetsKeepEachItemOnOneLine) {
    TempDir dir;
    // A name or a modifier's wording holding a line break, a TAB or a backslash is
    // written as tbl2txt writes it.
    const std::string odd = "A\nB\r\tC \\n";
    const std::string escaped = "A\\nB\\r\\tC \\\\n";
    WriteBytes(dir.File("keys.txt"), "code\tdesc\r\nstr\tStr\rength %.0f\r\n");
    const struct {
        std::string command, nameKey, expected;
    } cases[] = {
        {"describe --modkey " + Q(dir.File("keys.txt")) + " --tbl " + Q(dir.File("names.tbl")) +
             " " + Q(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt"),
         "Ember Oath", "#0 Ember Oath (5) --- [" + escaped + "]\n  [3] Str\\rength 5\n"},
        {"sets --tbl " + Q(dir.File("names.tbl")) + " " +
             Q(TOLMERE_SOURCE_DIR "/tests/data/seed-game/d2data/excel/SetItems.txt"),
         "Brinewarden's Grip",
         "  #1000 Brinewarden's Grip (Leather Gloves) --- [" + escaped + "]\n"},
    };
    for (const auto& c : cases) {
        CStrTbl names;
        names.Add(c.nameKey, odd);
        ASSERT_TRUE(names.Write(dir.File("names.tbl")));
        const CliRun run = Cli(dir, c.command);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find("\n" + c.expected), std::string::npos) << run.out;
    }
}

TEST(Cli, PicturesNamesWhatEachRowShows) {
    TempDir dir;
    WriteBytes(dir.File("weapons.txt"), "name\tcode\tinvfile\tuniqueinvfile\r\n"
                                        "Axe\tbax\tinvbax\tinvbaxu\r\nClub\tclb\tinvclb\t\r\n");
    WriteBytes(dir.File("Armor.txt"), "name\tcode\tinvfile\r\n");
    WriteBytes(dir.File("misc.txt"), "name\tcode\tinvfile\r\n");
    WriteBytes(dir.File("uniques.txt"), "index\tcode\tlvl\tinvfile\tprop1\tpar1\tmin1\tmax1\r\n"
                                        "Own\tbax\t1\tinvown\r\nAxe\tbax\t1\t\r\n"
                                        "Club\tclb\t1\t\r\nNone\txyz\t1\t\r\n");
    const CliRun run =
        Cli(dir, "pictures " + Q(dir.File("uniques.txt")) + " --bases " + Q(dir.Path()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Own\tinvown\nAxe\tinvbaxu\nClub\tinvclb\nNone\t\n");
    EXPECT_EQ(Cli(dir, "pictures " + Q(dir.File("uniques.txt")) + " --bases /nonexistent").exitCode,
              1);
}

TEST(Cli, RawSetsACellAndCopiesARowAsTheGridDoes) {
    TempDir dir;
    WriteBytes(dir.File("u.txt"), "index\tcode\t*type\tlvl\tprop1\tpar1\tmin1\tmax1\r\n"
                                  "Edge\thax\tHand Axe\t5\tstr\t\t1\t1\r\n");
    const std::string in = Q(dir.File("u.txt")), out = Q(dir.File("out.txt"));
    const struct {
        std::string args;
        const char* expected; // the output's data rows, or "!" and the error's start
    } cases[] = {
        {"set " + in + " 0 code 'Great Axe |gax' " + out,
         "Edge\tgax\tGreat Axe\t5\tstr\t\t1\t1\r\n"},
        {"set " + in + " 0 4 'x |dex' " + out, "Edge\thax\tHand Axe\t5\tdex\t\t1\t1\r\n"},
        {"set " + in + " 0 lvl '7 |8' " + out, "Edge\thax\tHand Axe\t7 |8\tstr\t\t1\t1\r\n"},
        {"add-row " + in + " 0 " + out,
         "Edge\thax\tHand Axe\t5\tstr\t\t1\t1\r\nEdge\thax\tHand Axe\t5\tstr\t\t1\t1\r\n"},
        {"set " + in + " 3 lvl 1 " + out, "!has no row 3"},
        {"set " + in + " 0 nothing 1 " + out, "!has no column nothing"},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(dir, "raw " + c.args);
        if (c.expected[0] == '!') {
            EXPECT_EQ(run.exitCode, 1) << c.args;
            EXPECT_NE(run.err.find(c.expected + 1), std::string::npos) << run.err;
            continue;
        }
        ASSERT_EQ(run.exitCode, 0) << c.args << "\n" << run.err;
        const std::string written = ReadBytes(dir.File("out.txt"));
        EXPECT_EQ(written.substr(written.find("\r\n") + 2), c.expected) << c.args;
    }
}

} // namespace
} // namespace tolmere
