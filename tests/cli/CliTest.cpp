#include "support/TempDir.h"
#include "tables/StrTbl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>

namespace tolmere {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

CliRun Cli(const TempDir& dir, const std::string& args) {
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    std::string command =
        std::string("'") + TOLMERE_CLI + "' " + args + " >'" + out + "' 2>'" + err + "'";
    int status = std::system(command.c_str());
    CliRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadBytes(out);
    run.err = ReadBytes(err);
    return run;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

TEST(Cli, ResaveWritesTheCanonicalForm) {
    TempDir dir;
    WriteBytes(dir.File("in.txt"), "a\tb\r\n1\t2\r\n3\r\n");
    CliRun run = Cli(dir, "resave " + Quoted(dir.File("in.txt")) + " -");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "a\tb\r\n1\t2\r\n3\t\r\n");

    CliRun missing =
        Cli(dir, "resave " + Quoted(dir.File("none.txt")) + " " + Quoted(dir.File("o")));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_FALSE(testing::FileExists(dir.File("o")));
}

TEST(Cli, StringTablesRoundTripThroughText) {
    TempDir dir;
    CStrTbl table;
    table.Add("dup", "first");
    table.Add("odd\tkey", "line\r\nbreak \\ and \xc3\xbf"
                          "c1colour");
    table.Add("dup", "second");
    ASSERT_TRUE(table.Write(dir.File("in.tbl")));

    CliRun toText =
        Cli(dir, "tbl2txt " + Quoted(dir.File("in.tbl")) + " " + Quoted(dir.File("t.txt")));
    ASSERT_EQ(toText.exitCode, 0) << toText.err;
    EXPECT_EQ(ReadBytes(dir.File("t.txt")),
              "dup\tfirst\nodd\\tkey\tline\\r\\nbreak \\\\ and \xc3\xbf"
              "c1colour\ndup\tsecond\n");

    CliRun back =
        Cli(dir, "txt2tbl " + Quoted(dir.File("t.txt")) + " " + Quoted(dir.File("out.tbl")));
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(ReadBytes(dir.File("out.tbl")), ReadBytes(dir.File("in.tbl")));

    WriteBytes(dir.File("bad.txt"), "good\tline\nno tab here\n");
    CliRun bad =
        Cli(dir, "txt2tbl " + Quoted(dir.File("bad.txt")) + " " + Quoted(dir.File("x.tbl")));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("line 2"), std::string::npos);
    EXPECT_FALSE(testing::FileExists(dir.File("x.tbl")));
}

TEST(Cli, DescribeListsItemsWithTheirModifierLines) {
    TempDir dir;
    CStrTbl names;
    names.Add("Ember Oath", "Ember Oath, the Burning");
    ASSERT_TRUE(names.Write(dir.File("names.tbl")));
    CliRun run = Cli(dir, "describe --tbl " + Quoted(dir.File("names.tbl")) + " " +
                              Quoted(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("Tidecaller")),
              "Ember Oath (5) --- [Ember Oath, the Burning]\n"
              "  [3] +5 to Strength\n"
              "  [2] +9 to Maximum Fire Damage\n"
              "  [1] +3 to Minimum Fire Damage\n"
              "  [0] +60% Enhanced Damage\n");
    EXPECT_NE(run.out.find("  [1] Unknown modifier\n"), std::string::npos);

    CliRun usage = Cli(dir, "describe");
    EXPECT_EQ(usage.exitCode, 1);
    EXPECT_EQ(Cli(dir, "--help").exitCode, 0);
    EXPECT_EQ(Cli(dir, "frobnicate").exitCode, 1);
}

} // namespace
} // namespace tolmere
