// SPDX-License-Identifier: MIT
// The game's own compiled tables, compiled again from their .txt: every byte must come
// out as shipped.
#include "compiled/BinInputs.h"
#include "tables/BinFile.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

class BinGoldenTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BinGoldenTest, CompilesTheShippedBytes) {
    REAL_TABLES_OR_SKIP(real);
    const std::string dir = real + "/114d";
    const std::string name = GetParam();
    std::string shipped;
    if (!ReadWholeFile(dir + "/" + name + ".bin", shipped))
        GTEST_SKIP() << dir << "/" << name << ".bin not found";
    CTxtTable table;
    ASSERT_TRUE(table.Load(dir + "/" + name + ".txt"));
    const BinLayout* layout = FindBinLayout(table);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->table, name);
    EXPECT_EQ(layout->game, "1.10+");
    CBinLinks links;
    ASSERT_EQ(LoadBinLinks(*layout, dir, real + "/strings", links), "");
    std::string compiled;
    ASSERT_EQ(CompileBin(table, *layout, links, compiled), "");
    EXPECT_EQ(FirstBinDifference(*layout, shipped, compiled).Describe(), "the files are the same");
    EXPECT_TRUE(compiled == shipped);
}

INSTANTIATE_TEST_SUITE_P(Stock114d, BinGoldenTest,
                         ::testing::Values("UniqueItems", "SetItems", "Sets", "Properties",
                                           "ItemStatCost"));

// The 1.09 tables are known by their headers and compile to whole records of their
// layout; the stock 1.09b archive ships no .bin to hold them against.
TEST(BinGoldenTest, Classic109TablesTakeTheirLayouts) {
    REAL_TABLES_OR_SKIP(real);
    for (const char* name : {"UniqueItems", "SetItems", "ItemStatCost"}) {
        CTxtTable table;
        ASSERT_TRUE(table.Load(real + "/109b/" + name + ".txt"));
        const BinLayout* layout = FindBinLayout(table);
        ASSERT_NE(layout, nullptr) << name;
        EXPECT_EQ(layout->table + " " + layout->game, std::string(name) + " 1.09");
    }
}

} // namespace
} // namespace tolmere
