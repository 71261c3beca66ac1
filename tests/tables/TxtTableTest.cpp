#include "tables/TxtTable.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
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

// Every cell of every row, header first, as written out.
std::vector<std::string> Rows(const CTxtTable& table) {
    std::vector<std::string> rows;
    for (std::int32_t r = 0; r < table.RowCount(); ++r) {
        std::string row;
        for (std::int32_t c = 0; c < table.ColumnCount(); ++c) {
            auto cell = r == 0 ? table.HeaderCell(c) : table.Cell(r - 1, c);
            row += (c ? "|" : "") + (cell ? std::string(*cell) : std::string("<none>"));
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(TxtTable, WellFormedFilesRoundTripByteForByte) {
    TempDir dir;
    const std::string bytes = "a\tb\r\n1\t2\r\n";
    WriteBytes(dir.File("in.txt"), bytes);
    CTxtTable table;
    ASSERT_TRUE(table.Load(dir.File("in.txt")));
    EXPECT_EQ(table.ColumnCount(), 2);
    EXPECT_EQ(table.RowCount(), 2);
    ASSERT_TRUE(table.Save(dir.File("out.txt")));
    EXPECT_EQ(ReadBytes(dir.File("out.txt")), bytes);

    // Quotes, spaces, high bytes and empty cells are plain text.
    const std::string rich = "name\t\"quoted\"\t x \r\n\xff\xe9t\xe9\t\t \r\n";
    EXPECT_EQ(Parsed(rich).Serialize(), rich);
}

TEST(TxtTable, LinesAreShapedIntoRowsOfTheHeaderWidth) {
    // Short line padded; a long line flows into the next row, padded at its end.
    EXPECT_EQ(Rows(Parsed("a\tb\tc\r\n1\r\n")), (std::vector<std::string>{"a|b|c", "1||"}));
    EXPECT_EQ(Rows(Parsed("a\tb\tc\r\n1\t2\t3\t4\t5\r\n")),
              (std::vector<std::string>{"a|b|c", "1|2|3", "4|5|"}));
    // An empty line among the data is a row of empty cells.
    EXPECT_EQ(Rows(Parsed("a\tb\r\n1\t2\r\n\r\n3\t4\r\n")),
              (std::vector<std::string>{"a|b", "1|2", "|", "3|4"}));
    // A trailing TAB in the header names one more, empty column.
    EXPECT_EQ(Rows(Parsed("a\tb\t\r\n1\t2\t3\r\n")), (std::vector<std::string>{"a|b|", "1|2|3"}));
    // In a data row an LF not following a terminator only separates cells.
    EXPECT_EQ(Rows(Parsed("h1\th2\th3\th4\r\na\tb\nc\td\r\n")),
              (std::vector<std::string>{"h1|h2|h3|h4", "a|b|c|d"}));
    // Any byte of 13 or less ends a cell.
    EXPECT_EQ(Rows(Parsed(std::string("a\tb\r\nx\0y\r\n", 11))),
              (std::vector<std::string>{"a|b", "x|y"}));
}

TEST(TxtTable, EmptyLastLineBecomesARowOfTabs) {
    CTxtTable table = Parsed("a\tb\r\n1\t2\r\n\r\n");
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Serialize(), "a\tb\r\n1\t2\r\n\t\r\n");
}

TEST(TxtTable, CellLookupStaysInsideTheTable) {
    CTxtTable headerOnly = Parsed("a\tb\r\n");
    EXPECT_EQ(headerOnly.RowCount(), 1);
    EXPECT_EQ(headerOnly.DataRowCount(), 0);
    EXPECT_EQ(headerOnly.Cell(0, 0), std::nullopt);

    CTxtTable table = Parsed("a\tb\r\n1\t2\r\n");
    EXPECT_EQ(*table.Cell(0, 1), "2");
    EXPECT_EQ(table.Cell(0, 2), std::nullopt); // c = column count
    EXPECT_EQ(table.Cell(1, 0), std::nullopt); // d = data row count
    EXPECT_EQ(table.Cell(-1, 0), std::nullopt);
    EXPECT_EQ(table.Cell(0, -1), std::nullopt);
    EXPECT_EQ(table.HeaderCell(2), std::nullopt);
    EXPECT_EQ(CTxtTable().HeaderCell(0), std::nullopt);
    EXPECT_EQ(table.Text(5, 5), "");
    EXPECT_FALSE(table.SetCell(1, 0, "x"));
}

TEST(TxtTable, SetTextsAreWrittenAndUntouchedCellsKeepTheirBytes) {
    CTxtTable table = Parsed("a\tb\r\n1\t2\r\n\xff\t\r\n");
    ASSERT_TRUE(table.SetCell(0, 0, "changed"));
    ASSERT_TRUE(table.SetCell(0, 0, "changed again"));
    std::string_view kept = *table.Cell(0, 0);
    for (int i = 0; i < 1000; ++i) // many more texts must not move earlier ones
        table.SetCell(1, 1, std::to_string(i));
    EXPECT_EQ(kept, "changed again");
    table.AddRow();
    table.SetCell(2, 1, std::string(70000, 'z'));
    EXPECT_EQ(table.Serialize(),
              "a\tb\r\nchanged again\t2\r\n\xff\t999\r\n\t" + std::string(70000, 'z') + "\r\n");
}

TEST(TxtTable, AddRowAppendsEmptyCells) {
    CTxtTable table = Parsed("a\tb\tc\r\n1\t2\t3\r\n");
    table.AddRow();
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.CellCount(), 9);
    EXPECT_EQ(*table.Cell(1, 2), "");
    EXPECT_EQ(table.Serialize(), "a\tb\tc\r\n1\t2\t3\r\n\t\t\r\n");
}

TEST(TxtTable, FailedLoadKeepsTheOldContents) {
    TempDir dir;
    CTxtTable table = Parsed("a\tb\r\n1\t2\r\n");
    EXPECT_FALSE(table.Load(dir.File("missing.txt")));
    EXPECT_FALSE(table.Load(dir.Path())); // a directory is no table either
    EXPECT_EQ(table.Serialize(), "a\tb\r\n1\t2\r\n");
}

TEST(TxtTable, SaveOfAnEmptyTableCreatesNoFile) {
    TempDir dir;
    EXPECT_FALSE(CTxtTable().Save(dir.File("out.txt")));
    EXPECT_FALSE(testing::FileExists(dir.File("out.txt")));
    CTxtTable cleared = Parsed("a\r\n1\r\n");
    cleared.Clear();
    EXPECT_FALSE(cleared.Save(dir.File("out.txt")));
    EXPECT_EQ(testing::ListDir(dir.Path()), "");
}

TEST(TxtTable, MalformedFilesLoadWithoutLeavingTheirBytes) {
    // Nothing to name a column: an empty table.
    EXPECT_EQ(Parsed("").RowCount(), 0);
    EXPECT_EQ(Parsed("\n1\t2\r\n").ColumnCount(), 0);
    EXPECT_EQ(Parsed("\n").CellCount(), 0);
    // A header without any line feed is a header row alone.
    EXPECT_EQ(Rows(Parsed("a\tb\tc")), (std::vector<std::string>{"a|b|c"}));
    // A last line without its line end keeps its last cell, one byte long or more.
    EXPECT_EQ(Rows(Parsed("a\tb\r\n1\t2")), (std::vector<std::string>{"a|b", "1|2"}));
    EXPECT_EQ(Rows(Parsed("a\tb\r\n1\t23")), (std::vector<std::string>{"a|b", "1|23"}));
    EXPECT_EQ(Rows(Parsed("a\tb\tc\r\n1\t")), (std::vector<std::string>{"a|b|c", "1||"}));
    EXPECT_EQ(Rows(Parsed("a\tb\tc\r\n1\t\t")), (std::vector<std::string>{"a|b|c", "1||"}));
    // LF-only line ends: data lines still fill rows cell by cell.
    EXPECT_EQ(Rows(Parsed("a\tb\r\n1\t2\n3\t4\n")),
              (std::vector<std::string>{"a|b", "1|2", "3|4"}));
    // Only an LF where a cell would start ends the header, so an LF-only header
    // runs on; nothing is lost and every cell is part of a row.
    CTxtTable lfOnly = Parsed("a\tb\n1\t2\n");
    EXPECT_EQ(lfOnly.CellCount(), lfOnly.RowCount() * lfOnly.ColumnCount());
    EXPECT_EQ(Rows(lfOnly), (std::vector<std::string>{"a|b|1|2"}));
}

TEST(TxtTable, CellsLongerThanAnyWorkBufferAreKeptWhole) {
    const std::string huge(100000, 'x');
    const std::string bytes = "name\tvalue\r\n" + huge + "\t" + huge + "y\r\n";
    CTxtTable table = Parsed(bytes);
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Cell(0, 1)->size(), huge.size() + 1);
    EXPECT_EQ(table.Serialize(), bytes);
}

