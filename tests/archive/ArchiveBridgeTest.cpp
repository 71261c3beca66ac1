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

// A stand-in for mpq2k that keeps each archive as a folder under store/ and logs
// every call, so the bridge's side of the exchange can be checked exactly.
const char kStandIn[] = R"sh(#!/bin/sh
echo "$*" >> calls.log
[ -f fail ] && exit 1
path() { printf '%s' "$1" | tr '\\' '/'; }
case "$1" in
  e) src="store/$2/$(path "$3")"; [ -f "$src" ] || exit 1
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
        return calls;
    }

    testing::TempDir dir;
    std::string gameDir = dir.File("Diablo II") + "/";
    CArchiveBridge bridge{gameDir};
    GuideScope guide;
};

TEST_F(Bridge, ExtractsFromTheChosenArchiveAndCleansUpAfterLoading) {
    EXPECT_EQ(bridge.CommandLine("e x"), "\"" + gameDir + "mpq2k\" e x");
    Put("d2data.mpq", "data/GLOBAL/Excel/UniqueItems.txt", "a\tb\r\n1\t2\r\n");
    EXPECT_FALSE(bridge.ExtractUniqueItems(Archive::kPatch));
    ASSERT_TRUE(bridge.ExtractUniqueItems(Archive::kBase));
    EXPECT_EQ(Calls(), (Lines{"e patch_d2.mpq data\\GLOBAL\\Excel\\UniqueItems.txt tmp08187262\\",
                              "e d2data.mpq data\\GLOBAL\\Excel\\UniqueItems.txt tmp08187262\\"}));
    CTxtTable table;
    ASSERT_TRUE(bridge.LoadExtracted("UniqueItems.txt", table));
    EXPECT_EQ(table.Serialize(), "a\tb\r\n1\t2\r\n");
    EXPECT_FALSE(FileExists(bridge.WorkDir()));

    EXPECT_FALSE(bridge.ExtractSetItems(Archive::kPatch));
    EXPECT_EQ(Calls().back(), "e patch_d2.mpq data\\GLOBAL\\Excel\\SetItems.txt tmp08187262\\");
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
    EXPECT_FALSE(installed.ExtractUniqueItems(Archive::kPatch)); // runs, in the game folder
    EXPECT_TRUE(FileExists(gameDir + "calls.log"));
}

TEST_F(Bridge, AToolStillRunningAfterFourSecondsCountsAsFailure) {
    WriteBytes(gameDir + "mpq2k", "#!/bin/sh\nsleep 8\n");
    EXPECT_FALSE(bridge.ExtractUniqueItems(Archive::kPatch));
}

TEST_F(Bridge, StringTableOfTheLanguageOrAnEmptyOne) {
    CStrTbl names;
    names.Add("Key", "Name");
    ASSERT_TRUE(names.Write(dir.File("names.tbl")));
    Put("patch_d2.mpq", "data/LOCAL/LNG/DEU/patchstring.tbl", ReadBytes(dir.File("names.tbl")));

    CStrTbl strings;
    ASSERT_TRUE(bridge.ExtractStringTable(strings, "DEU"));
    EXPECT_EQ(strings.Find("Key")->text, "Name");
    EXPECT_FALSE(FileExists(bridge.WorkDir())); // nothing of ours stays in the game folder

    // Each archive in the game's order, until one has it.
    EXPECT_FALSE(bridge.ExtractStringTable(strings, "ENG", "string.tbl"));
    EXPECT_EQ(strings.EntryCount(), 0u);
    const Lines calls = Calls();
    EXPECT_EQ(Lines(calls.end() - 3, calls.end()),
              (Lines{"e patch_d2.mpq data\\LOCAL\\LNG\\ENG\\string.tbl tmp08187262\\",
                     "e d2exp.mpq data\\LOCAL\\LNG\\ENG\\string.tbl tmp08187262\\",
                     "e d2data.mpq data\\LOCAL\\LNG\\ENG\\string.tbl tmp08187262\\"}));
}

TEST_F(Bridge, BaseListsTakeThePatchCopyOverTheBaseOne) {
    Put("d2data.mpq", "data/GLOBAL/Excel/weapons.txt", "w\r\nbase\r\n");
    Put("patch_d2.mpq", "data/GLOBAL/Excel/weapons.txt", "w\r\npatched\r\n");
    Put("d2data.mpq", "data/GLOBAL/Excel/armor.txt", "a\r\n");
    Put("d2data.mpq", "data/GLOBAL/Excel/misc.txt", "m\r\nx\r\n");
    CBaseLists lists;
    std::string failed;
    ASSERT_TRUE(bridge.ExtractBaseLists(lists, failed));
    EXPECT_EQ(*lists.List(0).Cell(0, 0), "patched");
    EXPECT_TRUE(lists.Loaded()); // armor holds its header alone
    EXPECT_EQ(guide->statuses, (Lines{"weapons.txt loaded", "armor.txt loaded", "misc.txt loaded",
                                      "List resource loaded"}));
    const Lines calls = Calls();
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(Lines(calls.begin(), calls.begin() + 3),
              (Lines{"e d2data.mpq data\\GLOBAL\\Excel\\weapons.txt tmp08187262\\",
                     "e d2exp.mpq data\\GLOBAL\\Excel\\weapons.txt tmp08187262\\",
                     "e patch_d2.mpq data\\GLOBAL\\Excel\\weapons.txt tmp08187262\\"}));
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
}

