#include "app/SpawnOn.h"

#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace tolmere {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

const char kAsk[] = "Confirmation: Sure?";
const char kAskStrings[] = "Confirmation: Apply the patchstring.tbl too?";
const char kFromBase[] = "Confirmation: UniqueItems.txt was loaded from d2data.mpq, the game's "
                         "own table, not from patch_d2.mpq. Write it into patch_d2.mpq?";

TEST(SpawnOn, AsksWritesAllOrNothingAndSaysWhat) {
    const struct {
        const char* name;
        std::deque<int> answers;
        bool toolFails = false;
        bool emptyTable = false;
        bool fromBase = false;
        bool stringsNotLoaded = false;
        Lines shown;
        const char* status;
    } cases[] = {
        {"No", {kGuideNo}, false, false, false, false, {kAsk}, ""},
        {"table only",
         {kGuideYes, kGuideNo},
         false,
         false,
         false,
         false,
         {kAsk, kAskStrings},
         "UniqueItems.txt written into patch_d2.mpq"},
        {"both",
         {kGuideYes, kGuideYes},
         false,
         false,
         false,
         false,
         {kAsk, kAskStrings},
         "UniqueItems.txt and patchstring.tbl (ENG) written into patch_d2.mpq"},
        {"the tool fails: the names are not offered",
         {kGuideYes, kGuideYes},
         true,
         false,
         false,
         false,
         {kAsk, "Guide: Failed in UniqueItems.txt\nmpq2k: no space left"},
         "Nothing written into patch_d2.mpq; UniqueItems.txt failed: mpq2k: no space left"},
        {"the upload cannot be saved",
         {kGuideYes},
         false,
         true,
         false,
         false,
         {kAsk, "Guide: Failed in UniqueItems.txt\ncannot write "},
         "Nothing written into patch_d2.mpq; UniqueItems.txt failed: cannot write "},
        {"the game's own table, declined",
         {kGuideYes, kGuideNo},
         false,
         false,
         true,
         false,
         {kAsk, kFromBase},
         ""},
        {"the game's own table, accepted",
         {kGuideYes, kGuideYes, kGuideNo},
         false,
         false,
         true,
         false,
         {kAsk, kFromBase, kAskStrings},
         "UniqueItems.txt written into patch_d2.mpq"},
        {"names that did not load are not written",
         {kGuideYes},
         false,
         false,
         false,
         true,
         {kAsk},
         "UniqueItems.txt written into patch_d2.mpq; patchstring.tbl (ENG) was not written: "
         "it did not load"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const std::string gameDir = dir.Path() + "/";
        testing::WriteBytes(gameDir + "mpq2k",
                            "#!/bin/sh\n[ -f fail ] && { echo 'mpq2k: no space left' >&2; exit 1; }"
                            "\necho \"$*\" >> calls.log\nexit 0\n");
        chmod((gameDir + "mpq2k").c_str(), 0755);
        if (c.toolFails)
            testing::WriteBytes(gameDir + "fail", "");
        testing::GuideScope guide;
        guide->answers = c.answers;
        CStringTables strings;
        strings.Patch().Add("Item", "Name");
        if (c.stringsNotLoaded)
            strings.SetPatchProblem("damaged");
        const CTxtTable table = c.emptyTable ? CTxtTable{} : testing::TableOf(1, {{"Item"}});
        SpawnOnRequest request;
        request.tables.push_back({&table, "UniqueItems.txt", c.fromBase ? "d2data.mpq" : ""});
        request.strings = &strings;
        request.language = "ENG";
        request.question = "Sure?";
        BackupSession backup{false, dir.File("backups")};
        const SpawnOnResult result = RunSpawnOn(CArchiveBridge(gameDir), request, backup);
        ASSERT_EQ(guide->shown.size(), c.shown.size());
        for (std::size_t i = 0; i < c.shown.size(); ++i)
            EXPECT_EQ(guide->shown[i].rfind(c.shown[i], 0), 0u) << guide->shown[i];
        EXPECT_EQ(result.status.rfind(c.status, 0), 0u) << result.status;
        EXPECT_EQ(result.tablesWritten, std::string(c.status).rfind("UniqueItems.txt", 0) == 0);
        // Nothing of ours is left in the game folder, whichever way it went.
        for (const auto& entry : fs::directory_iterator(gameDir)) {
            const std::string name = entry.path().filename();
            EXPECT_TRUE(name == "mpq2k" || name == "fail" || name == "calls.log" ||
                        name == "backups")
                << name;
        }
    }
}

TEST(SpawnOn, KeepsACopyOfTheArchiveBeforeTheRunsFirstWrite) {
    testing::TempDir dir;
    const std::string gameDir = dir.Path() + "/";
    testing::WriteBytes(gameDir + "mpq2k", "#!/bin/sh\necho changed > Patch_D2.mpq\n");
    chmod((gameDir + "mpq2k").c_str(), 0755);
    testing::WriteBytes(gameDir + "Patch_D2.mpq", "the mod's archive");
    testing::GuideScope guide;
    CStringTables strings;
    const CTxtTable table = testing::TableOf(1, {{"Item"}});
    SpawnOnRequest request{{{&table, "UniqueItems.txt", ""}}, &strings, "ENG", "Sure?"};
    BackupSession backup{false, dir.File("backups")};

    guide->answers = {kGuideYes, kGuideNo};
    SpawnOnResult result = RunSpawnOn(CArchiveBridge(gameDir), request, backup);
    ASSERT_NE(result.status.find("the archive as it was is kept in "), std::string::npos);
    const std::string copy = result.status.substr(result.status.find("kept in ") + 8);
    EXPECT_EQ(testing::ReadBytes(copy), "the mod's archive");
    EXPECT_EQ(copy.substr(0, dir.File("backups").size()), dir.File("backups"));
    // Once a run: the second write keeps no second copy.
    guide->answers = {kGuideYes, kGuideNo};
    result = RunSpawnOn(CArchiveBridge(gameDir), request, backup);
    EXPECT_EQ(result.status.find("kept in"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("backups")), fs::directory_iterator()),
              1);

    // No place for a copy: asked, and No writes nothing.
    testing::WriteBytes(dir.File("blocked"), "");
    BackupSession blocked{false, dir.File("blocked") + "/backups"};
    guide->shown.clear();
    guide->answers = {kGuideYes, kGuideNo};
    result = RunSpawnOn(CArchiveBridge(gameDir), request, blocked);
    EXPECT_FALSE(result.tablesWritten);
    ASSERT_EQ(guide->shown.size(), 2u);
    EXPECT_EQ(guide->shown[1].rfind("Confirmation: No copy of patch_d2.mpq could be kept", 0), 0u);
}

} // namespace
} // namespace tolmere
