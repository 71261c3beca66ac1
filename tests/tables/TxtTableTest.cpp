// SPDX-License-Identifier: MIT
#include "tables/TxtTable.h"
#include "tables/TableFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tolmere {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

CTxtTable Parsed(const std::string& bytes) {
    CTxtTable table;
    table.Parse(bytes.data(), bytes.size());
    return table;
}

// Every cell, header first: cells joined by '|', rows by '/'.
std::string Grid(const CTxtTable& table) {
    std::string grid;
    for (std::int32_t r = 0; r < table.RowCount(); ++r) {
        for (std::int32_t c = 0; c < table.ColumnCount(); ++c) {
            grid += c ? "|" : r ? "/" : "";
            grid += r == 0 ? *table.HeaderCell(c) : *table.Cell(r - 1, c);
        }
    }
    return grid;
}

TEST(TxtTable, EveryFileThatNamesAColumnIsWrittenBackByteForByte) {
    const std::string huge(100000, 'x');
    const std::string s255(255, 'y'), s256(256, 'z');
    std::string shortCells = "ab"; // a row longer than the longest cell a byte measures
    for (int c = 1; c < 100; ++c)
        shortCells += "\tab";
    std::string wide = "0"; // more cells than a row keeps one byte each for
    for (int c = 1; c < 1100; ++c)
        wide += "\t" + std::to_string(c);
    auto bars = [](std::string text) {
        std::replace(text.begin(), text.end(), '\t', '|');
        return text;
    };
    const struct {
        const char* name;
        std::string bytes;
        std::string grid;
    } cases[] = {
        // Short files of every shape are left to ReadsEveryShapeOfInputByTheSameRules.
        {"CR LF", "a\tb\r\n1\t2\r\n", "a|b/1|2"},
        {"huge cells", "a\tb\r\n" + huge + "\t" + huge + "\r\n", "a|b/" + huge + "|" + huge},
        {"cells of 255 and 256 bytes", "a\tb\tc\n" + s255 + "\t" + s256 + "\t1\n1\t" + s255 + "\n",
         "a|b|c/" + s255 + "|" + s256 + "|1/1|" + s255 + "|"},
        {"long rows of short cells", shortCells + "\n" + shortCells,
         bars(shortCells + "/" + shortCells)},
        {"rows of very many cells", wide + "\n" + wide + "\r\nx" + wide.substr(1),
         bars(wide + "/" + wide + "/x" + wide.substr(1))},
    };
    for (const auto& c : cases) {
        const CTxtTable table = Parsed(c.bytes);
        EXPECT_EQ(Grid(table), c.grid) << c.name;
        EXPECT_EQ(table.Serialize(), c.bytes) << c.name;
    }
}

TEST(TxtTable, AnEmptyFirstLineNamesNoColumn) {
    TempDir dir;
    for (const std::string bytes : {"", "\n", "\r\n", "\n1\t2\r\n", "\r\na\tb"}) {
        const CTxtTable table = Parsed(bytes);
        EXPECT_EQ(std::make_tuple(table.ColumnCount(), table.RowCount(), table.CellCount()),
                  std::make_tuple(0, 0, 0))
            << ::testing::PrintToString(bytes);
        EXPECT_FALSE(table.Save(dir.File("out.txt")));
    }
    EXPECT_EQ(testing::ListDir(dir.Path()), "");
}

