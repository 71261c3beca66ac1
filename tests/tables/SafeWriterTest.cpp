// SPDX-License-Identifier: MIT
// Files read and written: the binary file wrapper, and saves that replace a file whole or
// not at all.
#include "tables/SafeWriter.h"
#include "tables/BinFile.h"

#include "support/TempDir.h"
#include "tables/StrTbl.h"
#include "tables/TxtTable.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tolmere {
namespace {

using testing::ListDir;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Runs `save` in a child process whose files may not grow past 4 KB, as on a full
// disk, and returns what it returned.
bool SaveOnAFullDisk(const std::function<bool()>& save) {
    pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            4096, 4096
        };
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(save() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SafeWriter, ASaveThatFailsOnAFullDiskLeavesTheOldFileUntouched) {
    std::string big = "a\tb\r\n";
    for (int i = 0; i < 2000; ++i)
        big += "cell\tvalue\r\n";
    CTxtTable table;
    table.Parse(big);
    CStrTbl strings;
    for (int i = 0; i < 500; ++i)
        strings.Add("key" + std::to_string(i), "a text long enough to fill the disk");
    const std::pair<const char*, std::function<bool(const std::string&)>> saves[] = {
        {"UniqueItems.txt", [&](const std::string& path) { return table.Save(path); }},
        {"patchstring.tbl", [&](const std::string& path) { return strings.Write(path); }},
    };
    for (const auto& [name, save] : saves) {
        TempDir dir;
        const std::string target = dir.File(name);
        WriteBytes(target, "old");
        EXPECT_FALSE(SaveOnAFullDisk([&] { return save(target); })) << name;
        EXPECT_EQ(ReadBytes(target), "old");
        EXPECT_EQ(ListDir(dir.Path()), name) << "no temporary file left behind";
        ASSERT_TRUE(save(target));
    }
    TempDir dir;
    ASSERT_TRUE(table.Save(dir.File("again.txt")));
    EXPECT_EQ(ReadBytes(dir.File("again.txt")), big);
}

TEST(SafeWriter, ReplacesTheFileBehindALinkAndKeepsItsMode) {
    TempDir dir;
    const std::string real = dir.File("real.txt");
    WriteBytes(real, "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(symlink(real.c_str(), dir.File("link.txt").c_str()), 0);

    ASSERT_TRUE(WriteFileSafely(dir.File("link.txt"), "new"));
    EXPECT_EQ(ReadBytes(real), "new");
    struct stat st {};
    ASSERT_EQ(lstat(dir.File("link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SafeWriter, UnwritablePlacesFailWithoutSideEffects) {
    TempDir dir;
    EXPECT_FALSE(WriteFileSafely(dir.File("no/such/dir/file.txt"), "x"));
    EXPECT_FALSE(WriteFileSafely(dir.Path(), "x")); // a directory is not replaced
    {
        // Going out of scope without Commit() leaves nothing behind.
        CSafeWriter abandoned(dir.File("never.txt"));
        ASSERT_TRUE(abandoned.Begin());
        abandoned.Write("partial");
    }
    EXPECT_EQ(ListDir(dir.Path()), "");
}

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

// Reads and seeks never run past the bytes there are, in memory or in a file.
TEST(BinFile, ReadsAndSeeksStayInsideTheBytes) {
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
    MemFileDesc unused;
    EXPECT_FALSE(file.Open(&unused)); // already open
    file.Close(); // releases the owned data and descriptor (the leak checker watches)

    TempDir dir;
    WriteBytes(dir.File("f.bin"), "abc");
    ASSERT_TRUE(file.Open(dir.File("f.bin"), CBinFile::kRead));
    EXPECT_FALSE(file.Open(dir.File("f.bin"), CBinFile::kRead));
    EXPECT_FALSE(file.ReadExact(buffer, 5));
    EXPECT_TRUE(file.AtEnd());
    file.Close();
    EXPECT_FALSE(file.Open(dir.File("missing/f.bin"), CBinFile::kRead));
}

} // namespace
} // namespace tolmere
