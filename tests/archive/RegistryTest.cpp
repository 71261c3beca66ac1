#include "archive/GameDir.h"
#include "archive/WineRegistry.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tolmere {
namespace {

using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

const char kHeader[] =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n";

TEST(WineRegistry, ReadsKeysAndValuesWithTheirEscapes) {
    CWineRegistryFile reg;
    reg.Parse(std::string(kHeader) +
              "[Software\\\\Blizzard Entertainment\\\\Diablo II] 1700000000\r\n"
              "#time=1d9a0b0c0d0e0f0\r\n"
              "\"InstallPath\"=\"C:\\\\Games\\\\D\\x00e9mo \\\"2\\\"\"\r\n"
              "\"Wide\"=hex(2):43,00,3a,00,5c,00,\\\r\n  58,00,00,00\r\n"
              "\"Count\"=dword:00000001\r\n"
              "@=\"default\"\r\n");
    EXPECT_TRUE(reg.HasKey("SOFTWARE\\Blizzard Entertainment\\Diablo II"));
    EXPECT_EQ(reg.Value("software\\blizzard entertainment\\diablo ii", "installpath"),
              "C:\\Games\\D\xc3\xa9mo \"2\"");
    EXPECT_EQ(reg.Value("Software\\Blizzard Entertainment\\Diablo II", "Wide"), "C:\\X");
    EXPECT_EQ(reg.Value("Software\\Blizzard Entertainment\\Diablo II", "Count"), "dword:00000001");
    EXPECT_EQ(reg.Value("Software\\Blizzard Entertainment\\Diablo II", ""), "default");
    EXPECT_EQ(reg.Value("Software\\Blizzard Entertainment\\Diablo II", "Missing"), std::nullopt);
    EXPECT_EQ(reg.Value("Software\\Other", "InstallPath"), std::nullopt);
}

class GameDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(prefix + "/drive_c/Program Files/Diablo II");
        fs::create_directories(prefix + "/dosdevices");
        fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    }
    void Registry(const std::string& file, const std::string& key, const std::string& values) {
        WriteBytes(prefix + "/" + file,
                   std::string(kHeader) + "[" + key + "] 1700000000\n" + values + "\n");
    }

    TempDir dir;
    std::string prefix = dir.Path() + "/prefix";
    const std::string gameKey = "Software\\\\Blizzard Entertainment\\\\Diablo II";
    const std::string installPath = "\"InstallPath\"=\"C:\\\\Program Files\\\\Diablo II\"";
};

TEST_F(GameDirTest, LocalMachineValueMapsThroughTheDriveLetter) {
    Registry("system.reg", gameKey, installPath);
    EXPECT_EQ(DetectGameDir({prefix}), prefix + "/dosdevices/c:/Program Files/Diablo II/");
}

TEST_F(GameDirTest, CurrentUserServesOnlyWhenTheMachineKeyLacksTheValue) {
    Registry("user.reg", gameKey, installPath);
    Registry("system.reg", gameKey, "\"Other\"=\"x\"");
    EXPECT_EQ(DetectGameDir({prefix}), prefix + "/dosdevices/c:/Program Files/Diablo II/");

    Registry("system.reg", "Software\\\\Something Else", "\"Other\"=\"x\"");
    EXPECT_EQ(DetectGameDir({prefix}), std::nullopt);
    fs::remove(prefix + "/system.reg");
    EXPECT_EQ(DetectGameDir({prefix}), std::nullopt);
}

TEST_F(GameDirTest, ThirtyTwoBitViewAndLinuxPathsAndCase) {
    Registry("system.reg", "Software\\\\Wow6432Node\\\\Blizzard Entertainment\\\\Diablo II",
             "\"InstallPath\"=\"c:\\\\PROGRAM FILES\\\\diablo ii\\\\\"");
    EXPECT_EQ(DetectGameDir({prefix}), prefix + "/dosdevices/c:/Program Files/Diablo II/");

    Registry("system.reg", gameKey, "\"InstallPath\"=\"/opt/games/d2\"");
    EXPECT_EQ(DetectGameDir({prefix}), "/opt/games/d2/");
}

TEST(GameDir, MapWindowsPathKeepsUnknownComponents) {
    EXPECT_EQ(MapWindowsPath("/p", "D:\\Games\\D2"), "/p/dosdevices/d:/Games/D2");
    EXPECT_EQ(MapWindowsPath("/p", "/already/linux"), "/already/linux");
}

} // namespace
} // namespace tolmere