TEST(TxtTable, EditsAndNewRowsChangeOnlyTheirOwnBytes) {
    const struct {
        const char* name;
        std::string bytes;
        int addedRows;
        std::vector<std::tuple<int, int, std::string>> sets; // data row, column, text
        std::string written;
    } cases[] = {
        {"padded cell given text",
         "a\tb\tc\r\n1\r\n2\r\n",
         0,
         {{0, 2, "x"}, {1, 1, ""}},
         "a\tb\tc\r\n1\t\tx\r\n2\r\n"},
        {"emptied cell is still written", "a\tb\n1\t2\n", 0, {{0, 1, ""}}, "a\tb\n1\t\n"},
        {"row without line end", "a\tb\r\n1\t2", 0, {{0, 0, "z"}}, "a\tb\r\nz\t2"},
        {"row of a long line", "a\tb\r\n1\t2\t3\r\n", 0, {{1, 1, "y"}}, "a\tb\r\n1\t2\t3\ty\r\n"},
        {"empty line", "a\tb\r\n\r\n", 0, {{0, 1, "y"}}, "a\tb\r\n\ty\r\n"},
        {"new row, CR LF", "a\tb\r\n1\t2\r\n", 1, {}, "a\tb\r\n1\t2\r\n\t\r\n"},
        {"new row, LF", "a\tb\n1\t2\r\n", 1, {}, "a\tb\n1\t2\r\n\t\n"},
        {"new row after a row without line end",
         "a\tb\n1\t2",
         2,
         {{2, 1, "v"}},
         "a\tb\n1\t2\n\t\n\tv\n"},
        {"new row after a header without line end", "a\tb", 1, {}, "a\tb\r\n\t\r\n"},
        {"cells between edits",
         "a\tb\tc\td\n1\t2\t3\t4\n",
         0,
         {{0, 1, "x"}, {0, 3, "y"}},
         "a\tb\tc\td\n1\tx\t3\ty\n"},
        {"row with a cell too long for a byte",
         "a\tb\tc\n1\t" + std::string(300, 'z') + "\t3\n",
         0,
         {{0, 2, "x"}},
         "a\tb\tc\n1\t" + std::string(300, 'z') + "\tx\n"},
    };
    for (const auto& c : cases) {
        CTxtTable table = Parsed(c.bytes);
        for (int i = 0; i < c.addedRows; ++i)
            table.AddRow();
        for (const auto& [d, column, text] : c.sets)
            ASSERT_TRUE(table.SetCell(d, column, text)) << c.name;
        EXPECT_EQ(table.CellCount(), table.RowCount() * table.ColumnCount()) << c.name;
        EXPECT_EQ(table.Serialize(), c.written) << c.name;
        // Taking the new rows back gives the bytes read, edits in old rows aside; no
        // row read from the file can be taken.
        const std::int32_t read = table.DataRowCount() - c.addedRows;
        EXPECT_FALSE(table.RemoveAddedRows(read - 1)) << c.name;
        ASSERT_TRUE(table.RemoveAddedRows(read)) << c.name;
        if (c.sets.empty() || std::get<0>(c.sets[0]) >= read) {
            EXPECT_EQ(table.Serialize(), c.bytes) << c.name;
        }
    }
}

TEST(TxtTable, LoadAndSaveKeepTheFile) {
    TempDir dir;
    const std::string bytes = "a\tb\n1\t2\r\n3\r4";
    WriteBytes(dir.File("in.txt"), bytes);
    CTxtTable table;
    ASSERT_TRUE(table.Load(dir.File("in.txt")));
    ASSERT_TRUE(table.Save(dir.File("out.txt")));
    EXPECT_EQ(ReadBytes(dir.File("out.txt")), bytes);
    table.SetCell(1, 1, "x");
    ASSERT_TRUE(table.Save(dir.File("out.txt")));
    EXPECT_EQ(ReadBytes(dir.File("out.txt")), "a\tb\n1\t2\r\n3\r4\tx");

    EXPECT_FALSE(table.Load(dir.File("missing.txt")));
    EXPECT_FALSE(table.Load(dir.Path())); // a directory is no table either
    EXPECT_EQ(table.Serialize(), "a\tb\n1\t2\r\n3\r4\tx");
}

TEST(TxtTable, CellLookupStaysInsideTheTable) {
    CTxtTable table = Parsed("a\tb\r\n1\t2\r\n");
    EXPECT_EQ(*table.Cell(0, 1), "2");
    EXPECT_EQ(table.Cell(0, 2), std::nullopt); // c = column count
    EXPECT_EQ(table.Cell(1, 0), std::nullopt); // d = data row count
    EXPECT_EQ(table.Cell(-1, 0), std::nullopt);
    EXPECT_EQ(table.Cell(0, -1), std::nullopt);
    EXPECT_EQ(table.HeaderCell(2), std::nullopt);
    EXPECT_EQ(CTxtTable().HeaderCell(0), std::nullopt);
    EXPECT_EQ(Parsed("a\tb\r\n").Cell(0, 0), std::nullopt);
    EXPECT_EQ(table.Text(5, 5), "");
    EXPECT_FALSE(table.SetCell(1, 0, "x"));
}

TEST(TxtTable, MoreTextsNeverMoveEarlierOnes) {
    CTxtTable table = Parsed("a\tb\r\n1\t2\r\n");
    ASSERT_TRUE(table.SetCell(0, 0, "changed"));
    ASSERT_TRUE(table.SetCell(0, 0, "changed again"));
    const std::string_view kept = *table.Cell(0, 0);
    for (int i = 0; i < 1000; ++i)
        table.SetCell(0, 1, std::to_string(i));
    EXPECT_EQ(kept, "changed again");
    EXPECT_EQ(table.Serialize(), "a\tb\r\nchanged again\t999\r\n");
}