TEST_F(Bridge, AMissingListStopsThereAndAStaleCopyIsNotUsed) {
    Put("d2data.mpq", "data/GLOBAL/Excel/weapons.txt", "w\r\n");
    mkdir(bridge.WorkDir().c_str(), 0755);
    WriteBytes(bridge.WorkFile("armor.txt"), "stale\r\n");
    CBaseLists lists;
    std::string failed;
    EXPECT_FALSE(bridge.ExtractBaseLists(lists, failed));
    EXPECT_EQ(failed, "armor.txt");
    EXPECT_EQ(guide->statuses, Lines{"weapons.txt loaded"});
    EXPECT_FALSE(lists.Loaded());
}

TEST_F(Bridge, TablesAndStringsGoIntoThePatchArchiveAndTheUploadsAreRemoved) {
    using PatchWrite = CArchiveBridge::PatchWrite;
    const CTxtTable table = testing::TableOf(2, {{"Item", "x\xe9"}});
    CStrTbl strings;
    strings.Add("Item", "Name");
    EXPECT_EQ(bridge.AddTableToPatch(table, "UniqueItems.txt"), PatchWrite::kWritten);
    EXPECT_EQ(bridge.AddStringsToPatch(strings, "ENG"), PatchWrite::kWritten);
    EXPECT_EQ(Calls(),
              (Lines{"a patch_d2.mpq tmp08187262.tmp data\\GLOBAL\\Excel\\UniqueItems.txt",
                     "a patch_d2.mpq tmp08187262.tmp2 data\\LOCAL\\LNG\\ENG\\patchstring.tbl"}));
    EXPECT_EQ(Stored("patch_d2.mpq", "data/GLOBAL/Excel/UniqueItems.txt"), table.Serialize());
    std::string expected;
    ASSERT_TRUE(CStrTbl(strings).Serialize(expected));
    EXPECT_EQ(Stored("patch_d2.mpq", "data/LOCAL/LNG/ENG/patchstring.tbl"), expected);

    // Failures, by what failed; nothing of ours is left in the game folder either way.
    WriteBytes(gameDir + "fail", "");
    EXPECT_EQ(bridge.AddTableToPatch(table, "UniqueItems.txt"), PatchWrite::kToolFailed);
    EXPECT_EQ(bridge.AddStringsToPatch(strings, "ENG"), PatchWrite::kToolFailed);
    EXPECT_EQ(bridge.AddTableToPatch(CTxtTable{}, "SetItems.txt"), PatchWrite::kNotSaved);
    EXPECT_EQ(bridge.AddStringsToPatch(CStrTbl{}, "ENG"), PatchWrite::kNotSaved);
    EXPECT_FALSE(FileExists(bridge.TableUploadFile()));
    EXPECT_FALSE(FileExists(bridge.StringsUploadFile()));
}

TEST_F(Bridge, PictureScriptRunsFromItsFileAndPicturesAreCleanedUp) {
    bridge.RunPictureScript({"invhax"});
    EXPECT_EQ(Calls(), Lines{"s tmp08187262.scs"});
    EXPECT_EQ(ReadBytes(gameDir + "script.copy"), CArchiveBridge::PictureScript({"invhax"}));
    EXPECT_FALSE(FileExists(bridge.PictureScriptFile()));
    WriteBytes(bridge.WorkFile("invhax.dc6"), "x");
    WriteBytes(bridge.WorkFile("invrin.dc6"), "x");
    bridge.RemovePictures();
    EXPECT_FALSE(FileExists(bridge.WorkDir()));
}

TEST(PictureScript, BaseFirstThenPatchWithTheTrailingSpace) {
    EXPECT_EQ(CArchiveBridge::PictureScript({"invhax", "../evil", "inv\r\nbad", "invrin"}),
              "o d2data.mpq\r\n"
              "x data\\GLOBAL\\Items\\invhax.dc6 tmp08187262\\ \r\n"
              "x data\\GLOBAL\\Items\\invrin.dc6 tmp08187262\\ \r\n"
              "c d2data.mpq\r\n"
              "o patch_d2.mpq\r\n"
              "x data\\GLOBAL\\Items\\invhax.dc6 tmp08187262\\ \r\n"
              "x data\\GLOBAL\\Items\\invrin.dc6 tmp08187262\\ \r\n"
              "c patch_d2.mpq\r\n");
}

} // namespace
} // namespace tolmere
