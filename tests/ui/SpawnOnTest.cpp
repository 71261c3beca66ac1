// SPDX-License-Identifier: MIT
#include "app/SpawnOn.h"
#include "archive/Backups.h"

#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::ListDir;
using testing::ReadBytes;
using testing::WriteBytes;

// A game folder whose stand-in tool runs `tool`.
struct Game {
    explicit Game(const std::string& tool) {
        WriteBytes(dir.File("mpq2k"), "#!/bin/sh\n" + tool + "\n");
        fs::permissions(dir.File("mpq2k"), fs::perms::owner_all);
    }
    SpawnOnResult Run(const CTxtTable& table, const std::string& loadedFrom,
                      const CStringTables& strings, BackupSession& backup) {
        const SpawnOnRequest request{
            {{&table, "UniqueItems.txt", loadedFrom}}, &strings, "ENG", "Sure?"};
        return RunSpawnOn(CArchiveBridge(dir.Path() + "/"), request, backup);
    }
    testing::TempDir dir;
    testing::GuideScope guide;
};

// The start of each message after the first question, written "a|b": "names?" stands
// for the question about the string table, "own?" for the one about the game's table.
std::vector<std::string> Expected(const std::string& joined) {
    std::vector<std::string> shown{"Confirmation: Sure?"};
    std::istringstream in(joined);
    for (std::string part; std::getline(in, part, '|');)
        shown.push_back(part == "names?" ? "Confirmation: Apply the patchstring.tbl too?"
                        : part == "own?"
                            ? "Confirmation: UniqueItems.txt was loaded from d2data.mpq, the "
                              "game's own table, not from patch_d2.mpq. Write it into "
                              "patch_d2.mpq?"
                            : part);
    return shown;
}

