#include "tables/BinFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolmere {
namespace {

MemFileDesc* OwnedMemoryFile(const char* name, const std::string& bytes) {
    auto* desc = new MemFileDesc;
    std::strncpy(desc->name, name, sizeof desc->name - 1);
    auto* data = new unsigned char[bytes.size()];
    std::memcpy(data, bytes.data(), bytes.size());
    desc->data = data;
    desc->length = bytes.size();
    desc->owned = true;
    return desc;
}

TEST(BinFile, MemoryFileSeeksAreClampedToItsBytes) {
    CBinFile file;
    ASSERT_TRUE(file.Open(OwnedMemoryFile(".tga", "0123456789")));
    EXPECT_EQ(file.Size(), 10u);
    EXPECT_EQ(file.Seek(-4, CBinFile::kFromEnd), 6);
    char buffer[8] = {};
    EXPECT_TRUE(file.ReadExact(buffer, 4));
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.Seek(-100, CBinFile::kFromCurrent), 0);
    EXPECT_EQ(file.Seek(100, CBinFile::kFromStart), 10);
    EXPECT_FALSE(file.ReadExact(buffer, 1));
    // Closing releases the owned data and descriptor (the leak checker watches).
}

TEST(BinFile, ShortReadsAndDoubleOpens) {
    testing::TempDir dir;
    testing::WriteBytes(dir.File("f.bin"), "abc");
    CBinFile file;
    ASSERT_TRUE(file.Open(dir.File("f.bin"), CBinFile::kRead));
    EXPECT_FALSE(file.Open(dir.File("f.bin"), CBinFile::kRead));
    MemFileDesc unused;
    EXPECT_FALSE(file.Open(&unused));
    char buffer[8];
    EXPECT_FALSE(file.ReadExact(buffer, 5));
    EXPECT_TRUE(file.AtEnd());
    EXPECT_FALSE(file.Write("x", 1)); // opened for reading

    file.Close();
    ASSERT_TRUE(file.Open(dir.File("f.bin"), CBinFile::kCreate));
    EXPECT_TRUE(file.Write("xy", 2));
    file.Close();
    EXPECT_EQ(testing::ReadBytes(dir.File("f.bin")), "xy");
    EXPECT_FALSE(file.Open(dir.File("missing/f.bin"), CBinFile::kRead));
}

} // namespace
} // namespace tolmere
