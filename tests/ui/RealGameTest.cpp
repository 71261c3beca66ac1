// The editor on a game installation made from the real 1.14d tables: every item with
// its name, every modifier from its slot, and edits that reach the archive touching
// nothing but the slots the user changed.
#include "app/MainWindow.h"
#include "mods/ModListCtrl.h"
#include "mods/ModifierDlg.h"
#include "tables/ProgramExit.h"
#include "ui/SetMasterDlg.h"

#include "UiTestHelpers.h"
#include "support/ScriptedGuide.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < bytes.size(); at = end + 1) {
        end = bytes.find('\n', at);
        if (end == std::string::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(at, end - at));
    }
    return lines;
}

std::vector<std::string> SplitCells(const std::string& line) {
    std::vector<std::string> cells;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find('\t', at);
        cells.push_back(line.substr(at, tab - at));
        if (tab == std::string::npos)
            return cells;
        at = tab + 1;
    }
}

class RealGameTest : public ::testing::Test {
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
            Add("patch_d2.mpq", real_ + "/114d/" + table, excel + table);
        Add("patch_d2.mpq", real_ + "/114d/patchstring.tbl", lng + "patchstring.tbl");
        Add("d2exp.mpq", real_ + "/strings/expansionstring.tbl", lng + "expansionstring.tbl");
        Add("d2data.mpq", real_ + "/strings/string.tbl", lng + "string.tbl");
        data_.gameSearch.gameDir = gameDir_;
        previousExit_ = SetExitHandler([](int code) { FAIL() << "exit " << code; });
    }
    void TearDown() override {
        if (!real_.empty())
            SetExitHandler(previousExit_);
    }
    void Add(const std::string& archive, const std::string& file, const std::string& name) {
        const std::string command = "cd '" + gameDir_ + "' && ./mpq2k a " + archive + " '" + file +
                                    "' '" + name + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::string Extracted(const std::string& name) {
        fs::create_directories(gameDir_ + "out");
        const std::string command =
            "cd '" + gameDir_ + "' && ./mpq2k e patch_d2.mpq '" + name + "' 'out\\' >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return ReadBytes(gameDir_ + "out/" + name.substr(name.rfind('\\') + 1));
    }
    int RowOf(const std::string& key) const {
        for (std::int32_t row = 0; row < data_.uniqueItems.DataRowCount(); ++row) {
            if (data_.uniqueItems.Text(row, 0) == key)
                return row;
        }
        return -1;
    }

    std::string real_;
    testing::TempDir dir_;
    std::string gameDir_;
    testing::GuideScope guide_;
    ProgramData data_;
    ExitHandler previousExit_;
};

TEST_F(RealGameTest, EveryItemWithItsNameAndEditsThatTouchOnlyTheirSlots) {
    CMainWindow window(data_);
    window.InitDialog();
    EXPECT_TRUE(guide_->shown.empty());
    auto* items = window.ControlAs<QComboBox>(kMainItemList);
    auto* mods = window.ControlAs<CModListCtrl>(kMainModList);
    ASSERT_EQ(items->count(), 403);
    int named = 0;
    for (int i = 0; i < items->count(); ++i)
        named += items->itemText(i).contains(" --- [") ? 1 : 0;
    EXPECT_GE(named, 388);
    EXPECT_TRUE(
        window.findChild<QWidget*>(QString::number(kMainModFrame))->property("title").toString() ==
        "Modifiers (max 12)");

    // The Gnasher: its four modifiers from its slots, none from the columns around them.
    const int gnasher = RowOf("The Gnasher");
    ASSERT_GE(gnasher, 0);
    items->setCurrentIndex(gnasher);
    Q_EMIT items->activated(gnasher);
    EXPECT_EQ(mods->LineCount(), 4);
    for (int line = 0; line < mods->LineCount(); ++line)
        EXPECT_FALSE(mods->LineText(line).contains("Unknown"))
            << mods->LineText(line).toStdString();
    EXPECT_EQ(window.StatusText(), "4 Modifiers");

    // Add in the first free slot, then delete the first modifier.
    testing::WhenModal([](QWidget* dialog) {
        auto* list = FindControlAs<QComboBox>(dialog, 1004);
        list->setCurrentIndex(list->findText("(dex)", Qt::MatchEndsWith));
        FindControlAs<QLineEdit>(dialog, 1006)->setText("12");
        FindControlAs<QLineEdit>(dialog, 1007)->setText("12");
        static_cast<CSkinDialog*>(dialog)->Command(1);
    });
    window.Command(kMainAdd);
    EXPECT_EQ(data_.uniqueItems.Text(gnasher, 37), "dex"); // prop5
    int first = 0;
    while (first < mods->LineCount() && mods->LineSlot(first) != 0)
        ++first;
    mods->SelectLine(first);
    ASSERT_EQ(mods->CurrentSlot(), 0);
    guide_->answers = {kGuideYes};
    window.Command(kMainDelete);
    EXPECT_EQ(window.StatusText(), "4 Modifiers");
    EXPECT_EQ(data_.uniqueItems.Text(gnasher, 8), "hax"); // the base item stays

    // Spawn On: the archive's table differs from the game's only in the slots touched.
    guide_->answers = {kGuideYes, kGuideNo};
    window.Command(kMainSpawnOn);
    EXPECT_NE(window.StatusText().indexOf("-txt"), -1);
    const std::vector<std::string> before = SplitLines(ReadBytes(real_ + "/114d/UniqueItems.txt"));
    const std::vector<std::string> after =
        SplitLines(Extracted("data\\GLOBAL\\Excel\\UniqueItems.txt"));
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t line = 0; line < before.size(); ++line) {
        if (static_cast<int>(line) == gnasher + 1)
            continue;
        EXPECT_EQ(after[line], before[line]) << line;
    }
    const std::vector<std::string> was = SplitCells(before[gnasher + 1]);
    const std::vector<std::string> now = SplitCells(after[gnasher + 1]);
    ASSERT_EQ(now.size(), was.size());
    for (std::size_t c = 0; c < was.size(); ++c) {
        if (c < 21 || c > 40) { // prop1 … max5
            EXPECT_EQ(now[c], was[c]) << "column " << c;
        }
    }
}