TEST(SpawnOn, AsksWritesAllOrNothingAndSaysWhat) {
    const struct {
        const char* answers; // Y and N, as asked
        const char* setup;   // f: the tool fails, e: an empty table, b: the game's own
                             // table, s: the names did not load
        const char* shown;
        const char* status;
    } cases[] = {
        {"N", "", "", ""},
        {"YN", "", "names?", "UniqueItems.txt written into patch_d2.mpq"},
        {"YY", "", "names?", "UniqueItems.txt and patchstring.tbl (ENG) written into patch_d2.mpq"},
        // The tool fails: the names are not offered.
        {"YY", "f", "Guide: Failed in UniqueItems.txt\nmpq2k: no space left",
         "Nothing written into patch_d2.mpq; UniqueItems.txt failed: mpq2k: no space left"},
        {"Y", "e", "Guide: Failed in UniqueItems.txt\ncannot write ",
         "Nothing written into patch_d2.mpq; UniqueItems.txt failed: cannot write "},
        {"YN", "b", "own?", ""},
        {"YYN", "b", "own?|names?", "UniqueItems.txt written into patch_d2.mpq"},
        {"Y", "s", "",
         "UniqueItems.txt written into patch_d2.mpq; patchstring.tbl (ENG) was not written: "
         "it did not load"},
    };
    for (const auto& c : cases) {
        const std::string setup = c.setup;
        SCOPED_TRACE(std::string(c.answers) + " " + setup);
        Game game("[ -f fail ] && { echo 'mpq2k: no space left' >&2; exit 1; }\n"
                  "echo \"$*\" >> calls.log\nexit 0");
        if (setup == "f")
            WriteBytes(game.dir.File("fail"), "");
        for (const char* answer = c.answers; *answer; ++answer)
            game.guide->answers.push_back(*answer == 'Y' ? kGuideYes : kGuideNo);
        CStringTables strings;
        strings.Patch().Add("Item", "Name");
        if (setup == "s")
            strings.SetPatchProblem("damaged");
        const CTxtTable table = setup == "e" ? CTxtTable{} : testing::TableOf(1, {{"Item"}});
        BackupSession backup{false, game.dir.File("backups")};
        const SpawnOnResult result =
            game.Run(table, setup == "b" ? "d2data.mpq" : "", strings, backup);
        const std::vector<std::string> expected = Expected(c.shown);
        ASSERT_EQ(game.guide->shown.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(game.guide->shown[i].rfind(expected[i], 0), 0u) << game.guide->shown[i];
        EXPECT_EQ(result.status.rfind(c.status, 0), 0u) << result.status;
        EXPECT_EQ(result.tablesWritten, std::string(c.status).rfind("UniqueItems.txt", 0) == 0);
        // Nothing of ours is left in the game folder, whichever way it went.
        for (const auto& entry : fs::directory_iterator(game.dir.Path())) {
            const std::string name = entry.path().filename();
            EXPECT_TRUE(name == "mpq2k" || name == "fail" || name == "calls.log") << name;
        }
    }
}

TEST(SpawnOn, WritesSeveralTablesInOneRunOfTheToolSoAllOrNoneGoIn) {
    for (const bool fails : {false, true}) {
        Game game(
            "echo \"$*\" >> calls.log\n[ -f fail ] && { echo 'mpq2k: disk full' >&2; exit 1; }\n"
            "exit 0");
        if (fails)
            WriteBytes(game.dir.File("fail"), "");
        CStringTables strings;
        const CTxtTable items = testing::TableOf(1, {{"Item"}});
        const CTxtTable sets = testing::TableOf(1, {{"Set"}});
        BackupSession backup{false, game.dir.File("backups")};
        game.guide->answers = {kGuideYes, kGuideNo};
        const SpawnOnResult result = RunSpawnOn(
            CArchiveBridge(game.dir.Path() + "/"),
            {{{&items, "SetItems.txt", ""}, {&sets, "Sets.txt", ""}}, &strings, "ENG", "Sure?"},
            backup);
        EXPECT_EQ(ReadBytes(game.dir.File("calls.log")),
                  "a patch_d2.mpq tmp08187262.tmp data\\GLOBAL\\Excel\\SetItems.txt "
                  "tmp08187262.tmp3 data\\GLOBAL\\Excel\\Sets.txt\n");
        EXPECT_EQ(result.tablesWritten, !fails);
        EXPECT_EQ(result.status, fails ? "Nothing written into patch_d2.mpq; SetItems.txt and "
                                         "Sets.txt failed: mpq2k: disk full"
                                       : "SetItems.txt and Sets.txt written into patch_d2.mpq");
        EXPECT_FALSE(fs::exists(game.dir.File("tmp08187262.tmp3")));
    }
}

TEST(SpawnOn, KeepsACopyOfTheArchiveBeforeTheRunsFirstWrite) {
    Game game("echo changed > Patch_D2.mpq");
    WriteBytes(game.dir.File("Patch_D2.mpq"), "the mod's archive");
    const std::string backups = game.dir.File("backups");
    CStringTables strings;
    const CTxtTable table = testing::TableOf(1, {{"Item"}});
    BackupSession backup{false, backups};
    game.guide->answers = {kGuideYes, kGuideNo};
    SpawnOnResult result = game.Run(table, "", strings, backup);
    ASSERT_NE(result.status.find("the archive as it was is kept in "), std::string::npos);
    const std::string copy = result.status.substr(result.status.find("kept in ") + 8);
    EXPECT_EQ(ReadBytes(copy), "the mod's archive");
    EXPECT_EQ(copy.substr(0, backups.size()), backups);
    EXPECT_EQ(fs::path(copy).parent_path().string() + "/",
              GameBackupsDir(game.dir.Path(), backups));
    // Once a run: the second write keeps no second copy.
    game.guide->answers = {kGuideYes, kGuideNo};
    result = game.Run(table, "", strings, backup);
    EXPECT_EQ(result.status.find("kept in"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(copy).parent_path()),
                            fs::directory_iterator()),
              2); // the copy and the note naming the game folder

    // No place for a copy: asked, and No writes nothing.
    WriteBytes(game.dir.File("blocked"), "");
    BackupSession blocked{false, game.dir.File("blocked") + "/backups"};
    game.guide->shown.clear();
    game.guide->answers = {kGuideYes, kGuideNo};
    result = game.Run(table, "", strings, blocked);
    EXPECT_FALSE(result.tablesWritten);
    ASSERT_EQ(game.guide->shown.size(), 2u);
    EXPECT_EQ(game.guide->shown[1].rfind("Confirmation: No copy of patch_d2.mpq could be kept", 0),
              0u);
}

} // namespace
} // namespace tolmere
