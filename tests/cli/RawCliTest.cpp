// SPDX-License-Identifier: MIT
// tolmere-cli raw on whole tables: picks into set items of every layout, and find,
// replace, paste and calc writing only the cells they change.
#include "support/CliRun.h"
#include "support/TableBuilder.h"
#include "tables/TxtTable.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tolmere {
namespace {

using testing::Cli;
using testing::CliRun;
using testing::Q;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// The table's bytes with one column left out of every line.
std::string WithoutColumn(const std::string& bytes, std::size_t column) {
    std::istringstream lines(bytes);
    std::string line, out;
    while (std::getline(lines, line)) {
        std::size_t start = 0;
        for (std::size_t c = 0; c < column; ++c)
            start = line.find('\t', start) + 1;
        line.erase(start, line.find('\t', start) + 1 - start);
        out += line + "\n";
    }
    return out;
}

TEST(RawCli, ABaseItemPickLeavesTheCodeWhateverTheSetItemsLayout) {
    TempDir dir;
    const std::string layouts = TOLMERE_SOURCE_DIR "/tests/data/layouts/";
    const std::string split = ReadBytes(layouts + "110/SetItems.txt");
    WriteBytes(dir.File("110.txt"), split);
    WriteBytes(dir.File("110-no-comment.txt"), WithoutColumn(split, 3)); // no "*item"
    WriteBytes(dir.File("109.txt"), ReadBytes(layouts + "109b/SetItems.txt"));
    const struct {
        const char* file;
        const char* column;
        int code;
        int name; // where the base item's name goes, -1 nowhere
    } cases[] = {
        {"110.txt", "item", 2, 3},
        {"110-no-comment.txt", "item", 2, -1},
        {"109.txt", "Item1", 6, -1},
    };
    for (const auto& c : cases) {
        const std::string in = dir.File(c.file), out = dir.File("out.txt");
        const CliRun run =
            Cli(dir, "raw set " + Q(in) + " 0 " + c.column + " 'Large Shield |lrg' " + Q(out));
        ASSERT_EQ(run.exitCode, 0) << c.file << "\n" << run.err;
        CTxtTable expected;
        ASSERT_TRUE(expected.Load(in));
        expected.SetCell(0, c.code, "lrg");
        if (c.name >= 0)
            expected.SetCell(0, c.name, "Large Shield");
        EXPECT_EQ(ReadBytes(out), expected.Serialize()) << c.file;
    }
}

} // namespace
} // namespace tolmere
