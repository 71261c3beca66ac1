// SPDX-License-Identifier: MIT
// The editor on a game installation made from the real 1.14d tables: every item with
// its name, every modifier from its slot, and edits that reach the archive touching
// nothing but the slots the user changed.
#include "ui/SetMasterDlg.h"

#include "MainWindowFixture.h"
#include "UiTestHelpers.h"
#include "support/TableBuilder.h"

#include <QTreeWidget>

#include <tuple>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

// The archive's copy of a table is the game's with only `row`'s cells in columns `first`
// to `last` changed, and some of them are.
void ExpectChangedOnlyIn(const std::string& before, const std::string& after, std::int32_t row,
                         std::int32_t first, std::int32_t last) {
    EXPECT_NE(after, before);
    CTxtTable expected, written;
    expected.Parse(before);
    written.Parse(after);
    for (std::int32_t c = first; c <= last; ++c)
        expected.SetCell(row, c, std::string(written.Text(row, c)));
    EXPECT_TRUE(expected.Serialize() == after) << "more changed than the edited cells";
}

class RealGameTest : public GameFolderTest {
protected:
    void SetUp() override {
        std::string skip;
        real_ = testing::RealTablesDir(skip);
        if (real_.empty())
            GTEST_SKIP() << skip;
        gameDir_ = dir_.Path() + "/game/";
        fs::create_directories(gameDir_);
        fs::copy_file(TOLMERE_MPQ2K, gameDir_ + "mpq2k");
        const std::string excel = "data\\GLOBAL\\Excel\\", lng = "data\\LOCAL\\LNG\\ENG\\";
        for (const char* table :
             {"UniqueItems.txt", "SetItems.txt", "Sets.txt", "Weapons.txt", "Armor.txt", "Misc.txt",
              "Properties.txt", "ItemStatCost.txt", "Skills.txt", "SkillDesc.txt", "CharStats.txt"})
            Add("patch_d2.mpq", "114d/" + std::string(table), excel + table);
        Add("patch_d2.mpq", "114d/patchstring.tbl", lng + "patchstring.tbl");
        Add("d2exp.mpq", "strings/expansionstring.tbl", lng + "expansionstring.tbl");
        Add("d2data.mpq", "strings/string.tbl", lng + "string.tbl");
        data_.gameSearch.gameDir = gameDir_;
    }
    // Adds the real table `file` to `archive` as `name`.
    void Add(const std::string& archive, const std::string& file, const std::string& name) {
        ASSERT_EQ(Mpq2k("a " + archive + " '" + real_ + "/" + file + "' '" + name + "'"), "ok");
    }
    int RowOf(const std::string& key) const {
        for (std::int32_t row = 0; row < data_.uniqueItems.DataRowCount(); ++row) {
            if (data_.uniqueItems.Text(row, 0) == key)
                return row;
        }
        return -1;
    }

    std::string real_;
};

// The window on the 1.10+ layout: every item with its name, and an item's modifiers from
// its slots, none from the columns around them. (How edits touch only their slots, and
// are written back, is checked on the real rows and on the classic game.)
TEST_F(RealGameTest, EveryItemWithItsNameAndItsModifiers) {
    CMainWindow& window = Start();
    EXPECT_TRUE(guide_->shown.empty());
    QComboBox* items = Items();
    ASSERT_EQ(items->count(), 403);
    int named = 0;
    for (int i = 0; i < items->count(); ++i)
        named += items->itemText(i).contains(" --- [") ? 1 : 0;
    EXPECT_GE(named, 388);
    EXPECT_TRUE(
        window.findChild<QWidget*>(QString::number(kMainModFrame))->property("title").toString() ==
        "Modifiers (max 12)");
    const int gnasher = RowOf("The Gnasher");
    ASSERT_GE(gnasher, 0);
    Choose(gnasher);
    CModListCtrl* mods = Mods();
    EXPECT_EQ(mods->LineCount(), 4);
    for (int line = 0; line < mods->LineCount(); ++line)
        EXPECT_FALSE(mods->LineText(line).contains("Unknown"))
            << mods->LineText(line).toStdString();
    EXPECT_EQ(window.StatusText(), "4 Modifiers");
}

// Set Master on the real tables: items under their sets, a member's modifier and a
// full-set bonus edited, both tables written, nothing else of them changed.
TEST_F(RealGameTest, SetMasterEditsAMemberAndAFullSetBonusOfTheRealTables) {
    Start();
    const CArchiveBridge bridge(gameDir_, gameDir_ + "mpq2k");
    CSetMasterDlg sets(data_, &bridge);
    sets.InitDialog();
    EXPECT_TRUE(guide_->shown.empty()) << guide_->shown.front();
    EXPECT_EQ(sets.Tree()->topLevelItemCount(), data_.sets.DataRowCount() + 1); // and no set
    EXPECT_EQ(sets.Tree()->topLevelItem(0)->text(0).toStdString(),
              "Civerb's Vestments --- [Civerb's Vestments] (string.tbl)");
    EXPECT_EQ(sets.Tree()->topLevelItem(0)->childCount(), 3);

    // The Ward's prop1 through the dialog.
    ASSERT_TRUE(sets.SelectNode(1000));
    CModListCtrl* mods = sets.ModList();
    int line = 0;
    while (line < mods->LineCount() && !mods->LineText(line).contains("Defense"))
        ++line;
    mods->SelectLine(line);
    testing::AnswerNext({{kModifierMinBox, "30"}, {kModifierMaxBox, "31"}});
    guide_->answers = {kGuideYes}; // change this modifier
    sets.Command(kSetEdit);
    EXPECT_EQ(data_.setItems.Text(0, 19), "30"); // min1
    // The set's first full-set bonus deleted.
    ASSERT_TRUE(sets.SelectNode(0));
    line = 0;
    while (line < mods->LineCount() && !mods->LineText(line).contains("Strength"))
        ++line;
    mods->SelectLine(line);
    guide_->answers = {kGuideYes};
    sets.Command(kSetDelete);
    EXPECT_EQ(data_.sets.Text(0, 36), "dmg-undead"); // FCode1

    guide_->answers = {kGuideYes, kGuideNo};
    sets.Command(kSetSpawnOn);
    EXPECT_TRUE(sets.StatusText().startsWith("SetItems.txt and Sets.txt written"))
        << sets.StatusText().toStdString();
    // Only the first data row changed, in the slots edited.
    for (const auto& [name, first, last] :
         {std::make_tuple("SetItems.txt", 17, 20), std::make_tuple("Sets.txt", 36, 67)})
        ExpectChangedOnlyIn(ReadBytes(real_ + "/114d/" + name),
                            Extracted(std::string("data\\GLOBAL\\Excel\\") + name), 0, first, last);
}

} // namespace
} // namespace tolmere
