// SPDX-License-Identifier: MIT
// Spawn On on a copy of the demo game whose patch archive holds compiled tables: the
// .bin goes in beside the .txt, in the same rewrite, unless the game's own .bin files
// are not what its tables compile to.
#include "app/SpawnOn.h"
#include "compiled/BinCompiler.h"
#include "tables/BinFile.h"

#include "support/CliRun.h"
#include "support/ScriptedGuide.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace tolmere {
namespace {

using testing::Q;

// The linked tables the demo game's patch archive gets, by their game names.
const std::pair<const char*, const char*> kLinked[] = {
    {"Properties.txt",
     "code\tfunc1\tstat1\r\nac\t1\tarmorclass\r\nstr\t1\tstrength\r\nfire-max\t1\tmaxfire\r\n"
     "dmg-max\t1\tmaxdamage\r\n"},
    {"ItemStatCost.txt", "Stat\tID\tdescstrpos\r\nstrength\t0\tModStr1a\r\narmorclass\t1\t\r\n"
                         "maxfire\t2\tModStr1b\r\nmaxdamage\t3\t\r\n"},
    {"Events.txt", "event\t*desc\r\nhitbymissile\t\r\n"},
    {"Sounds.txt", "Sound\tIndex\r\n\t0\r\nitem_ring\t1\r\n"},
    {"Skills.txt", "skill\tId\r\nAttack\t0\r\n"},
    {"MonType.txt", "type\t*eol\r\n\t0\r\nundead\t0\r\n"},
    {"States.txt", "state\tid\r\nnone\t0\r\n"},
};

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
        for (const auto& [name, text] : kLinked) {
            CTxtTable table;
            table.Parse(text, std::char_traits<char>::length(text));
            linked_[name] = table;
            Add(name, text);
        }
        for (const char* name : {"Properties", "ItemStatCost", "UniqueItems"})
            Add(std::string(name) + ".bin",
                Compile(name == std::string("UniqueItems") ? uniques_
                                                           : linked_[name + std::string(".txt")]));
    }

    // Puts the bytes into the patch archive as data\GLOBAL\Excel\<name>.
    void Add(const std::string& name, const std::string& bytes) {
        testing::WriteBytes(dir_.File("upload"), bytes);
        const std::string command = "cd " + Q(game_) + " && " + Q(TOLMERE_MPQ2K) +
                                    " a patch_d2.mpq " + Q(dir_.File("upload")) +
                                    " 'data\\GLOBAL\\Excel\\" + name + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // What the game would compile the table to, linking to the tables above.
    std::string Compile(const CTxtTable& table) {
        const BinLayout* layout = FindBinLayout(table);
        if (!layout) {
            ADD_FAILURE() << "no layout";
            return std::string();
        }
        CBinLinks links;
        for (BinLink link : kAllBinLinks) {
            if (link != BinLink::kSets) {
                EXPECT_EQ(links.Add(link, linked_[BinLinkFile(link)]), "");
            }
        }
        std::string bytes;
        EXPECT_TRUE(strings_.Patch().Serialize(bytes));
        links.Strings().patch.Parse(bytes);
        std::string bin;
        EXPECT_EQ(CompileBin(table, *layout, links, bin), "");
        return bin;
    }

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
    std::map<std::string, CTxtTable> linked_;
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
    Add("Properties.txt", "code\tfunc1\tstat1\r\nstr\t1\tstrength\r\nac\t1\tarmorclass\r\n"
                          "fire-max\t1\tmaxfire\r\ndmg-max\t1\tmaxdamage\r\n");
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
