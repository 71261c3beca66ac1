// The bridge against the real mpq2k and real archives made in the test.
#include "archive/ArchiveBridge.h"
#include "archive/GameDir.h"

#include "app/UniqueModel.h"
#include "images/Dc6.h"
#include "images/Dib.h"
#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::FileExists;
using testing::ReadBytes;
using testing::WriteBytes;

class WithTool : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(gameDir);
        fs::copy_file(TOLMERE_MPQ2K, gameDir + "mpq2k");
    }
    // Adds bytes to an archive of the game directory through the tool itself.
    void Add(const std::string& archive, const std::string& name, const std::string& bytes) {
        WriteBytes(dir.File("upload"), bytes);
        ASSERT_TRUE(bridge.Run("a " + archive + " \"" + dir.File("upload") + "\" " + name, 10000));
    }
    // What the archive holds under `name`, extracted through the tool.
    std::string Extract(const std::string& archive, const std::string& name) {
        fs::create_directories(dir.File("out"));
        const std::string file = name.substr(name.rfind('\\') + 1);
        fs::remove(dir.File("out/" + file));
        if (!bridge.Run("e " + archive + " " + name + " \"" + dir.File("out") + "/\"", 10000))
            return "<missing>";
        return ReadBytes(dir.File("out/" + file));
    }

    testing::TempDir dir;
    std::string gameDir = dir.File("Diablo II") + "/";
    CArchiveBridge bridge{gameDir};
    testing::GuideScope guide;
};

TEST_F(WithTool, ThePatchArchiveServesFirstAndTheBaseOneOtherwise) {
    // Real installations name their archives with capitals.
    Add("D2data.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", "base\r\n");
    Add("D2data.mpq", "data\\GLOBAL\\Excel\\SetItems.txt", "sets\r\n");
    Add("Patch_D2.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", "patch\r\n");
    CTxtTable table;
    ASSERT_TRUE(bridge.ExtractUniqueItems(Archive::kPatch));
    ASSERT_TRUE(bridge.LoadExtracted("UniqueItems.txt", table));
    EXPECT_EQ(*table.HeaderCell(0), "patch");
    EXPECT_FALSE(bridge.ExtractSetItems(Archive::kPatch));
    ASSERT_TRUE(bridge.ExtractSetItems(Archive::kBase));
    ASSERT_TRUE(bridge.LoadExtracted("SetItems.txt", table));
    EXPECT_EQ(*table.HeaderCell(0), "sets");
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
}

TEST_F(WithTool, ApplyPutsTheTablesIntoThePatchArchiveByteForByte) {
    Add("patch_d2.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", "old\r\n");
    CTxtTable table = testing::TableOf(3, {{"Item \xe9", "", "9"}, {"Other"}});
    CStrTbl strings;
    strings.Add("Item \xe9", "\xc3\xbf"
                             "c4Name");
    guide->answers = {kGuideYes, kGuideYes};
    bridge.ApplyToPatch(table, "UniqueItems.txt", strings, "ENG", CArchiveBridge::kApplyQuestion);
    EXPECT_EQ(guide->shown.size(), 2u); // the two questions, no failure
    EXPECT_EQ(Extract("patch_d2.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt"), table.Serialize());
    std::string tbl;
    ASSERT_TRUE(CStrTbl(strings).Serialize(tbl));
    EXPECT_EQ(Extract("patch_d2.mpq", "data\\LOCAL\\LNG\\ENG\\patchstring.tbl"), tbl);
}

TEST_F(WithTool, PicturesComeFromTheBaseArchiveAndThePatchOverridesThem) {
    Add("d2data.mpq", "data\\GLOBAL\\Items\\invhax.dc6", "base hax");
    Add("d2data.mpq", "data\\GLOBAL\\Items\\invrin.dc6", "base rin");
    Add("patch_d2.mpq", "data\\GLOBAL\\Items\\invrin.dc6", "patch rin");
    bridge.RunPictureScript({"invhax", "invrin", "invnone"});
    EXPECT_EQ(ReadBytes(bridge.WorkFile("invhax.dc6")), "base hax");
    EXPECT_EQ(ReadBytes(bridge.WorkFile("invrin.dc6")), "patch rin");
    EXPECT_FALSE(FileExists(bridge.PictureScriptFile()));
    bridge.RemovePictures();
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
}

TEST_F(WithTool, NoToolOrNoArchiveIsAPlainFailure) {
    EXPECT_FALSE(bridge.ExtractUniqueItems(Archive::kPatch));
    fs::remove(gameDir + "mpq2k");
    EXPECT_FALSE(bridge.ExtractUniqueItems(Archive::kBase));
    CStrTbl strings;
    strings.Add("a", "b");
    EXPECT_FALSE(bridge.ExtractStringTable(strings, "ENG"));
    EXPECT_EQ(strings.EntryCount(), 0u);
}

TEST(DemoGame, IsFoundThroughItsPrefixAndServesEveryTable) {
    testing::TempDir dir;
    const std::string command = std::string("bash '") + TOLMERE_SOURCE_DIR +
                                "/tools/demo-game/make-demo-game.sh' '" + TOLMERE_MPQ2K + "' '" +
                                TOLMERE_CLI + "' '" + TOLMERE_SOURCE_DIR + "/tests/data/seed-game' '" +
                                dir.Path() + "' '" + TOLMERE_DEMO_PICTURES + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto gameDir = DetectGameDir({dir.Path() + "/prefix"});
    ASSERT_TRUE(gameDir);
    EXPECT_EQ(*gameDir, dir.Path() + "/prefix/dosdevices/c:/Program Files/Diablo II/");

    testing::GuideScope guide;
    CArchiveBridge bridge(*gameDir);
    CTxtTable unique;
    ASSERT_TRUE(bridge.ExtractUniqueItems(Archive::kPatch));
    ASSERT_TRUE(bridge.LoadExtracted("UniqueItems.txt", unique));
    EXPECT_EQ(unique.Serialize(), ReadBytes(TOLMERE_SOURCE_DIR "/tests/data/seed-game/patch/excel/UniqueItems.txt"));
    CStrTbl strings;
    ASSERT_TRUE(bridge.ExtractStringTable(strings, "ENG"));
    CUniqueModel model(unique);
    int named = 0;
    for (std::int32_t row = 0; row < model.ItemCount(); ++row)
        named += strings.Find(std::string(unique.Text(row, 0))) ? 1 : 0;
    EXPECT_GT(named, model.ItemCount() / 2);
    CBaseLists lists;
    ASSERT_TRUE(bridge.ExtractBaseLists(lists));
    BaseItem axe;
    lists.FindBaseItem(std::string(unique.Text(0, 3)), axe);
    EXPECT_FALSE(axe.name.empty());

    // Every item has a picture of its base item, and the patch overrides some.
    std::vector<std::string> names;
    for (std::int32_t row = 0; row < model.ItemCount(); ++row)
        names.push_back(ItemPictureName(lists, std::string(unique.Text(row, 3))));
    bridge.RunPictureScript(names);
    for (const std::string& name : names) {
        DibDesc picture;
        EXPECT_TRUE(DecodeDc6(picture, bridge.WorkFile(name + ".dc6"))) << name;
        EXPECT_EQ(picture.width % 28, 0u) << name;
        ReleaseDesc(picture);
    }
    bridge.RemovePictures();
}

} // namespace
} // namespace tolmere
