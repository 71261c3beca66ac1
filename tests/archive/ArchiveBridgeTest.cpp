// SPDX-License-Identifier: MIT
// The bridge to the archive tool: first against a stand-in that logs how it is run, then
// against the real mpq2k and archives made in the test. Then finding the game through
// Wine's registry, and running its archive tool.
#include "archive/ArchiveBridge.h"
#include "app/SpawnPreview.h"
#include "archive/GameDir.h"
#include "archive/RunTool.h"
#include "archive/WineRegistry.h"

#include "images/Dc6.h"
#include "images/Dib.h"
#include "items/ItemPictures.h"
#include "items/UniqueModel.h"
#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::FileExists;
using testing::GuideScope;
using testing::ReadBytes;
using testing::WriteBytes;
using Lines = std::vector<std::string>;
using Status = CArchiveBridge::Extraction::Status;

// A stand-in for mpq2k that keeps each archive as a folder under store/ and logs every
// call, answering with the real tool's exit codes: 3 for a file an archive lacks, 4 for
// an archive that is not there, 1 with one line on stderr for a file named "broken"
// inside the archive.
const char kStandIn[] = R"sh(#!/bin/sh
echo "$*" >> calls.log
[ -f fail ] && { echo "mpq2k: $2: the disk is full" >&2; exit 1; }
path() { printf '%s' "$1" | tr '\\' '/'; }
case "$1" in
  e) [ -d "store/$2" ] || { echo "mpq2k: $2: no such archive" >&2; exit 4; }
     [ -f "store/$2/broken" ] && { echo "mpq2k: $2: damaged archive" >&2; exit 1; }
     src="store/$2/$(path "$3")"; [ -f "$src" ] || { echo "mpq2k: $2: $3: not found" >&2; exit 3; }
     cp "$src" "$(path "$4")$(basename "$src")" ;;
  a) dst="store/$2/$(path "$4")"; mkdir -p "$(dirname "$dst")"; cp "$3" "$dst" ;;
  s) cp "$2" script.copy ;;
esac
)sh";

// A scratch game folder and the bridge to its archives.
class GameFolder : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string gameDir = dir.File("Diablo II") + "/";
    CArchiveBridge bridge{gameDir};
    GuideScope guide;
};

class Bridge : public GameFolder {
protected:
    void SetUp() override {
        mkdir(gameDir.c_str(), 0755);
        WriteBytes(gameDir + "mpq2k", kStandIn);
        chmod((gameDir + "mpq2k").c_str(), 0755);
    }
    void Put(const std::string& archive, const std::string& path, const std::string& bytes) {
        std::string full = gameDir + "store/" + archive + "/" + path;
        fs::create_directories(full.substr(0, full.rfind('/')));
        WriteBytes(full, bytes);
    }
    std::string Stored(const std::string& archive, const std::string& path) {
        return ReadBytes(gameDir + "store/" + archive + "/" + path);
    }
    Lines Calls() {
        Lines calls;
        if (!FileExists(gameDir + "calls.log"))
            return calls;
        std::string log = ReadBytes(gameDir + "calls.log");
        for (std::size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1)
            calls.push_back(log.substr(at, end - at));
        std::remove((gameDir + "calls.log").c_str());
        return calls;
    }
    // Nothing of ours is left in the game folder: only the game's things and the stand-in's.
    std::string Leftovers() {
        std::string left;
        for (const auto& entry : fs::directory_iterator(gameDir)) {
            const std::string name = entry.path().filename();
            if (name != "mpq2k" && name != "store" && name != "calls.log" && name != "fail" &&
                name != "script.copy")
                left += name + " ";
        }
        return left;
    }
};

const std::string kTable = "a\tb\r\n1\t2\r\n";
std::string Extract(const char* archive, const char* file) {
    return std::string("e ") + archive + " data\\GLOBAL\\Excel\\" + file + " tmp08187262\\";
}

