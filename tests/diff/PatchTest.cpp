// SPDX-License-Identifier: MIT
#include "diff/ChangeList.h"
#include "diff/PatchApply.h"
#include "items/UniqueLayout.h"
#include "support/CliRun.h"
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::Cli;
using testing::CliRun;
using testing::Parsed;
using testing::Q;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// The patch from `base` to `modded`, through its text, applied to `target`.
PatchOutcome Carry(const CTxtTable& base, const CTxtTable& modded, CTxtTable& target) {
    std::vector<std::string> notCarried;
    std::vector<ChangeLine> lines;
    std::string error;
    EXPECT_TRUE(
        ParseChanges(FormatChanges(MakePatch("t.txt", base, modded, notCarried)), lines, error))
        << error;
    EXPECT_TRUE(notCarried.empty());
    EditStep step;
    return ApplyPatch(target, lines, step);
}

// Short lines, a last line without its end, a repeated key and rows appended in an
// order their keys do not sort in.
const char kBase[] = "k\tv\tw\r\nA\t1\tx\r\nR\t2\r\nB\t3\tz\r\nR\t4\tr";
const char kModded[] =
    "k\tv\tw\r\nA\t1\tX\r\nR\t2\r\nB\t3\tz\r\nR\t5\tr\r\nZed\t\t6\r\nAbe\t7\t\r\n";

TEST(Patch, MadeFromStockToModdedGivesTheModdedBytes) {
    CTxtTable target = Parsed(kBase);
    const PatchOutcome outcome = Carry(Parsed(kBase), Parsed(kModded), target);
    EXPECT_EQ(target.Serialize(), kModded);
    EXPECT_TRUE(outcome.conflicts.empty());
}

TEST(Patch, ReportsExactlyTheCellsChangedElsewhere) {
    // A changed cell the patch also changes, one it does not, and one already as patched.
    CTxtTable target =
        Parsed("k\tv\tw\r\nA\t1\tother\r\nR\t2\r\nB\t9\tz\r\nR\t5\tr\r\nAbe\t7\t\r\n");
    const std::string before = target.Serialize();
    const PatchOutcome outcome = Carry(Parsed(kBase), Parsed(kModded), target);
    ASSERT_EQ(outcome.conflicts.size(), 1u);
    EXPECT_EQ(outcome.conflicts[0], "t.txt\tA\tw\tx\tX: the cell holds \"other\"");
    EXPECT_EQ(outcome.already, 4); // R#2's v, Abe's row and its k and v
    EXPECT_EQ(target.Serialize(), before + "Zed\t\t6\r\n");

    // A table without a header row takes no rows: each added row is a conflict.
    CTxtTable empty;
    const PatchOutcome none = Carry(Parsed(kBase), Parsed(kModded), empty);
    EXPECT_EQ(none.applied, 0);
    ASSERT_GE(none.conflicts.size(), 2u);
    EXPECT_EQ(none.conflicts[0],
              "t.txt\tZed\t\\added 4\t\t: the table has no header row, so no row can be added");
    EXPECT_EQ(empty.Serialize(), "");
}

TEST(Patch, StockTableAgainstItselfIsEmptyAndCarriesAMod) {
    REAL_TABLES_OR_SKIP(real);
    CTxtTable stock;
    std::string error;
    ASSERT_TRUE(stock.Load(real + "/114d/UniqueItems.txt", &error)) << error;
    EXPECT_TRUE(DiffTables(stock, stock).Empty());
    // A mod: a level, slot 1 and 2 swapped in an item that is not the first, a value.
    CTxtTable modded = stock;
    const UniqueItemsLayout layout = RecogniseUniqueItems(stock);
    ASSERT_TRUE(layout.Editable());
    modded.SetCell(5, layout.shownColumn, "99");
    const SlotColumns& spare =
        layout.modifiers.Slot(FirstFreeSlot(modded, 10, layout.modifiers.slots));
    CopySlot(modded, 10, layout.modifiers.Slot(0), spare);
    CopySlot(modded, 10, layout.modifiers.Slot(1), layout.modifiers.Slot(0));
    CopySlot(modded, 10, spare, layout.modifiers.Slot(1));
    FreeSlot(modded, 10, spare, "");
    modded.SetCell(20, layout.modifiers.Slot(0).max, "777");
    CTxtTable target = stock;
    Carry(stock, modded, target);
    EXPECT_EQ(target.Serialize(), modded.Serialize());
    const TableDiff shown = DiffTables(stock, modded);
    EXPECT_EQ(shown.rows.size(), 2u); // the swap is no change
}

