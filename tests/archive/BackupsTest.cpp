// SPDX-License-Identifier: MIT
// Backups of the patch archive, their folders and rotation, and the clearing up after a
// killed run.
#include "archive/Backups.h"
#include "archive/ArchiveBridge.h"
#include "archive/WorkLock.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/file.h>
#include <unistd.h>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::ListDir;
using testing::ReadBytes;
using testing::WriteBytes;

std::time_t LocalTime(int year, int month, int day, int hour = 12) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST(Backups, RotationKeepsTheNewestCopiesAcrossMonthsYearsAndOneSecond) {
    testing::TempDir dir;
    fs::create_directories(dir.File("game"));
    const std::string archive = dir.File("game/Patch_D2.mpq");
    // Days that sort one way as year-month-day and another as year-day-month, and two
    // copies in one second.
    const std::time_t times[] = {LocalTime(2025, 12, 31), LocalTime(2026, 1, 2),
                                 LocalTime(2026, 2, 1),   LocalTime(2026, 10, 3),
                                 LocalTime(2026, 10, 3),  LocalTime(2026, 11, 30)};
    const std::string folder = GameBackupsDir(dir.File("game"), dir.File("backups"));
    std::vector<std::string> copies;
    for (const std::time_t when : times) {
        const std::string bytes = "archive of " + std::to_string(copies.size());
        WriteBytes(archive, bytes);
        std::string error;
        copies.push_back(
            BackupArchive(archive, dir.File("game"), dir.File("backups"), error, 3, when));
        ASSERT_FALSE(copies.back().empty()) << error;
        EXPECT_EQ(ReadBytes(copies.back()), bytes);
        // After every copy, not only the last: a wrong order can come right again.
        std::set<std::string> kept;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().find("Patch_D2.mpq") != std::string::npos)
                kept.insert(entry.path().string());
        }
        EXPECT_EQ(kept,
                  std::set<std::string>(copies.end() - std::min<std::ptrdiff_t>(3, copies.size()),
                                        copies.end()))
            << ListDir(folder);
    }
    EXPECT_EQ(ReadBytes(folder + "game folder.txt"),
              fs::canonical(dir.File("game")).string() + "\n");
}

TEST(Backups, EveryGameFolderHasItsOwnFolderAndRotationStaysInIt) {
    testing::TempDir dir;
    const std::string root = dir.Path() + "/";
    for (const char* game : {"Diablo II", "Diablo_II", "a_b/c", "a/b_c", "d2", "x/d2"})
        fs::create_directories(root + game);
    fs::create_directory_symlink(root + "d2", root + "link");
    const std::string backups = root + "backups";
    const auto folder = [&](const std::string& game) { return GameBackupsDir(game, backups); };

    const std::pair<std::string, std::string> apart[] = {{root + "Diablo II", root + "Diablo_II"},
                                                         {root + "a_b/c", root + "a/b_c"},
                                                         {root + "d2", root + "x/d2"},
                                                         {"d2", root + "d2"}};
    for (const auto& [one, other] : apart)
        EXPECT_NE(folder(one), folder(other)) << one << " and " << other;
    const std::pair<std::string, std::string> same[] = {
        {root + "d2", root + "d2/"}, {root + "d2", root + "link"}, {root + "d2", root + "x/../d2"}};
    for (const auto& [one, other] : same)
        EXPECT_EQ(folder(one), folder(other)) << one << " and " << other;
    EXPECT_EQ(folder(root + "Diablo II").rfind(backups + "/Diablo_II-", 0), 0u);

    // Five copies of each of two games whose flattened names agree: none of one game's
    // rotation reaches the other's.
    for (int round = 0; round < 6; ++round) {
        for (const char* game : {"a_b/c", "a/b_c"}) {
            WriteBytes(root + game + "/patch_d2.mpq", game);
            std::string error;
            ASSERT_NE(BackupArchive(root + game + "/patch_d2.mpq", root + game, backups, error, 5,
                                    LocalTime(2026, 3, 1 + round)),
                      "")
                << error;
        }
    }
    for (const char* game : {"a_b/c", "a/b_c"})
        EXPECT_EQ(
            std::distance(fs::directory_iterator(folder(root + game)), fs::directory_iterator()),
            6) // five copies and the note
            << ListDir(folder(root + game));
}

