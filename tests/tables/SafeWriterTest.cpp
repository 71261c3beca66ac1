#include "tables/SafeWriter.h"

#include "support/TempDir.h"
#include "tables/StrTbl.h"
#include "tables/TxtTable.h"

#include <gtest/gtest.h>

#include <csignal>
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

TEST(SafeWriter, AFailedTableSaveLeavesTheOldFileUntouched) {
    TempDir dir;
    const std::string target = dir.File("UniqueItems.txt");
    WriteBytes(target, "old contents\r\n");
    std::string big = "a\tb\r\n";
    for (int i = 0; i < 2000; ++i)
        big += "cell\tvalue\r\n";
    CTxtTable table;
    table.Parse(big.data(), big.size());

    EXPECT_FALSE(SaveOnAFullDisk([&] { return table.Save(target); }));
    EXPECT_EQ(ReadBytes(target), "old contents\r\n");
    EXPECT_EQ(ListDir(dir.Path()), "UniqueItems.txt"); // no temporary file left behind

    ASSERT_TRUE(table.Save(target));
    EXPECT_EQ(ReadBytes(target), big);
}

TEST(SafeWriter, AFailedStringTableWriteLeavesTheOldFileUntouched) {
    TempDir dir;
    const std::string target = dir.File("patchstring.tbl");
    WriteBytes(target, "old");
    CStrTbl strings;
    for (int i = 0; i < 500; ++i)
        strings.Add("key" + std::to_string(i), "a text long enough to fill the disk");
    EXPECT_FALSE(SaveOnAFullDisk([&] { return strings.Write(target); }));
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(ListDir(dir.Path()), "patchstring.tbl");
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
    EXPECT_EQ(ListDir(dir.Path()), "");

    CSafeWriter abandoned(dir.File("never.txt"));
    ASSERT_TRUE(abandoned.Begin());
    abandoned.Write("partial");
    // Going out of scope without Commit() must leave nothing behind.
}

} // namespace
} // namespace tolmere
