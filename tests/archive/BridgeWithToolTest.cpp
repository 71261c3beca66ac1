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
        ASSERT_TRUE(
            bridge.Run("a " + archive + " \"" + dir.File("upload") + "\" " + name, 10000).Ok());
    }
    // What the archive holds under `name`, extracted through the tool.
    std::string Extract(const std::string& archive, const std::string& name) {
        fs::create_directories(dir.File("out"));
        const std::string file = name.substr(name.rfind('\\') + 1);
        fs::remove(dir.File("out/" + file));
        if (!bridge.Run("e " + archive + " " + name + " \"" + dir.File("out") + "/\"", 10000).Ok())
            return "<missing>";
        return ReadBytes(dir.File("out/" + file));
    }

    testing::TempDir dir;
    std::string gameDir = dir.File("Diablo II") + "/";
    CArchiveBridge bridge{gameDir};
    testing::GuideScope guide;
};

TEST_F(WithTool, ThePatchArchiveServesFirstAndTheBaseOneOnlyWhereThePatchLacksTheFile) {
    // Real installations name their archives with capitals.
    Add("D2data.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", "base\tb\r\n");
    Add("D2data.mpq", "data\\GLOBAL\\Excel\\SetItems.txt", "sets\tb\r\n");
    Add("Patch_D2.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", "patch\tb\r\n");
    CTxtTable table;
    CArchiveBridge::Fetch fetch = bridge.FetchTable("UniqueItems.txt", table);
    ASSERT_TRUE(fetch.loaded) << fetch.reason;
    EXPECT_EQ(fetch.from, Archive::kPatch);
    EXPECT_EQ(*table.HeaderCell(0), "patch");
    fetch = bridge.FetchTable("SetItems.txt", table);
    ASSERT_TRUE(fetch.loaded) << fetch.reason;
    EXPECT_EQ(fetch.from, Archive::kBase);
    EXPECT_EQ(*table.HeaderCell(0), "sets");
    EXPECT_FALSE(FileExists(bridge.WorkDir()));

    // A patch archive that cannot be read is not passed over for the game's own table.
    WriteBytes(dir.File("Diablo II/Patch_D2.mpq"), std::string(4096, 'x'));
    fetch = bridge.FetchTable("UniqueItems.txt", table);
    EXPECT_FALSE(fetch.extracted);
    EXPECT_EQ(fetch.from, Archive::kPatch);
    EXPECT_EQ(fetch.reason, "mpq2k: patch_d2.mpq: not an MPQ archive (no MPQ header found)")
        << fetch.reason;
    EXPECT_EQ(*table.HeaderCell(0), "sets");
}

TEST_F(WithTool, SeveralTablesComeInOneRunEachFromTheLastArchiveThatHasIt) {
    Add("D2data.mpq", "data\\GLOBAL\\Excel\\Properties.txt", "base\tb\r\n");
    Add("D2data.mpq", "data\\GLOBAL\\Excel\\Skills.txt", "skills\tb\r\n");
    Add("Patch_D2.mpq", "data\\GLOBAL\\Excel\\Properties.txt", "patch\tb\r\n");
    std::vector<CTxtTable> tables;
    EXPECT_EQ(bridge.ExtractTables({"Properties.txt", "Skills.txt", "Absent.txt"}, tables), "");
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(*tables[0].HeaderCell(0), "patch");
    EXPECT_EQ(*tables[1].HeaderCell(0), "skills");
    EXPECT_EQ(tables[2].ColumnCount(), 0);
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
    EXPECT_FALSE(FileExists(bridge.TablesScriptFile()));

    // One archive that cannot be read fails them all, with the tool's reason.
    WriteBytes(dir.File("Diablo II/Patch_D2.mpq"), std::string(4096, 'x'));
    const std::string reason = bridge.ExtractTables({"Properties.txt", "Skills.txt"}, tables);
    EXPECT_NE(reason.find("not an MPQ archive"), std::string::npos) << reason;
    EXPECT_EQ(tables[1].ColumnCount(), 0);
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
}