TEST(Patch, CommandLineExitCodes) {
    TempDir dir;
    WriteBytes(dir.File("base.txt"), kBase);
    WriteBytes(dir.File("mod.txt"), kModded);
    WriteBytes(dir.File("other.txt"), "k\tv\tw\r\nA\t1\tother\r\n");
    const std::string base = Q(dir.File("base.txt")), mod = Q(dir.File("mod.txt"));
    struct Case {
        std::string args;
        int exitCode;
    };
    const Case cases[] = {
        {"diff " + base + " " + base, 0},
        {"diff " + base + " " + mod, 1},
        {"diff " + base, 2},
        {"diff " + base + " " + Q(dir.File("none.txt")), 2},
        {"diff --words --game-data " + Q(dir.File("none")) + " " + base + " " + mod, 2},
        {"diff " + base + " " + Q(dir.File("s.tbl")), 2},
        {"patch make " + base + " " + mod + " " + Q(dir.File("p.patch")), 0},
        {"patch apply " + base + " " + Q(dir.File("p.patch")) + " " + Q(dir.File("out.txt")), 0},
        {"patch apply " + Q(dir.File("other.txt")) + " " + Q(dir.File("p.patch")) + " -", 1},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(dir, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args << "\n" << run.err;
    }
    EXPECT_EQ(ReadBytes(dir.File("out.txt")), kModded);
    const CliRun conflicts =
        Cli(dir, "patch apply " + Q(dir.File("other.txt")) + " " + Q(dir.File("p.patch")) + " -");
    EXPECT_NE(conflicts.err.find("conflict: mod.txt\tA\tw\tx\tX: the cell holds \"other\""),
              std::string::npos)
        << conflicts.err;
}

TEST(Patch, NamesWhatItCannotCarry) {
    std::vector<std::string> notCarried;
    MakePatch("t.txt", Parsed("k\tv\tw\nA\t1\t2\nB\t3\t4\nC\t5\t6\nD\t7\t8\n"),
              Parsed("k\tv\nA\t1\nN\t0\nC\t5\nD\t7\nB\t3\nE\t9\n"), notCarried);
    EXPECT_EQ(notCarried, std::vector<std::string>(
                              {"t.txt: the column w was removed",
                               "t.txt: the row N was added among others; a patch appends it at "
                               "the end",
                               "t.txt: the row B was moved"}));
}

TEST(Patch, StringTablesFromTheCommandLine) {
    TempDir dir;
    auto write = [&](const std::string& name, const std::vector<std::string>& texts) {
        CStrTbl strings;
        for (std::size_t i = 0; i < texts.size(); ++i)
            strings.Add("k" + std::to_string(i), texts[i]);
        std::string bytes;
        ASSERT_TRUE(strings.Serialize(bytes));
        WriteBytes(dir.File(name), bytes);
    };
    write("base.tbl", {"a", "b"});
    write("mod.tbl", {"a", "B", "c"});
    write("other.tbl", {"x", "b"});
    auto run = [&](const std::string& args) { return Cli(dir, args).exitCode; };
    EXPECT_EQ(run("diff " + Q(dir.File("base.tbl")) + " " + Q(dir.File("base.tbl"))), 0);
    EXPECT_EQ(Cli(dir, "diff " + Q(dir.File("base.tbl")) + " " + Q(dir.File("mod.tbl"))).out,
              "mod.tbl\tk1\t\\text\tb\tB\nmod.tbl\tk2\t\\added\t\tc\n");
    EXPECT_EQ(run("patch make " + Q(dir.File("base.tbl")) + " " + Q(dir.File("mod.tbl")) + " " +
                  Q(dir.File("p.patch"))),
              0);
    // Another table with a text of its own: the patch's changes go in all the same.
    EXPECT_EQ(run("patch apply " + Q(dir.File("other.tbl")) + " " + Q(dir.File("p.patch")) + " " +
                  Q(dir.File("out.tbl"))),
              0);
    EXPECT_EQ(run("diff " + Q(dir.File("out.tbl")) + " " + Q(dir.File("mod.tbl"))), 1);
    EXPECT_EQ(Cli(dir, "diff " + Q(dir.File("out.tbl")) + " " + Q(dir.File("mod.tbl"))).out,
              "mod.tbl\tk0\t\\text\tx\ta\n");
}

} // namespace
} // namespace tolmere
