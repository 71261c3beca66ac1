// Finding the game through Wine's registry, and running its archive tool.
#include "archive/GameDir.h"
#include "archive/RunTool.h"
#include "archive/WineRegistry.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace tolmere {
namespace {

using Args = std::vector<std::string>;
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

TEST(SplitCommandLine, FollowsTheWindowsRules) {
    EXPECT_EQ(
        SplitCommandLine(
            "\"C:\\Game Dir\\mpq2k\" e patch_d2.mpq data\\GLOBAL\\x.txt tmp08187262\\"),
        (Args{"C:\\Game Dir\\mpq2k", "e", "patch_d2.mpq", "data\\GLOBAL\\x.txt", "tmp08187262\\"}));
    EXPECT_EQ(SplitCommandLine("prog  \"a b\"\tc\\\\\"d e\" f\\\"g"),
              (Args{"prog", "a b", "c\\d e", "f\"g"}));
    EXPECT_EQ(SplitCommandLine("p \"\" x\"\"\"y\"  "), (Args{"p", "", "x\"y"}));
    EXPECT_EQ(SplitCommandLine("\"/odd\\path/\"tool arg"), (Args{"/odd\\path/tool", "arg"}));
}

// A stand-in tool: a shell script in a game directory whose path holds a space.
class StandInTool : public ::testing::Test {
protected:
    void Tool(const std::string& body) {
        testing::WriteBytes(tool, "#!/bin/sh\n" + body + "\n");
        chmod(tool.c_str(), 0755);
    }
    std::string Line(const std::string& args) { return "\"" + tool + "\" " + args; }

    testing::TempDir dir;
    std::string gameDir = [this] {
        std::string path = dir.File("Program Files");
        mkdir(path.c_str(), 0755);
        return path + "/";
    }();
    std::string tool = gameDir + "mpq2k";
};

TEST_F(StandInTool, ExitCodeZeroIsSuccessAndRunsInTheGameDirectory) {
    Tool("pwd > ran.txt; printf '%s|' \"$@\" >> ran.txt; exit 0");
    EXPECT_TRUE(RunTool(Line("e \"x y\" tmp\\"), gameDir).Ok());
    EXPECT_EQ(testing::ReadBytes(gameDir + "ran.txt"),
              dir.File("Program Files") + "\ne|x y|tmp\\|");
}

TEST_F(StandInTool, AFailureSaysWhyInTheToolsOwnWords) {
    const struct {
        const char* body;
        const char* workingDir; // under the temporary folder; "" for the game directory
        int timeLimitMs;
        int exitCode;
        const char* reason;
    } cases[] = {
        {"echo 'first' >&2; echo 'mpq2k: x.mpq: not found' >&2; exit 3", "", 4000, 3,
         "mpq2k: x.mpq: not found"},
        {"exit 1", "", 4000, 1, "the archive tool ended with exit code 1"},
        {"exit 0", "no-such-dir", 4000, 127, "the archive tool could not be started"},
        {"sleep 10", "", 200, -1, "the archive tool was still running after 0 s and was stopped"},
        // Much more than a pipe holds is no reason to hang: the last line is kept.
        {"i=0; while [ $i -lt 3000 ]; do echo 'noise noise noise noise' >&2; i=$((i+1)); done;"
         "echo last >&2; exit 1",
         "", 4000, 1, "last"},
    };
    for (const auto& c : cases) {
        Tool(c.body);
        const ToolRun run =
            RunTool(Line("e"), *c.workingDir ? dir.File(c.workingDir) : gameDir, c.timeLimitMs);
        EXPECT_FALSE(run.Ok()) << c.body;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.body;
        EXPECT_EQ(run.Reason(), c.reason) << c.body;
    }
    EXPECT_EQ(RunTool("\"" + gameDir + "no-such-tool\" e", gameDir).Reason(),
              "the archive tool could not be started");
    Tool("sleep 0.2; exit 0");
    EXPECT_TRUE(RunTool(Line(""), gameDir, 3000).Ok());
}

} // namespace
} // namespace tolmere