TEST_F(WithTool, ApplyPutsTheTablesIntoThePatchArchiveByteForByte) {
    Add("patch_d2.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", "old\r\n");
    CTxtTable table = testing::TableOf(3, {{"Item \xe9", "", "9"}, {"Other"}});
    CStrTbl strings;
    strings.Add("Item \xe9", "\xc3\xbf"
                             "c4Name");
    EXPECT_EQ(bridge.AddTableToPatch(table, "UniqueItems.txt"), "");
    EXPECT_EQ(bridge.AddStringsToPatch(strings, "ENG"), "");
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

TEST_F(WithTool, EachStringTableComesFromTheFirstArchiveInTheGamesOrder) {
    // string.tbl in the base archive only, expansionstring.tbl in both others, and
    // patchstring.tbl in the patch: the patch wins where it has a table.
    const auto tbl = [](const std::string& key, const std::string& text) {
        CStrTbl table;
        table.Add(key, text);
        std::string bytes;
        table.Serialize(bytes);
        return bytes;
    };
    const std::string lng = "data\\LOCAL\\LNG\\ENG\\";
    Add("d2data.mpq", lng + "string.tbl", tbl("k", "base"));
    Add("d2data.mpq", lng + "expansionstring.tbl", tbl("k", "old expansion"));
    Add("d2exp.mpq", lng + "expansionstring.tbl", tbl("k", "expansion"));
    Add("patch_d2.mpq", lng + "patchstring.tbl", tbl("p", "patch"));
    CStringTables strings;
    for (const auto& load : bridge.ExtractStringTables(strings, "ENG"))
        EXPECT_EQ(load.status, CArchiveBridge::Extraction::Status::kExtracted) << load.reason;
    EXPECT_EQ(strings.Table(StringSource::kBase).Find("k")->text, "base");
    EXPECT_EQ(strings.Table(StringSource::kExpansion).Find("k")->text, "expansion");
    EXPECT_EQ(strings.Lookup("k").entry->text, "expansion");
    EXPECT_EQ(strings.Lookup("p").source, StringSource::kPatch);
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
    // A language without tables leaves them empty.
    for (const auto& load : bridge.ExtractStringTables(strings, "DEU"))
        EXPECT_EQ(load.status, CArchiveBridge::Extraction::Status::kAbsent);
    EXPECT_EQ(strings.Lookup("k").entry, nullptr);
}

TEST_F(WithTool, NoArchiveMeansLookFurtherNoToolMeansFailure) {
    using Status = CArchiveBridge::Extraction::Status;
    EXPECT_EQ(bridge.ExtractTable("UniqueItems.txt", Archive::kPatch).status, Status::kAbsent);
    fs::remove(gameDir + "mpq2k");
    const CArchiveBridge::Extraction none = bridge.ExtractTable("UniqueItems.txt", Archive::kBase);
    EXPECT_EQ(none.status, Status::kFailed);
    EXPECT_EQ(none.reason, "the archive tool could not be started");
    CStrTbl strings;
    strings.Add("a", "b");
    EXPECT_EQ(bridge.ExtractStringTable(strings, "ENG").status, Status::kFailed);
    EXPECT_EQ(strings.EntryCount(), 1u) << "a failed read keeps the table";
}

// Both demo games: the one the README opens (the game's own layout, three archives,
// three string tables) and the classic-layout game the window tests use.
TEST(DemoGame, IsFoundThroughItsPrefixAndServesEveryTable) {
    const struct {
        const char* source;
        const char* layout;
    } games[] = {{"/data/demo", "1.10+"}, {"/tests/data/seed-game", "classic"}};
    for (const auto& game : games) {
        SCOPED_TRACE(game.source);
        testing::TempDir dir;
        const std::string command =
            std::string("bash '") + TOLMERE_SOURCE_DIR + "/tools/demo-game/make-demo-game.sh' '" +
            TOLMERE_MPQ2K + "' '" + TOLMERE_CLI + "' '" + TOLMERE_SOURCE_DIR + game.source + "' '" +
            dir.Path() + "' '" + TOLMERE_DEMO_PICTURES + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        auto gameDir = DetectGameDir({dir.Path() + "/prefix"});
        ASSERT_TRUE(gameDir);
        EXPECT_EQ(*gameDir, dir.Path() + "/prefix/dosdevices/c:/Program Files/Diablo II/");

        testing::GuideScope guide;
        CArchiveBridge bridge(*gameDir);
        CTxtTable unique;
        ASSERT_TRUE(bridge.FetchTable("UniqueItems.txt", unique).loaded);
        EXPECT_EQ(unique.Serialize(), ReadBytes(std::string(TOLMERE_SOURCE_DIR) + game.source +
                                                "/patch/excel/UniqueItems.txt"));
        CUniqueModel model(unique, RecogniseUniqueItems(unique));
        EXPECT_EQ(model.Layout().name, game.layout);
        CStringTables strings;
        bridge.ExtractStringTables(strings, "ENG");
        int named = 0;
        for (std::int32_t row = 0; row < model.ItemCount(); ++row)
            named += strings.Lookup(model.Key(row)).entry ? 1 : 0;
        EXPECT_GT(named, model.ItemCount() / 2);
        CBaseLists lists;
        std::string failed, reason;
        ASSERT_TRUE(bridge.ExtractBaseLists(lists, failed, reason)) << reason;
        const std::int32_t codeColumn = model.Layout().codeColumn;
        BaseItem axe;
        lists.FindBaseItem(std::string(unique.Text(0, codeColumn)), axe);
        EXPECT_FALSE(axe.name.empty());

        // Every item has a picture of its base item, and the patch overrides some.
        std::vector<std::string> names;
        for (std::int32_t row = 0; row < model.ItemCount(); ++row) {
            const std::string name =
                ItemPictureName(lists, std::string(unique.Text(row, codeColumn)));
            if (!name.empty()) // the separator rows of the game's layout have no base item
                names.push_back(name);
        }
        EXPECT_GT(names.size(), 20u);
        bridge.RunPictureScript(names);
        for (const std::string& name : names) {
            DibDesc picture;
            EXPECT_TRUE(DecodeDc6(picture, bridge.WorkFile(name + ".dc6"))) << name;
            EXPECT_EQ(picture.width % 28, 0u) << name;
            ReleaseDesc(picture);
        }
        bridge.RemovePictures();
    }
}

} // namespace
} // namespace tolmere