// The reading rules as plainly as they can be written: lines, then cells, then rows
// of the first line's width.
std::string ReferenceGrid(const std::string& bytes) {
    std::vector<std::vector<std::string>> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t lf = std::min(bytes.find('\n', at), bytes.size());
        std::string line = bytes.substr(at, lf - at);
        if (lf < bytes.size() && !line.empty() && line.back() == '\r')
            line.pop_back();
        lines.emplace_back(1);
        for (char byte : line) {
            if (byte == '\t')
                lines.back().emplace_back();
            else
                lines.back().back() += byte;
        }
        at = lf + 1;
    }
    if (lines.empty() || lines[0] == std::vector<std::string>{""})
        return "";
    const std::size_t columns = lines[0].size();
    std::string grid;
    for (std::size_t l = 0; l < lines.size(); ++l)
        for (std::size_t c = 0; c < lines[l].size() || c % columns; ++c)
            grid += (c % columns ? "|" : l ? "/" : "") + (c < lines[l].size() ? lines[l][c] : "");
    return grid;
}

TEST(TxtTable, ReadsEveryShapeOfInputByTheSameRules) {
    const char alphabet[] = {'a', 'b', '\t', '\r', '\n', '\0', '\xff', ' '};
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    for (int round = 0; round < 3300; ++round) {
        // The last rounds stretch some cells past the longest a length byte holds.
        const bool longCells = round >= 3000;
        std::string bytes;
        const int length = static_cast<int>(next() % 40);
        for (int i = 0; i < length; ++i) {
            const char byte = alphabet[next() % sizeof alphabet];
            bytes.append(longCells && byte == 'a' ? next() % 300 + 1 : 1, byte);
        }
        const CTxtTable table = Parsed(bytes);
        ASSERT_EQ(Grid(table), ReferenceGrid(bytes)) << ::testing::PrintToString(bytes);
        if (table.ColumnCount() > 0) {
            ASSERT_EQ(table.Serialize(), bytes) << ::testing::PrintToString(bytes);
        }
    }
}

TEST(ParseNumber, ReadsTheLeadingNumberLikeScanf) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"  12 points", 12}, {"-2.5e1x", -25},      {"+.5", 0.5},
        {"", std::nullopt},  {"abc", std::nullopt}, {"-", std::nullopt},
    };
    for (const auto& [text, number] : cases) {
        double v = 7; // left alone when nothing is read
        EXPECT_EQ(ParseNumber(text, v), number.has_value()) << text;
        EXPECT_EQ(v, number.value_or(7)) << text;
    }
}

TEST(TableFile, WhatIsNoTableIsRefusedWithItsReasonAndTheTableKept) {
    testing::TempDir dir;
    // A short file declaring 100,000 columns, its lines padded to that width.
    std::string wide;
    for (int c = 0; c < 100000; ++c)
        wide += "c\t";
    wide += "\n" + std::string(100000, '\n');
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"binary", std::string("MZ\tx\0\1\2", 7), "it holds binary data (a zero byte at offset 4)"},
        {"a README", "# Tolmere\nAn editor.\n", "its first line holds no TAB"},
        {"an empty file", "", "its first line holds no TAB"},
        {"too wide for its size", wide, "its 100001 columns and 100001 lines would need about"},
    };
    for (const auto& c : cases) {
        testing::WriteBytes(dir.File("in.txt"), c.bytes);
        CTxtTable table;
        table.Parse("a\tb\r\n1\t2\r\n");
        std::string error;
        EXPECT_FALSE(LoadTableFile(dir.File("in.txt"), table, error)) << c.name;
        EXPECT_EQ(error.rfind(c.reason, 0), 0u) << c.name << ": " << error;
        EXPECT_EQ(table.Serialize(), "a\tb\r\n1\t2\r\n") << c.name;
    }
    CTxtTable table;
    std::string error;
    EXPECT_FALSE(LoadTableFile(dir.File("missing.txt"), table, error));
    EXPECT_EQ(error, "No such file or directory");
    testing::WriteBytes(dir.File("ok.txt"), "a\tb\n1\t2");
    EXPECT_TRUE(LoadTableFile(dir.File("ok.txt"), table, error)) << error;
    EXPECT_EQ(table.Serialize(), "a\tb\n1\t2");
}

} // namespace
} // namespace tolmere