// The reading rules, one byte at a time, as plainly as they can be written.
std::vector<std::string> ReferenceCells(const std::string& bytes, std::size_t& columns) {
    std::vector<std::string> cells;
    std::size_t pos = 0;
    const std::size_t end = bytes.size();
    auto cut = [&] {
        std::string cell;
        while (pos<end&& static_cast<unsigned char>(bytes[pos])> 13)
            cell += bytes[pos++];
        if (pos < end)
            ++pos;
        cells.push_back(cell);
    };
    bool headerEnded = false;
    while (pos < end && !headerEnded) {
        if (bytes[pos] == '\n') {
            ++pos;
            headerEnded = true;
        } else {
            cut();
        }
    }
    columns = cells.size();
    if (columns == 0)
        return {};
    while (headerEnded &&
           (pos + 1 < end || (pos + 1 == end && static_cast<unsigned char>(bytes[pos]) > 13))) {
        cut();
        if (pos < end && bytes[pos] == '\n') {
            ++pos;
            while (cells.size() % columns)
                cells.emplace_back();
        }
    }
    while (cells.size() % columns)
        cells.emplace_back();
    return cells;
}

TEST(TxtTable, ReadsEveryShapeOfInputByTheSameRules) {
    // Short random inputs over the bytes that matter, across the scanner's blocks.
    const char alphabet[] = {'a', 'b', '\t', '\r', '\n', '\0', '\xff', ' '};
    unsigned seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int length = static_cast<int>((seed = seed * 1103515245 + 12345) >> 16) % 70;
        for (int i = 0; i < length; ++i)
            bytes += alphabet[((seed = seed * 1103515245 + 12345) >> 16) % sizeof alphabet];
        std::size_t columns = 0;
        const std::vector<std::string> expected = ReferenceCells(bytes, columns);
        CTxtTable table = Parsed(bytes);
        ASSERT_EQ(static_cast<std::size_t>(table.ColumnCount()), columns)
            << ::testing::PrintToString(bytes);
        std::vector<std::string> got;
        for (std::int32_t r = 0; r < table.RowCount(); ++r)
            for (std::int32_t c = 0; c < table.ColumnCount(); ++c)
                got.emplace_back(r == 0 ? *table.HeaderCell(c) : *table.Cell(r - 1, c));
        ASSERT_EQ(got, expected) << ::testing::PrintToString(bytes);
    }
}

TEST(ParseNumber, ReadsTheLeadingNumberLikeScanf) {
    double v = -1;
    EXPECT_TRUE(ParseNumber("  12 points", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseNumber("-2.5e1x", v));
    EXPECT_EQ(v, -25);
    EXPECT_TRUE(ParseNumber("+.5", v));
    EXPECT_EQ(v, 0.5);
    v = 7;
    EXPECT_FALSE(ParseNumber("", v));
    EXPECT_FALSE(ParseNumber("abc", v));
    EXPECT_FALSE(ParseNumber("-", v));
    EXPECT_EQ(v, 7);
}

} // namespace
} // namespace tolmere
