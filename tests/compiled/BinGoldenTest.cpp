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

// The 1.09 tables are known by their headers and compile to as many records as the
// 1.09b archive's .bin files hold; that archive's .bin files are not at hand to hold
// every byte against, and 1.14d's Properties.txt stands in for the one they link to.
TEST(BinGoldenTest, Classic109TablesCompileToTheShippedSizes) {
    REAL_TABLES_OR_SKIP(real);
    const std::pair<const char*, std::size_t> tables[] = {
        {"UniqueItems", 87556}, {"SetItems", 42628}, {"ItemStatCost", 11848}};
    for (const auto& [name, size] : tables) {
        CTxtTable table;
        ASSERT_TRUE(table.Load(real + "/109b/" + name + ".txt"));
        const BinLayout* layout = FindBinLayout(table);
        ASSERT_NE(layout, nullptr) << name;
        EXPECT_EQ(layout->table + " " + layout->game, std::string(name) + " 1.09");
        CBinLinks links;
        ASSERT_EQ(LoadBinLinks(*layout, real + "/114d", "", links), "");
        std::string compiled;
        ASSERT_EQ(CompileBin(table, *layout, links, compiled), "");
        EXPECT_EQ(compiled.size(), size) << name;
    }
}

} // namespace
} // namespace tolmere
