#include "tables/TableFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

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
