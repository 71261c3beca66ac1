#include "archive/RunTool.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tolmere {
namespace {

using Args = std::vector<std::string>;

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
    EXPECT_TRUE(RunTool(Line("e \"x y\" tmp\\"), gameDir));
    EXPECT_EQ(testing::ReadBytes(gameDir + "ran.txt"),
              dir.File("Program Files") + "\ne|x y|tmp\\|");

    Tool("exit 1");
    EXPECT_FALSE(RunTool(Line("a"), gameDir));
    EXPECT_FALSE(RunTool("\"" + gameDir + "no-such-tool\" e", gameDir));
    EXPECT_FALSE(RunTool(Line("e"), dir.File("no-such-dir")));
}

TEST_F(StandInTool, AToolPastTheTimeLimitIsStoppedAndFails) {
    Tool("sleep 10");
    EXPECT_FALSE(RunTool(Line(""), gameDir, 200));
    Tool("sleep 0.2; exit 0");
    EXPECT_TRUE(RunTool(Line(""), gameDir, 3000));
}

} // namespace
} // namespace tolmere
