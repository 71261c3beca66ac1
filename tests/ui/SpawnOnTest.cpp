#include "app/SpawnOn.h"

#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tolmere {
namespace {

using Lines = std::vector<std::string>;

TEST(SpawnOn, AsksTwiceAndReportsEachFailure) {
    const std::string ask = "Confirmation: Sure?";
    const std::string askStrings = "Confirmation: Apply the patchstring.tbl too?";
    const struct {
        std::deque<int> answers;
        bool toolFails;
        bool emptyTable;
        Lines shown;
        bool written;
    } cases[] = {
        {{kGuideNo}, false, false, {ask}, false},
        {{kGuideYes, kGuideNo}, false, false, {ask, askStrings}, true},
        {{kGuideYes, kGuideYes}, false, false, {ask, askStrings}, true},
        {{kGuideYes, kGuideYes},
         true,
         false,
         {ask, "Guide: Failed in UniqueItems.txt", askStrings,
          "Guide: Failed in patchstring.tbl ENG"},
         false},
        {{kGuideYes}, false, true, {ask, "Guide: Failed to save to temporary file."}, false},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        const std::string gameDir = dir.Path() + "/";
        testing::WriteBytes(gameDir + "mpq2k", "#!/bin/sh\n[ -f fail ] && exit 1\nexit 0\n");
        chmod((gameDir + "mpq2k").c_str(), 0755);
        if (c.toolFails)
            testing::WriteBytes(gameDir + "fail", "");
        testing::GuideScope guide;
        guide->answers = c.answers;
        CStrTbl strings;
        strings.Add("Item", "Name");
        const CTxtTable table = c.emptyTable ? CTxtTable{} : testing::TableOf(1, {{"Item"}});
        EXPECT_EQ(
            RunSpawnOn(CArchiveBridge(gameDir), table, "UniqueItems.txt", strings, "ENG", "Sure?"),
            c.written);
        EXPECT_EQ(guide->shown, c.shown);
    }
}

} // namespace
} // namespace tolmere
