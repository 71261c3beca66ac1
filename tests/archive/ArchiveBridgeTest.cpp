#include "archive/ArchiveBridge.h"

#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace tolmere {
namespace {

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

class Bridge : public ::testing::Test {
protected:
    void SetUp() override {
        mkdir(gameDir.c_str(), 0755);
        WriteBytes(gameDir + "mpq2k", kStandIn);
        chmod((gameDir + "mpq2k").c_str(), 0755);
    }
    void Put(const std::string& archive, const std::string& path, const std::string& bytes) {
        std::string full = gameDir + "store/" + archive + "/" + path;
        std::filesystem::create_directories(full.substr(0, full.rfind('/')));
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
        for (const auto& entry : std::filesystem::directory_iterator(gameDir)) {
            const std::string name = entry.path().filename();
            if (name != "mpq2k" && name != "store" && name != "calls.log" && name != "fail" &&
                name != "script.copy")
                left += name + " ";
        }
        return left;
    }

    testing::TempDir dir;
    std::string gameDir = dir.File("Diablo II") + "/";
    CArchiveBridge bridge{gameDir};
    GuideScope guide;
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
        const char* name;
        std::function<void()> arrange;
        bool extracted;
        const char* reason;
    } cases[] = {
        {"damaged patch archive", [&] { Put("patch_d2.mpq", "broken", ""); }, false,
         "mpq2k: patch_d2.mpq: damaged archive"},
        {"a binary file",
         [&] {
             Put("patch_d2.mpq", "data/GLOBAL/Excel/UniqueItems.txt", std::string("a\tb\0c", 5));
         },
         true, "UniqueItems.txt: it holds binary data (a zero byte at offset 3), not a"},
        {"not a table",
         [&] {
             Put("patch_d2.mpq", "data/GLOBAL/Excel/UniqueItems.txt", "# Read me\r\nWords.\r\n");
         },
         true, "UniqueItems.txt: its first line holds no TAB"},
        {"a tool past its time", [&] { WriteBytes(gameDir + "mpq2k", "#!/bin/sh\nsleep 8\n"); },
         false, "the archive tool was still running after 4 s and was stopped"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(gameDir + "store/patch_d2.mpq");
        c.arrange();
        CTxtTable table = testing::TableOf(1, {{"kept"}});
        const CArchiveBridge::Fetch fetch = bridge.FetchTable("UniqueItems.txt", table);
        EXPECT_EQ(fetch.extracted, c.extracted) << c.name;
        EXPECT_FALSE(fetch.loaded) << c.name;
        EXPECT_EQ(fetch.from, Archive::kPatch) << c.name << ": d2data.mpq must not stand in";
        EXPECT_EQ(fetch.reason.rfind(c.reason, 0), 0u) << c.name << ": " << fetch.reason;
        EXPECT_EQ(table.Text(0, 0), "kept") << c.name;
        EXPECT_EQ(Leftovers(), "") << c.name;
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
    std::filesystem::remove(gameDir + "store/d2data.mpq/data/GLOBAL/Excel/armor.txt");
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
    std::filesystem::remove(gameDir + "mpq2k");
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

} // namespace
} // namespace tolmere
