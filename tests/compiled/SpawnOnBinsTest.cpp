// SPDX-License-Identifier: MIT
// Spawn On on a copy of the demo game whose patch archive holds compiled tables: the
// .bin goes in beside the .txt, in the same rewrite, unless the game's own .bin files
// are not what its tables compile to.
#include "app/SpawnOn.h"
#include "compiled/BinCompiler.h"
#include "tables/BinFile.h"

#include "support/CliRun.h"
#include "support/CompiledGame.h"
#include "support/ScriptedGuide.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace tolmere {
namespace {

using testing::Q;

class SpawnOnBinsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string demo =
            std::string("bash ") + Q(TOLMERE_SOURCE_DIR "/tools/demo-game/make-demo-game.sh") +
            " " + Q(TOLMERE_MPQ2K) + " " + Q(TOLMERE_CLI) + " " +
            Q(TOLMERE_SOURCE_DIR "/tests/data/seed-game") + " " + Q(dir_.Path()) + " >/dev/null";
        ASSERT_EQ(std::system(demo.c_str()), 0);
        game_ = dir_.Path() + "/prefix/drive_c/Program Files/Diablo II/";
        strings_.Patch().Add("ModStr1a", "+%d to Strength");
        strings_.Patch().Add("ModStr1b", "+%d to Maximum Fire Damage");
        ASSERT_TRUE(
            uniques_.Load(TOLMERE_SOURCE_DIR "/tests/data/seed-game/patch/excel/UniqueItems.txt"));
        compiled_ = std::make_unique<testing::CompiledGame>(game_, TOLMERE_MPQ2K, dir_.Path());
        ASSERT_TRUE(compiled_->Give(uniques_, strings_));
    }

    std::string Compile(const CTxtTable& table) { return compiled_->Compile(table, strings_); }

    SpawnOnResult SpawnOn(const CTxtTable& table) {
        testing::GuideScope guide;
        guide->answers = {kGuideYes, kGuideNo};
        BackupSession backup{false, dir_.File("backups")};
        return RunSpawnOn(CArchiveBridge(game_),
                          {{{&table, "UniqueItems.txt", ""}}, &strings_, "ENG", "Sure?"}, backup);
    }

    std::string GameFile(const std::string& name) {
        std::string bytes;
        EXPECT_TRUE(CArchiveBridge(game_).FetchBytes(name, bytes).Ok()) << name;
        return bytes;
    }

    testing::TempDir dir_;
    std::string game_;
    CStringTables strings_;
    CTxtTable uniques_;
    std::unique_ptr<testing::CompiledGame> compiled_;
};

TEST_F(SpawnOnBinsTest, WritesTheBinTheGameWouldCompileBesideTheTxt) {
    CTxtTable changed = uniques_;
    ASSERT_TRUE(changed.SetCell(1, 9, "STR"));
    ASSERT_TRUE(changed.SetCell(1, 11, "17"));
    const SpawnOnResult result = SpawnOn(changed);
    EXPECT_EQ(
        result.status.rfind("UniqueItems.txt and UniqueItems.bin written into patch_d2.mpq", 0), 0u)
        << result.status;
    EXPECT_EQ(result.binsWritten, std::vector<std::string>{"UniqueItems.bin"});
    EXPECT_EQ(GameFile("UniqueItems.txt"), changed.Serialize());
    const std::string bin = GameFile("UniqueItems.bin");
    EXPECT_TRUE(bin == Compile(changed));
    EXPECT_FALSE(bin == Compile(uniques_));
}

TEST_F(SpawnOnBinsTest, WritesOnlyTheTxtWhenTheGamesPropertiesBinIsNotItsTxt) {
    // A mod changed Properties.txt and left Properties.bin as it was.
    ASSERT_TRUE(compiled_->ChangeProperties());
    const std::string before = GameFile("UniqueItems.bin");
    CTxtTable changed = uniques_;
    ASSERT_TRUE(changed.SetCell(1, 11, "17"));
    const SpawnOnResult result = SpawnOn(changed);
    EXPECT_EQ(result.status,
              "UniqueItems.txt written into patch_d2.mpq; UniqueItems.bin not written: the game's "
              "Properties.bin is not what its Properties.txt compiles to (record 0 (stat1): "
              "expected 1, got 0); a compiled table would link to other rows than the game's; "
              "the archive as it was is "
              "kept in " +
                  result.status.substr(result.status.rfind(' ') + 1));
    EXPECT_TRUE(result.binsWritten.empty());
    EXPECT_EQ(GameFile("UniqueItems.txt"), changed.Serialize());
    EXPECT_TRUE(GameFile("UniqueItems.bin") == before);
}

} // namespace
} // namespace tolmere
