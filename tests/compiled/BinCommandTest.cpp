// SPDX-License-Identifier: MIT
// tolmere-cli bin as scripts run it.
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tolmere {
namespace {

using testing::Cli;
using testing::Q;

const char kUniques[] = "index\tcode\tprop1\tpar1\tmin1\tmax1\tdropsound\r\n"
                        "Ring\trin\tSTR\t\t3\t5\titem_ring\r\n"
                        "Band\trings\tac\t\t1\t2\t\r\n";

TEST(BinCommandTest, WritesAndChecksWithLinkedTablesInAnyCase) {
    testing::TempDir dir;
    testing::WriteBytes(dir.File("u.txt"), kUniques);
    testing::WriteBytes(dir.File("PROPERTIES.txt"), "code\r\nac\r\nstr\r\n");
    testing::WriteBytes(dir.File("sounds.TXT"), "Sound\r\n\r\nitem_ring\r\n");
    for (const char* name : {"skills.txt", "montype.txt", "states.txt"})
        testing::WriteBytes(dir.File(name), "skill\ttype\tstate\r\n");
    const std::string data = " --game-data " + Q(dir.Path());

    const auto run = Cli(dir, "bin " + Q(dir.File("u.txt")) + " " + Q(dir.File("u.bin")) + data);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(testing::ReadBytes(dir.File("u.bin")).size(), 4u + 2 * 332u);
    EXPECT_EQ(run.err, "tolmere-cli: warning: " + dir.File("u.txt") +
                           " line 3, code: is longer than four characters; the game keeps the "
                           "first four\n");

    auto check =
        Cli(dir, "bin --check " + Q(dir.File("u.txt")) + " " + Q(dir.File("u.bin")) + data);
    EXPECT_EQ(check.exitCode, 0) << check.err;
    std::string changed = kUniques;
    changed.replace(changed.find("3\t5"), 1, "4");
    testing::WriteBytes(dir.File("u.txt"), changed);
    check = Cli(dir, "bin --check " + Q(dir.File("u.txt")) + " " + Q(dir.File("u.bin")) + data);
    EXPECT_EQ(check.exitCode, 3);
    EXPECT_EQ(check.out, dir.File("u.bin") + ": record 0 (min1): expected 3, got 4\n");
}

TEST(BinCommandTest, RefusesWithOneLineAndWritesNothing) {
    testing::TempDir dir;
    testing::WriteBytes(dir.File("u.txt"), kUniques);
    testing::WriteBytes(dir.File("skills.txt"), "skill\tId\r\nAttack\t0\r\n");
    const struct {
        std::string table, expected;
    } cases[] = {
        {"u.txt", "Properties.txt is not in " + dir.Path() + "; UniqueItems.bin links to it"},
        {"skills.txt", "its header is none of"},
    };
    for (const auto& c : cases) {
        const auto run = Cli(dir, "bin " + Q(dir.File(c.table)) + " " + Q(dir.File("out.bin")) +
                                      " --game-data " + Q(dir.Path()));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(testing::FileExists(dir.File("out.bin")));
    }
}

} // namespace
} // namespace tolmere
