// SPDX-License-Identifier: MIT
// tolmere-cli raw on whole tables: picks into set items of every layout, and find,
// replace, paste and calc writing only the cells they change.
#include "support/CliRun.h"
#include "support/TableBuilder.h"
#include "tables/TxtTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

// Each command on the real unique items: the output as a table with only the cells the
// command names changed, compared whole.
TEST(RawCli, FindReplacePasteAndCalcChangeOnlyTheirCells) {
    REAL_TABLES_OR_SKIP(real);
    TempDir dir;
    const std::string in = real + "/114d/UniqueItems.txt", out = dir.File("out.txt");
    CTxtTable table;
    ASSERT_TRUE(table.Load(in));
    ASSERT_EQ(ReadBytes(in), table.Serialize());
    const int lvl = 6, lvlReq = 7;
    WriteBytes(dir.File("block.tsv"), "1\t2\r\n\"3\"\t\r\n");
    int whole = 0, prop1 = 0;
    CTxtTable replaced = table, pasted = table, calculated = table;
    for (std::int32_t r = 0; r < table.DataRowCount(); ++r)
        for (std::int32_t c = 0; c < table.ColumnCount(); ++c)
            if (table.Text(r, c) == "res-all") {
                replaced.SetCell(r, c, "res-fire");
                ++whole;
                prop1 += table.HeaderCell(c) == "prop1" ? 1 : 0;
            }
    pasted.SetCell(1, lvl, "1");
    pasted.SetCell(1, lvlReq, "2");
    pasted.SetCell(2, lvl, "3");
    pasted.SetCell(2, lvlReq, "");
    for (std::int32_t r = 5; r <= 40; ++r) {
        const std::string text(table.Text(r, lvl));
        if (!text.empty())
            calculated.SetCell(r, lvl, std::to_string(std::lround(std::stod(text) * 1.5)));
    }
    ASSERT_GT(prop1, 0);
    ASSERT_GT(whole, prop1);
    const std::string key = std::string(table.Text(1, 0));
    const struct {
        std::string args;
        const CTxtTable& expected;
        std::string printed; // its first line
    } cases[] = {
        {"replace " + Q(in) + " res-all res-fire " + Q(out) + " --whole", replaced,
         std::to_string(whole) + " replaced in " + std::to_string(whole) + " cells"},
        {"paste " + Q(in) + " " + Q("key=" + key) + " lvl " + Q(dir.File("block.tsv")) + " " +
             Q(out),
         pasted, ""},
        {"calc " + Q(in) + " lvl 5-40 *1.5 " + Q(out), calculated, "cells changed"},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(dir, "raw " + c.args);
        ASSERT_EQ(run.exitCode, 0) << c.args << "\n" << run.err;
        EXPECT_EQ(ReadBytes(out), c.expected.Serialize()) << c.args;
        EXPECT_NE(run.out.find(c.printed), std::string::npos) << run.out;
    }
    const CliRun found = Cli(dir, "raw find " + Q(in) + " RES-ALL --whole --column prop1");
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(std::count(found.out.begin(), found.out.end(), '\n'), prop1);
    const std::string first = found.out.substr(0, found.out.find('\n'));
    EXPECT_NE(first.find("\tprop1\tres-all"), std::string::npos) << first;
    // Bad arguments: one line, exit 1, nothing written.
    const std::string bad[] = {
        "find " + Q(in) + " '(' --regex",
        "replace " + Q(in) + " a b " + Q(out) + " --column nosuch",
        "paste " + Q(in) + " key=nobody lvl " + Q(dir.File("block.tsv")) + " " + Q(out),
        "paste " + Q(in) + " 0 " + std::string(table.HeaderCell(table.ColumnCount() - 1).value()) +
            " " + Q(dir.File("block.tsv")) + " " + Q(out),
        "calc " + Q(in) + " lvl 40-5 +1 " + Q(out),
        "calc " + Q(in) + " lvl all x2 " + Q(out),
    };
    for (const std::string& args : bad) {
        std::remove(out.c_str());
        const CliRun run = Cli(dir, "raw " + args);
        EXPECT_EQ(run.exitCode, 1) << args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << run.err;
        EXPECT_FALSE(testing::FileExists(out)) << args;
    }
}

} // namespace
} // namespace tolmere
