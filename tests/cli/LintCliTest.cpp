// SPDX-License-Identifier: MIT
// tolmere-cli lint: its line format, --json and its exit codes.
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tolmere {
namespace {

using testing::Cli;
using testing::CliRun;
using testing::Q;
using testing::TempDir;
using testing::WriteBytes;

// A folder holding a unique items table with the given item rows, and the game's
// tables that judge it.
void WriteGame(const TempDir& dir, const std::string& items) {
    WriteBytes(dir.File("UniqueItems.txt"), "index\tcode\tprop1\tpar1\tmin1\tmax1\r\n" + items);
    WriteBytes(dir.File("Properties.txt"), "code\tfunc1\tstat1\r\nstr\t1\tstrength\r\n");
    WriteBytes(dir.File("ItemStatCost.txt"), "Stat\tID\r\nstrength\t0\r\n");
    WriteBytes(dir.File("Weapons.txt"), "name\tcode\r\nAxe\taxe\r\n");
}

TEST(LintCli, LinesJsonAndExitCodes) {
    TempDir dir;
    WriteGame(dir, "Fine\taxe\tstr\t\t1\t2\r\nBad\taxe\tstrr\t\t1\t2\r\nLow\taxe\tstr\t\t3\t2\r\n");
    CliRun run = Cli(dir, "lint " + Q(dir.Path()));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "error\tUniqueItems.txt\t1\tBad\tprop1\tProperties.txt has no property "
                       "'strr': the game ignores the slot\n"
                       "warning\tUniqueItems.txt\t2\tLow\tmin1\tthe minimum 3 is above the "
                       "maximum 2\n");

    // The same table named alone, with the game's tables beside it.
    run =
        Cli(dir, "lint --json --game-data " + Q(dir.Path()) + " " + Q(dir.File("UniqueItems.txt")));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.out.find("{\"severity\": \"error\", \"file\": \"UniqueItems.txt\", \"row\": 1, "
                           "\"key\": \"Bad\", \"column\": \"prop1\""),
              std::string::npos)
        << run.out;

    // Warnings alone leave the exit code 0.
    WriteGame(dir, "Low\taxe\tstr\t\t3\t2\r\n");
    run = Cli(dir, "lint " + Q(dir.Path()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("warning\t", 0), 0u) << run.out;
}

TEST(LintCli, GameFolderWithItsTablesAndNames) {
    TempDir dir;
    const std::string excel = dir.File("data/global/excel"), lng = dir.File("data/local/lng/eng");
    std::filesystem::create_directories(excel);
    std::filesystem::create_directories(lng);
    WriteBytes(excel + "/UniqueItems.txt",
               "index\tcode\tprop1\tpar1\tmin1\tmax1\r\nNamed\taxe\t\t\t\t\r\n"
               "Nameless\taxe\t\t\t\t\r\n");
    WriteBytes(dir.File("names.txt"), "Named\tThe Named One\n");
    ASSERT_EQ(Cli(dir, "txt2tbl " + Q(dir.File("names.txt")) + " " + Q(lng + "/patchstring.tbl"))
                  .exitCode,
              0);
    const CliRun run = Cli(dir, "lint " + Q(dir.Path()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "warning\tUniqueItems.txt\t1\tNameless\tindex\tno string table has the key "
                       "'Nameless': the game shows the key itself\n");
}

TEST(LintCli, BadArgumentsExitWith2) {
    TempDir dir;
    WriteGame(dir, "Fine\taxe\tstr\t\t1\t2\r\n");
    WriteBytes(dir.File("notes.txt"), "a\tb\r\n1\t2\r\n");
    WriteBytes(dir.File("Sets.txt"), "index\tname\tPCode2a\tFCode1\r\nPair\tPair\t\t\r\n");
    for (const std::string& args :
         {std::string("lint"), "lint --frobnicate " + Q(dir.Path()),
          "lint " + Q(dir.File("none.txt")), "lint " + Q(dir.File("notes.txt")),
          "lint --strings " + Q(dir.Path()) + " " + Q(dir.Path()),
          "lint --game-data " + Q(dir.Path()) + " " + Q(dir.Path())}) {
        const CliRun run = Cli(dir, args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err, "") << args;
    }
}

} // namespace
} // namespace tolmere
