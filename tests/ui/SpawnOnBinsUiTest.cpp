// SPDX-License-Identifier: MIT
// Spawn On from the main window on a demo game whose patch archive holds compiled
// tables: the status line names the .bin written, and asks for -txt only when none was.
#include "MainWindowFixture.h"

#include "support/CompiledGame.h"

namespace tolmere {
namespace {

TEST_F(MainWindowTest, TheTxtNoteComesOnlyWhenNoBinWentIn) {
    CMainWindow& window = Start();
    const testing::CompiledGame compiled(gameDir_, TOLMERE_MPQ2K, dir_.Path());
    ASSERT_TRUE(compiled.Give(Unique(), data_.strings));

    data_.uniqueItems.SetCell(2, 4, "42");
    guide_->answers = {kGuideYes, kGuideNo};
    window.Command(kMainSpawnOn);
    const std::string written = window.StatusText().toStdString();
    EXPECT_NE(guide_->shown[0].find("UniqueItems.bin: compiled from the table"), std::string::npos)
        << guide_->shown[0];
    EXPECT_EQ(written.rfind("UniqueItems.txt and UniqueItems.bin written into patch_d2.mpq", 0), 0u)
        << written;
    EXPECT_EQ(written.find("-txt"), std::string::npos) << written;
    EXPECT_TRUE(Extracted("data\\GLOBAL\\Excel\\UniqueItems.bin") ==
                compiled.Compile(Unique(), data_.strings));

    ASSERT_TRUE(compiled.ChangeProperties());
    // Held back, the archive's own .bin is a problem the modder is asked about.
    data_.uniqueItems.SetCell(2, 4, "43");
    guide_->shown.clear();
    guide_->answers = {kGuideYes, kGuideYes, kGuideNo};
    window.Command(kMainSpawnOn);
    ASSERT_EQ(guide_->shown.size(), 3u);
    EXPECT_EQ(guide_->shown[0], "Confirmation: 1 problem the game will trip over: write anyway?");
    const std::string held = window.StatusText().toStdString();
    EXPECT_EQ(held.rfind("UniqueItems.txt written into patch_d2.mpq; UniqueItems.bin not written: "
                         "the game's Properties.bin is not what its Properties.txt compiles to",
                         0),
              0u)
        << held;
    EXPECT_NE(held.find("only when started with -txt"), std::string::npos) << held;
    EXPECT_EQ(Extracted(kUniqueEntry), Unique().Serialize());
}

} // namespace
} // namespace tolmere