TEST_F(Bridge, TablesComeFromTheFirstArchiveThatHoldsThem) {
    EXPECT_EQ(bridge.CommandLine("e x"), "\"" + gameDir + "mpq2k\" e x");
    Put("patch_d2.mpq", "data/GLOBAL/Excel/Other.txt", "x");
    Put("d2data.mpq", "data/GLOBAL/Excel/UniqueItems.txt", kTable);
    CTxtTable table;
    const CArchiveBridge::Fetch fetch = bridge.FetchTable("UniqueItems.txt", table);
    EXPECT_TRUE(fetch.extracted && fetch.loaded) << fetch.reason;
    EXPECT_EQ(fetch.from, Archive::kBase);
    EXPECT_EQ(table.Serialize(), kTable);
    // The patch archive lacks the file and there is no d2exp.mpq: both send the search on.
    EXPECT_EQ(Calls(), (Lines{Extract("patch_d2.mpq", "UniqueItems.txt"),
                              Extract("d2exp.mpq", "UniqueItems.txt"),
                              Extract("d2data.mpq", "UniqueItems.txt")}));
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(Bridge, AnyOtherFailureStopsTheSearchWithTheToolsReason) {
    Put("d2data.mpq", "data/GLOBAL/Excel/UniqueItems.txt", kTable);
    const struct {
        const char* file; // put into the patch archive, or "mpq2k": the tool replaced
        std::string bytes;
        bool extracted;
        const char* reason;
    } cases[] = {
        {"broken", "", false, "mpq2k: patch_d2.mpq: damaged archive"},
        {"data/GLOBAL/Excel/UniqueItems.txt", std::string("a\tb\0c", 5), true,
         "UniqueItems.txt: it holds binary data (a zero byte at offset 3), not a"},
        {"data/GLOBAL/Excel/UniqueItems.txt", "# Read me\r\nWords.\r\n", true,
         "UniqueItems.txt: its first line holds no TAB"},
        {"mpq2k", "#!/bin/sh\nsleep 8\n", false,
         "the archive tool was still running after 4 s and was stopped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        fs::remove_all(gameDir + "store/patch_d2.mpq");
        if (std::string(c.file) == "mpq2k")
            WriteBytes(gameDir + "mpq2k", c.bytes);
        else
            Put("patch_d2.mpq", c.file, c.bytes);
        CTxtTable table = testing::TableOf(1, {{"kept"}});
        const CArchiveBridge::Fetch fetch = bridge.FetchTable("UniqueItems.txt", table);
        EXPECT_EQ(fetch.extracted, c.extracted);
        EXPECT_FALSE(fetch.loaded);
        EXPECT_EQ(fetch.from, Archive::kPatch) << "d2data.mpq must not stand in";
        EXPECT_EQ(fetch.reason.rfind(c.reason, 0), 0u) << fetch.reason;
        EXPECT_EQ(table.Text(0, 0), "kept");
        EXPECT_EQ(Leftovers(), "");
    }
}

TEST_F(Bridge, StringTablesAreReadWholeOrNotAtAll) {
    CStrTbl names;
    names.Add("Key", "Name");
    std::string tbl;
    ASSERT_TRUE(names.Serialize(tbl));
    Put("d2data.mpq", "data/LOCAL/LNG/DEU/string.tbl", tbl);
    Put("patch_d2.mpq", "data/LOCAL/LNG/DEU/patchstring.tbl", tbl.substr(0, tbl.size() - 1));

    CStrTbl strings;
    CArchiveBridge::StringsLoad load = bridge.ExtractStringTable(strings, "DEU", "string.tbl");
    EXPECT_EQ(load.status, Status::kExtracted);
    EXPECT_EQ(strings.Find("Key")->text, "Name");
    // A damaged table: refused with the reason, the table in memory kept.
    load = bridge.ExtractStringTable(strings, "DEU");
    EXPECT_EQ(load.status, Status::kFailed);
    EXPECT_EQ(load.reason.rfind("patchstring.tbl: damaged string table: ", 0), 0u) << load.reason;
    EXPECT_EQ(strings.Find("Key")->text, "Name");
    // No archive has it: an empty table.
    EXPECT_EQ(bridge.ExtractStringTable(strings, "ENG").status, Status::kAbsent);
    EXPECT_EQ(strings.EntryCount(), 0u);
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(Bridge, BaseListsTakeEachArchiveInTurnAndStopAtAFailure) {
    Put("d2data.mpq", "data/GLOBAL/Excel/weapons.txt", "code\tw\r\nbase\r\n");
    Put("patch_d2.mpq", "data/GLOBAL/Excel/weapons.txt", "code\tw\r\npatched\r\n");
    Put("d2data.mpq", "data/GLOBAL/Excel/armor.txt", "code\ta\r\n");
    Put("d2data.mpq", "data/GLOBAL/Excel/misc.txt", "code\tm\r\nx\r\n");
    CBaseLists lists;
    std::string failed, reason;
    ASSERT_TRUE(bridge.ExtractBaseLists(lists, failed, reason)) << reason;
    EXPECT_EQ(*lists.List(0).Cell(0, 0), "patched");
    EXPECT_TRUE(lists.Loaded()); // armor holds its header alone
    EXPECT_EQ(guide->statuses, (Lines{"weapons.txt loaded", "armor.txt loaded", "misc.txt loaded",
                                      "List resource loaded"}));
    const Lines calls = Calls();
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(Lines(calls.begin(), calls.begin() + 3),
              (Lines{Extract("d2data.mpq", "weapons.txt"), Extract("d2exp.mpq", "weapons.txt"),
                     Extract("patch_d2.mpq", "weapons.txt")}));

    // Armor nowhere; then an archive that cannot be read.
    fs::remove(gameDir + "store/d2data.mpq/data/GLOBAL/Excel/armor.txt");
    CBaseLists none;
    EXPECT_FALSE(bridge.ExtractBaseLists(none, failed, reason));
    EXPECT_EQ(failed, "armor.txt");
    Put("patch_d2.mpq", "broken", "");
    EXPECT_FALSE(bridge.ExtractBaseLists(none, failed, reason));
    EXPECT_EQ(failed, "weapons.txt");
    EXPECT_EQ(reason, "mpq2k: patch_d2.mpq: damaged archive");
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(Bridge, TablesAndStringsGoIntoThePatchArchiveAndTheUploadsAreRemoved) {
    const CTxtTable table = testing::TableOf(2, {{"Item", "x\xe9"}});
    CStrTbl strings;
    strings.Add("Item", "Name");
    EXPECT_EQ(bridge.AddTableToPatch(table, "UniqueItems.txt"), "");
    EXPECT_EQ(bridge.AddStringsToPatch(strings, "ENG"), "");
    EXPECT_EQ(Calls(),
              (Lines{"a patch_d2.mpq tmp08187262.tmp data\\GLOBAL\\Excel\\UniqueItems.txt",
                     "a patch_d2.mpq tmp08187262.tmp2 data\\LOCAL\\LNG\\ENG\\patchstring.tbl"}));
    EXPECT_EQ(Stored("patch_d2.mpq", "data/GLOBAL/Excel/UniqueItems.txt"), table.Serialize());
    std::string expected;
    ASSERT_TRUE(CStrTbl(strings).Serialize(expected));
    EXPECT_EQ(Stored("patch_d2.mpq", "data/LOCAL/LNG/ENG/patchstring.tbl"), expected);

    // Failures say why; nothing of ours is left in the game folder either way.
    WriteBytes(gameDir + "fail", "");
    EXPECT_EQ(bridge.AddTableToPatch(table, "UniqueItems.txt"),
              "mpq2k: patch_d2.mpq: the disk is full");
    EXPECT_EQ(bridge.AddStringsToPatch(strings, "ENG"), "mpq2k: patch_d2.mpq: the disk is full");
    EXPECT_NE(bridge.AddTableToPatch(CTxtTable{}, "SetItems.txt").find("the table is empty"),
              std::string::npos);
    EXPECT_NE(bridge.AddStringsToPatch(CStrTbl{}, "ENG").find("no entries"), std::string::npos);
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(Bridge, TheGameFoldersOwnToolComesBeforeTheInstalledOne) {
    const std::string programDir = dir.File("bin") + "/";
    mkdir(programDir.c_str(), 0755);
    WriteBytes(programDir + "mpq2k", kStandIn);
    chmod((programDir + "mpq2k").c_str(), 0755);
    EXPECT_EQ(FindArchiveTool(gameDir, programDir), gameDir + "mpq2k");
    fs::remove(gameDir + "mpq2k");
    EXPECT_EQ(FindArchiveTool(gameDir, programDir), programDir + "mpq2k");
    EXPECT_EQ(FindArchiveTool(gameDir, ""), gameDir + "mpq2k"); // the message names the game's
    CArchiveBridge installed(gameDir, programDir + "mpq2k");
    EXPECT_EQ(installed.CommandLine("e x"), "\"" + programDir + "mpq2k\" e x");
    EXPECT_EQ(installed.ExtractTable("UniqueItems.txt", Archive::kPatch).status,
              Status::kAbsent); // run, in the game folder
    EXPECT_EQ(Calls().size(), 1u);
    // No tool at all: it says so.
    CTxtTable table;
    EXPECT_EQ(bridge.FetchTable("UniqueItems.txt", table).reason,
              "the archive tool could not be started");
}

// The tool runs from inside the game folder: a folder or tool named relative to ours
// would be looked for inside itself.
TEST_F(Bridge, AGameFolderNamedRelativeToOursIsMadeAbsoluteBeforeTheToolRuns) {
    WriteBytes(gameDir + "patch_d2.mpq", "");
    const std::string relative = fs::relative(gameDir, fs::current_path()).string() + "/";
    ASSERT_NE(relative[0], '/');
    std::string problem;
    EXPECT_EQ(FindGameDir({relative, ""}, problem), fs::path(gameDir).lexically_normal().string())
        << problem;
    for (const CArchiveBridge& relativeBridge :
         {CArchiveBridge(relative), CArchiveBridge(relative, relative + "mpq2k")}) {
        EXPECT_EQ(relativeBridge.ToolPath(), gameDir + "mpq2k");
        EXPECT_EQ(relativeBridge.ExtractTable("UniqueItems.txt", Archive::kPatch).status,
                  Status::kAbsent);
    }
    EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(Bridge, PictureScriptRunsFromItsFileAndEverythingOfOursIsCleanedUp) {
    bridge.RunPictureScript({"invhax"});
    EXPECT_EQ(Calls(), Lines{"s tmp08187262.scs"});
    EXPECT_EQ(ReadBytes(gameDir + "script.copy"), CArchiveBridge::PictureScript({"invhax"}));
    EXPECT_FALSE(FileExists(bridge.PictureScriptFile()));
    WriteBytes(bridge.WorkFile("invhax.dc6"), "x");
    WriteBytes(bridge.WorkFile("invrin.dc6"), "x");
    bridge.RemovePictures();
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
    // Whatever a killed run left: upload files, a stray extracted file.
    mkdir(bridge.WorkDir().c_str(), 0755);
    WriteBytes(bridge.WorkFile("patchstring.tbl"), "x");
    WriteBytes(bridge.TableUploadFile(), "x");
    WriteBytes(bridge.StringsUploadFile(), "x");
    bridge.RemoveWorkFiles();
    EXPECT_EQ(Leftovers(), "");
}

TEST(PictureScript, BaseThenExpansionThenPatchWithTheTrailingSpace) {
    EXPECT_EQ(CArchiveBridge::PictureScript({"invhax", "../evil", "inv\r\nbad", "", "invrin"}),
              "o d2data.mpq\r\n"
              "x data\\GLOBAL\\Items\\invhax.dc6 tmp08187262\\ \r\n"
              "x data\\GLOBAL\\Items\\invrin.dc6 tmp08187262\\ \r\n"
              "c d2data.mpq\r\n"
              "O d2exp.mpq\r\n"
              "X data\\GLOBAL\\Items\\invhax.dc6 tmp08187262\\ \r\n"
              "X data\\GLOBAL\\Items\\invrin.dc6 tmp08187262\\ \r\n"
              "c d2exp.mpq\r\n"
              "o patch_d2.mpq\r\n"
              "x data\\GLOBAL\\Items\\invhax.dc6 tmp08187262\\ \r\n"
              "x data\\GLOBAL\\Items\\invrin.dc6 tmp08187262\\ \r\n"
              "c patch_d2.mpq\r\n");
}

class WithTool : public GameFolder {
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

    // A missing tool is a failure, and a failed read keeps the table.
    fs::remove(gameDir + "mpq2k");
    CStrTbl strings;
    strings.Add("a", "b");
    EXPECT_EQ(bridge.ExtractStringTable(strings, "ENG").status, Status::kFailed);
    EXPECT_EQ(strings.EntryCount(), 1u) << "a failed read keeps the table";
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
        EXPECT_EQ(load.status, Status::kExtracted) << load.reason;
    EXPECT_EQ(strings.Table(StringSource::kBase).Find("k")->text, "base");
    EXPECT_EQ(strings.Table(StringSource::kExpansion).Find("k")->text, "expansion");
    EXPECT_EQ(strings.Lookup("k").entry->text, "expansion");
    EXPECT_EQ(strings.Lookup("p").source, StringSource::kPatch);
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
    // A language without tables leaves them empty.
    for (const auto& load : bridge.ExtractStringTables(strings, "DEU"))
        EXPECT_EQ(load.status, Status::kAbsent);
    EXPECT_EQ(strings.Lookup("k").entry, nullptr);
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
            const std::optional<DibDesc> picture = DecodeDc6(bridge.WorkFile(name + ".dc6"));
            ASSERT_TRUE(picture) << name;
            EXPECT_EQ(picture->width % 28, 0u) << name;
        }
        bridge.RemovePictures();
    }
}

using Args = std::vector<std::string>;

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

    testing::TempDir dir;
    std::string prefix = dir.Path() + "/prefix";
    const std::string gameKey = "Software\\\\Blizzard Entertainment\\\\Diablo II";
    const std::string installPath = "\"InstallPath\"=\"C:\\\\Program Files\\\\Diablo II\"";
};

TEST_F(GameDirTest, TheInstallPathComesFromEitherHiveOrViewThroughTheDriveLetter) {
    const std::string found = prefix + "/dosdevices/c:/Program Files/Diablo II/";
    Registry("system.reg", gameKey, installPath);
    EXPECT_EQ(DetectGameDir({prefix}), found);
    // The current user serves only when the machine key lacks the value.
    Registry("user.reg", gameKey, installPath);
    Registry("system.reg", gameKey, "\"Other\"=\"x\"");
    EXPECT_EQ(DetectGameDir({prefix}), found);
    Registry("system.reg", "Software\\\\Something Else", "\"Other\"=\"x\"");
    EXPECT_EQ(DetectGameDir({prefix}), std::nullopt);
    fs::remove(prefix + "/system.reg");
    EXPECT_EQ(DetectGameDir({prefix}), std::nullopt);

    // The 32-bit view, in any case, and Linux paths.
    fs::remove(prefix + "/user.reg");
    Registry("system.reg", "Software\\\\Wow6432Node\\\\Blizzard Entertainment\\\\Diablo II",
             "\"InstallPath\"=\"c:\\\\PROGRAM FILES\\\\diablo ii\\\\\"");
    EXPECT_EQ(DetectGameDir({prefix}), found);
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

TEST_F(WithTool, SpawnOnPreviewComparesWithThePatchArchivesCopies) {
    const testing::Row header = testing::ClassicUniqueHeader();
    const testing::Row ring{"Ring", "", "", "rin", "5", "", "", "", "1", "str", "", "1", "1"};
    const CTxtTable patch = testing::NamedTable(header, {ring, {"Band", "", "", "rin"}});
    Add("d2data.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", "index\tcode\r\nRing\trin\r\n");
    Add("patch_d2.mpq", "data\\GLOBAL\\Excel\\UniqueItems.txt", patch.Serialize());
    CStrTbl names;
    names.Add("Ring", "Ring");
    names.Add("Band", "Band");
    std::string tbl;
    ASSERT_TRUE(names.Serialize(tbl));
    Add("patch_d2.mpq", "data\\LOCAL\\LNG\\ENG\\patchstring.tbl", tbl);

    CTxtTable edited = patch;
    edited.SetCell(0, 12, "3"); // Ring's str, the only change of a row other than the last
    edited.AddRow();
    edited.SetCell(2, 0, "Loop");
    CStringTables strings;
    strings.Patch() = names;
    strings.Patch().Set("Band", "Bound");
    strings.Patch().Add("Loop", "Loop");
    const CTxtTable sets = testing::NamedTable({"index", "set"}, {{"A", "B"}});
    SpawnOnRequest request{
        {{&edited, "UniqueItems.txt", ""}, {&sets, "SetItems.txt", ""}}, &strings, "ENG", "Sure?"};
    const SpawnPreview preview = PreviewSpawnOn(bridge, request);
    EXPECT_EQ(preview.Summary(), "UniqueItems.txt: 1 item changed, 1 item added, 1 modifier; "
                                 "SetItems.txt: new in "
                                 "patch_d2.mpq; patchstring.tbl: 2 names");
    EXPECT_EQ(preview.List(), "UniqueItems.txt\tLoop\t\\added 2\t\t\n"
                              "UniqueItems.txt\tRing\t\\modifier\tstr\\t\\t1\\t1\tstr\\t\\t1\\t3\n"
                              "patchstring.tbl\tBand\t\\text\tBand\tBound\n"
                              "patchstring.tbl\tLoop\t\\added\t\tLoop\n");
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
}

} // namespace
} // namespace tolmere