// The list in the game's own words, and the dialog writing a skill where the game
// reads it.
TEST_F(RealGameTest, SkillModifiersAreNamedAndWrittenThroughTheDialog) {
    CMainWindow window(data_);
    window.InitDialog();
    auto* items = window.ControlAs<QComboBox>(kMainItemList);
    auto* mods = window.ControlAs<CModListCtrl>(kMainModList);
    const auto show = [&](const std::string& key) {
        const int row = RowOf(key);
        items->setCurrentIndex(row);
        Q_EMIT items->activated(row);
        QStringList lines;
        for (int line = 0; line < mods->LineCount(); ++line)
            lines << mods->LineText(line);
        return lines;
    };
    EXPECT_TRUE(show("Stormeye").contains("+3 to Holy Shock (Paladin Only)"));

    const struct {
        const char* property;
        const char* skill;
        const char* min;
        const char* max;
        const char* cells; // the first free slot's four cells
        const char* line;
    } adds[] = {
        {"(hit-skill)", "Frost Nova (44)", "10", "5", "hit-skill|44|10|5",
         "10% Chance to cast level 5 Frost Nova on striking"},
        {"(skill)", "Fire Ball (47)", "1", "3", "skill|47|1|3",
         "+(1-3) to Fire Ball (Sorceress Only)"},
    };
    const int gnasher = RowOf("The Gnasher");
    std::int32_t slot = 4; // after its four modifiers
    for (const auto& add : adds) {
        show("The Gnasher");
        testing::WhenModal([&add](QWidget* dialog) {
            auto* list = FindControlAs<QComboBox>(dialog, kModifierList);
            list->setCurrentIndex(list->findText(add.property, Qt::MatchEndsWith));
            auto* skill = FindControlAs<QComboBox>(dialog, kModifierParam);
            skill->setCurrentIndex(skill->findText(add.skill));
            FindControlAs<QLineEdit>(dialog, kModifierMinBox)->setText(add.min);
            FindControlAs<QLineEdit>(dialog, kModifierMaxBox)->setText(add.max);
            static_cast<CSkinDialog*>(dialog)->Command(kDialogOk);
        });
        window.Command(kMainAdd);
        const SlotColumns& cells = data_.uniqueLayout.modifiers.Slot(slot++);
        std::string written;
        for (std::int32_t column : {cells.code, cells.param, cells.min, cells.max})
            written += std::string(data_.uniqueItems.Text(gnasher, column)) + "|";
        EXPECT_EQ(written, std::string(add.cells) + "|");
        EXPECT_TRUE(show("The Gnasher").contains(add.line)) << add.line;
    }
}

// Set Master on the real tables: items under their sets, a member's modifier and a
// full-set bonus edited, both tables written, nothing else of them changed.
TEST_F(RealGameTest, SetMasterEditsAMemberAndAFullSetBonusOfTheRealTables) {
    CMainWindow window(data_);
    window.InitDialog();
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
    testing::WhenModal([](QWidget* dialog) {
        FindControlAs<QLineEdit>(dialog, 1006)->setText("30");
        FindControlAs<QLineEdit>(dialog, 1007)->setText("31");
        static_cast<CSkinDialog*>(dialog)->Command(1);
    });
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
    const struct {
        const char* name;
        int firstColumn, lastColumn; // where the edit may have changed the first data row
    } tables[] = {{"SetItems.txt", 17, 20}, {"Sets.txt", 36, 67}};
    for (const auto& table : tables) {
        const std::vector<std::string> before =
            SplitLines(ReadBytes(real_ + "/114d/" + table.name));
        const std::vector<std::string> after =
            SplitLines(Extracted(std::string("data\\GLOBAL\\Excel\\") + table.name));
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t l = 0; l < before.size(); ++l) {
            if (l != 1) {
                EXPECT_EQ(after[l], before[l]) << table.name << " line " << l;
            }
        }
        const std::vector<std::string> was = SplitCells(before[1]);
        const std::vector<std::string> now = SplitCells(after[1]);
        ASSERT_EQ(now.size(), was.size());
        int changed = 0;
        for (int c = 0; c < static_cast<int>(was.size()); ++c) {
            changed += now[c] != was[c] ? 1 : 0;
            if (c < table.firstColumn || c > table.lastColumn) {
                EXPECT_EQ(now[c], was[c]) << table.name << " column " << c;
            }
        }
        EXPECT_GT(changed, 0) << table.name;
    }
}

} // namespace
} // namespace tolmere