TEST(Backups, ACopyThatCannotBeMadeLeavesNothingAndSaysWhy) {
    testing::TempDir dir;
    // Larger than one slice of the copy, and not a multiple of it.
    std::string big(3 * (1 << 20) + 7, 'x');
    for (std::size_t i = 0; i < big.size(); i += 4093)
        big[i] = static_cast<char>(i);
    WriteBytes(dir.File("patch_d2.mpq"), big);
    std::string error;
    const std::string copy =
        BackupArchive(dir.File("patch_d2.mpq"), dir.Path(), dir.File("backups"), error);
    ASSERT_FALSE(copy.empty()) << error;
    EXPECT_TRUE(ReadBytes(copy) == big);

    const std::string folder = GameBackupsDir(dir.Path(), dir.File("backups"));
    const std::string before = ListDir(folder);
    EXPECT_EQ(BackupArchive(dir.File("missing.mpq"), dir.Path(), dir.File("backups"), error), "");
    EXPECT_NE(error.find("missing.mpq"), std::string::npos) << error;
    EXPECT_EQ(ListDir(folder), before);
}

TEST(WorkLock, OnlyTheRunThatFindsNoOtherClearsWhatAKilledRunLeft) {
    testing::TempDir dir;
    const std::string game = dir.File("game") + "/";
    const std::string backups = dir.File("backups");
    const std::string folder = GameBackupsDir(game, backups);
    fs::create_directories(game + "tmp08187262");
    fs::create_directories(folder);
    const char* leftovers[] = {"tmp08187262.tmp", "tmp08187262.tmp2", "tmp08187262.tmp3",
                               "tmp08187262.scs", "tmp08187262/Inv.dc6"};
    const char* kept[] = {"notes.txt", "tmp08187262.txt", "patch_d2.mpq"};
    const char* keptBackups[] = {"2026-01-01-000000_patch_d2.mpq", "notes.tolmere-12",
                                 "x.tolmere-ABCDE!"};
    const auto lay = [&] {
        for (const char* name : leftovers)
            WriteBytes(game + name, "left");
        for (const char* name : kept)
            WriteBytes(game + name, "the user's");
        for (const char* name : keptBackups)
            WriteBytes(folder + name, "kept");
        WriteBytes(folder + "2026-01-01-000000_patch_d2.mpq.tolmere-Ab12Cd", "half");
    };
    const auto gameLeft = [&] {
        int n = 0;
        for (const char* name : leftovers)
            n += fs::exists(game + name) ? 1 : 0;
        return n;
    };
    lay();
    {
        CWorkLock first;
        ASSERT_TRUE(first.TakeAlone(WorkLockPath(game, backups)));
        first.Share();
        // A second run on the same folder, reached by another name, clears nothing.
        CWorkLock second;
        EXPECT_FALSE(second.TakeAlone(WorkLockPath(dir.File("game/../game"), backups)));
        EXPECT_TRUE(second.Held());
    }
    CWorkLock alone;
    ASSERT_TRUE(alone.TakeAlone(WorkLockPath(game, backups)));

    // While the archive tool holds the game folder, its files stay; the backups folder
    // is ours alone and is cleared.
    const int tool = ::open(game.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(tool, LOCK_EX), 0);
    RemoveStaleWorkFiles(game, backups);
    EXPECT_EQ(gameLeft(), 5);
    EXPECT_FALSE(fs::exists(folder + "2026-01-01-000000_patch_d2.mpq.tolmere-Ab12Cd"));
    ::close(tool);

    RemoveStaleWorkFiles(game, backups);
    EXPECT_EQ(gameLeft(), 0) << ListDir(game);
    EXPECT_FALSE(fs::exists(game + "tmp08187262"));
    for (const char* name : kept)
        EXPECT_EQ(ReadBytes(game + name), "the user's") << name;
    for (const char* name : keptBackups)
        EXPECT_TRUE(fs::exists(folder + name)) << name;
}

} // namespace
} // namespace tolmere
