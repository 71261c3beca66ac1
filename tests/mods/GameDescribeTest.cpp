// SPDX-License-Identifier: MIT
// The game's own wording, checked on the real 1.14d tables: each item's lines as its
// item description shows them, worked out from Properties.txt, ItemStatCost.txt and the
// string tables by the game's rules (ranges where min and max differ).
#include "mods/GameDescribe.h"

#include "items/UniqueLayout.h"
#include "mods/SlotNames.h"
#include "tables/ColumnFinder.h"

#include "support/TableBuilder.h"

#include "ItemLines.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tolmere {
namespace {

using testing::Row;

struct RealGame {
    std::string skip;
    CGameData game;
    CGameData noCharStats; // the same game without CharStats.txt
    CStringTables strings;
    CTxtTable unique, setItems, sets;

    RealGame() {
        const std::string dir = testing::RealTablesDir(skip);
        if (dir.empty())
            return;
        std::string error;
        const bool loaded =
            game.LoadFolder(dir + "/114d", error) && unique.Load(dir + "/114d/UniqueItems.txt") &&
            setItems.Load(dir + "/114d/SetItems.txt") && sets.Load(dir + "/114d/Sets.txt") &&
            strings.Patch().Read(dir + "/114d/patchstring.tbl") &&
            strings.Table(StringSource::kExpansion).Read(dir + "/strings/expansionstring.tbl") &&
            strings.Table(StringSource::kBase).Read(dir + "/strings/string.tbl");
        if (!loaded)
            skip = "the real tables did not load: " + error;
        GameTables tables;
        for (std::size_t i = 0; i < GameTables::FileNames().size(); ++i) {
            const std::string name = GameTables::FileNames()[i];
            if (name != "CharStats.txt" && !tables[i].Load(dir + "/114d/" + name))
                skip = "the real " + name + " did not load";
        }
        noCharStats.Assign(tables);
    }
    // The row's lines as "[slot] text".
    std::vector<std::string> Lines(const CTxtTable& table, std::int32_t row,
                                   const SlotList& slots) const {
        std::vector<std::string> lines;
        for (const ModLine& line : CGameDescriber(game, strings).Describe(table, row, slots))
            lines.push_back("[" + std::to_string(line.slot) + "] " + line.text);
        return lines;
    }
};

using testing::ItemLines;

const RealGame& Real() {
    static const RealGame real;
    return real;
}

#define REAL_OR_SKIP()                                                                             \
    const RealGame& real = Real();                                                                 \
    if (!real.skip.empty())                                                                        \
    GTEST_SKIP() << real.skip

TEST(GameDescribe, RealItemsReadAsTheirItemDescriptions) {
    REAL_OR_SKIP();
    const struct {
        const char* key;
        int level; // keys repeat: the level tells them apart
        const char* lines;
    } items[] = {
        {"The Gnasher", 7,
         "[3] +(60-70)% Enhanced Damage|[2] 20% Chance of Crushing Blow|[1] 50% Chance of Open "
         "Wounds|[0] +8 to Strength"},
        {"Rakescar", 36,
         "[6] +30% Increased Attack Speed|[5] +(75-150)% Enhanced Damage|[3] +50 to Attack "
         "Rating|[0] +38 poison damage over 3 seconds|[4] Poison Resist +50%"},
        {"Gravenspine", 27,
         "[6] +2 to Necromancer Skill Levels|[2] Adds 4-8 cold damage|[5] 5% Mana stolen per "
         "hit|[0] +10 to Strength|[1] +10 to Dexterity|[7] +(25-50) to Mana"},
        {"Carin Shard", 43,
         "[6] +2 to Summoning Skills (Necromancer Only)|[5] +1 to Necromancer Skill Levels|[1] "
         "+10% "
         "Faster Cast Rate|[3] +30% Faster Hit Recovery|[0] +(1-123) to Life (Based on Character "
         "Level)|[4] Replenish Life +5|[2] +(1-123) to Mana (Based on Character Level)"},
        {"Azurewrath", 87,
         "[2] Level (10-13) Sanctuary Aura When Equipped|[7] +1 to All Skills|[4] +30% Increased "
         "Attack Speed|[1] +(230-270)% Enhanced Damage|[0] Adds 250-500 magic damage|[3] Adds "
         "250-500 cold damage|[5] +(5-10) to all Attributes|[6] +3 to Light Radius"},
        {"Spellsteel", 47,
         "[3] +10% Faster Cast Rate|[4] +165% Enhanced Damage|[1] +100 to Mana|[5] Regenerate Mana "
         "25%|[2] Magic Damage Reduced by (12-15)|[6] Level 1 Teleport (20/20 Charges)|[7] Level 3 "
         "Decrepify (30/30 Charges)|[8] Level 10 Holy Bolt (100/100 Charges)|[9] Level 12 "
         "Firestorm (60/60 Charges)|[0] Requirements -60%"},
        {"Blade of Ali Baba", 43,
         "[4] +(60-120)% Enhanced Damage|[5] +(5-15) to Dexterity|[3] +15 to Mana|[1] (2-247)% "
         "Extra Gold from Monsters (Based on Character Level)|[2] (1-99)% Better Chance of Getting "
         "Magic Items (Based on Character Level)|[0] Socketed (2)"},
        {"Medusa's Gaze", 84,
         "[2] 10% Chance to cast level 7 Lower Resist when struck|[4] 100% Chance to cast level 44 "
         "Nova when you Die|[3] (5-9)% Life stolen per hit|[1] Slows Target by 20%|[0] +(150-180)% "
         "Enhanced Defense|[5] Cold Resist +(40-80)%"},
        {"Warpspear", 47,
         "[0] +3 to Sorceress Skill Levels|[1] Ignore Target's Defense|[2] +3 to Teleport "
         "(Sorceress Only)|[3] +3 to Telekinesis (Sorceress Only)|[4] +3 to Energy Shield "
         "(Sorceress Only)|[5] +250 Defense vs. Missile|[6] Disabled: 50% Chance to cast level 1 "
         "Teleport on striking|[7] Disabled: 25% Chance to cast level 1 Teleport when struck"},
        {"Tomb Reaver", 86,
         "[0] +60% Increased Attack Speed|[2] +(200-280)% Enhanced Damage|[3] +(150-230)% Damage "
         "to Undead|[6] +(250-350) to Attack Rating against Undead|[5] All Resistances "
         "+(30-50)|[7] 10% Reanimate as: Returned|[8] +(10-14) Life after each Kill|[4] (50-80)% "
         "Better Chance of Getting Magic Items|[1] +4 to Light Radius|[9] Socketed (1-3)"},
        {"Mindrend", 28,
         "[5] +(60-100)% Enhanced Damage|[4] +(50-100) to Attack Rating|[2] Adds 1-(12-15) "
         "lightning damage|[6] 15% Chance of Open Wounds|[0] Hit Blinds Target +2|[1] Regenerate "
         "Mana 20%"},
        {"Maelstromwrath", 19,
         "[4] +30% Faster Cast Rate|[0] Adds 1-9 lightning damage|[5] +(1-3) to Corpse Explosion "
         "(Necromancer Only)|[6] +(1-3) to Terror (Necromancer Only)|[7] +(1-3) to Amplify Damage "
         "(Necromancer Only)|[8] +(1-3) to Iron Maiden (Necromancer Only)|[3] +13 to Mana|[2] "
         "Lightning Resist +40%"},
        {"Widowmaker", 73,
         "[3] Fires Magic Arrows|[0] +(150-200)% Enhanced Damage|[2] Ignore Target's Defense|[1] "
         "33% Deadly Strike|[4] +(3-5) to Guided Arrow"},
        {"Swordguard", 55,
         "[7] +20% Faster Hit Recovery|[8] 20% Increased Chance of Blocking|[5] +(170-180)% "
         "Enhanced Damage|[1] +(5-495) Defense (Based on Character Level)|[6] +200 Defense vs. "
         "Melee|[3] +100 Defense vs. Missile|[2] All Resistances +(10-20)|[4] 30% Damage Taken "
         "Goes To Mana|[0] Requirements -50%"},
        {"Hellrack", 84,
         "[2] +20% Increased Attack Speed|[0] +(180-230)% Enhanced Damage|[3] (100-150)% Bonus to "
         "Attack Rating|[1] Adds 63-324 fire damage|[1] Adds 63-324 lightning damage|[1] Adds "
         "63-324 cold damage|[5] Level 18 Immolation Arrow (150/150 Charges)|[4] Socketed (2)"},
        {"Crow Caw", 45,
         "[4] +15% Increased Attack Speed|[3] +15% Faster Hit Recovery|[0] 35% Chance of Open "
         "Wounds|[1] +(150-180)% Enhanced Defense|[2] +15 to Dexterity|[5] Disabled: Level 5 Raven "
         "(3/3 Charges)"},
        {"Ormus' Robes", 83,
         "[1] +20% Faster Cast Rate|[2] +(10-15)% to Fire Skill Damage|[3] +(10-15)% to Cold Skill "
         "Damage|[4] +(10-15)% to Lightning Skill Damage|[6] +3 to a random skill from Fire Bolt "
         "to Chilling Armor|[0] +(10-20) Defense|[5] Regenerate Mana (10-15)%"},
        {"Warlord's Trust", 43,
         "[5] +175% Enhanced Damage|[0] +75 Defense|[2] +(0-49) to Vitality (Based on Character "
         "Level)|[1] Replenish Life +20|[3] All Resistances +10|[4] Repairs 1 durability in 4 "
         "seconds"},
        {"Mang Song's Lesson", 86,
         "[0] +5 to All Skills|[5] +30% Faster Cast Rate|[1] -(7-15)% to Enemy Fire Resistance|[2] "
         "-(7-15)% to Enemy Lightning Resistance|[3] -(7-15)% to Enemy Cold Resistance|[4] "
         "Regenerate Mana 10%"},
        {"Ethereal Edge", 82,
         "[7] Indestructible|[1] +25% Increased Attack Speed|[0] +(150-180)% Enhanced Damage|[5] "
         "+(270-350) to Attack Rating|[3] +(150-200)% Damage to Demons|[2] +(10-12) Fire "
         "Absorb|[4] +(5-10) Life after each Demon Kill|[6] Ethereal (Cannot be Repaired)"},
        {"Nightwing's Veil", 75,
         "[1] +2 to All Skills|[5] +(8-15)% to Cold Skill Damage|[0] +(90-120)% Enhanced "
         "Defense|[2] +(10-20) to Dexterity|[3] +(5-9) Cold Absorb|[4] Half Freeze Duration|[6] "
         "Requirements -50%"},
        // Flee: 64 in 128ths of the time is 50%.
        {"Umes Lament", 38,
         "[0] +2 to Necromancer Skill Levels|[2] +20% Faster Cast Rate|[4] +3 to Terror "
         "(Necromancer Only)|[5] +2 to Decrepify (Necromancer Only)|[3] Hit Causes Monster to "
         "Flee 50%|[1] +40 to Mana"},
        // res-pois and res-all's poison make one stat; the group's members then differ.
        {"Horadric Staff", 0,
         "[4] +50% Increased Attack Speed|[2] +10 to Life|[0] +10 to Mana|[3] Cold Resist "
         "+10%|[3] Lightning Resist +10%|[3] Fire Resist +10%|[1] Poison Resist +35%"},
        // Cold 50 and the others 20: no "All Resistances"; durability is no modifier line.
        {"Duriel's Shell", 49,
         "[3] +(160-200)% Enhanced Defense|[1] +(1-123) Defense (Based on Character Level)|[0] "
         "+15 to Strength|[2] +(1-99) to Life (Based on Character Level)|[7] Cold Resist "
         "+50%|[5] Lightning Resist +20%|[4] Fire Resist +20%|[6] Poison Resist +20%|[8] Cannot "
         "Be Frozen|[9] dur 100 100 (not shown on the item)"},
        // Skills named as Skills.txt spells them ("Wearwolf", "feral rage").
        {"Wolfhowl", 85,
         "[1] +(2-3) to Warcries (Barbarian Only)|[5] +(3-6) to Werewolf|[7] +(3-6) to "
         "Lycanthropy|[8] +(3-6) to Feral Rage|[0] +(120-150)% Enhanced Defense|[2] +(8-15) to "
         "Strength|[3] +(8-15) to Dexterity|[4] +(8-15) to Vitality|[6] Level 15 Summon Dire Wolf "
         "(18/18 Charges)"},
        {"Cerebus", 71,
         "[1] +(2-4) to Shape Shifting Skills (Druid Only)|[3] (60-120)% Bonus to Attack "
         "Rating|[2] (7-10)% Life stolen per hit|[4] 33% Chance of Open Wounds|[5] +(1-2) to "
         "Feral Rage (Druid Only)|[0] +(130-140)% Enhanced Defense"},
        {"Bloodmoon", 69,
         "[0] +(210-260)% Enhanced Damage|[1] (10-15)% Life stolen per hit|[4] 50% Chance of "
         "Open Wounds|[3] +(7-13) Life after each Kill|[2] Level 15 Blood Golem (9/9 Charges)"},
    };
    const UniqueItemsLayout layout = RecogniseUniqueItems(real.unique);
    const std::int32_t level = CColumnFinder(real.unique).Find("lvl");
    for (const auto& item : items) {
        std::int32_t row = 0;
        while (row < real.unique.DataRowCount() &&
               !(real.unique.Text(row, 0) == item.key &&
                 real.unique.Text(row, level) == std::to_string(item.level)))
            ++row;
        ASSERT_LT(row, real.unique.DataRowCount()) << item.key;
        std::string lines;
        for (const std::string& line : real.Lines(real.unique, row, layout.modifiers.slots))
            lines += (lines.empty() ? "" : "|") + line;
        EXPECT_EQ(lines, item.lines) << item.key;
    }
}

// The tables count skill tabs three a class, in CharStats.txt's order of the tabs.
TEST(GameDescribe, RealSkillTabsNameTheirClassAndTab) {
    REAL_OR_SKIP();
    const char* tabs[] = {
        "+2 to Bow and Crossbow Skills (Amazon Only)",
        "+2 to Passive and Magic Skills (Amazon Only)",
        "+2 to Javelin and Spear Skills (Amazon Only)",
        "+2 to Fire Skills (Sorceress Only)",
        "+2 to Lightning Skills (Sorceress Only)",
        "+2 to Cold Skills (Sorceress Only)",
        "+2 to Curses (Necromancer Only)",
        "+2 to Poison and Bone Skills (Necromancer Only)",
        "+2 to Summoning Skills (Necromancer Only)",
        "+2 to Combat Skills (Paladin Only)",
        "+2 to Offensive Auras (Paladin Only)",
        "+2 to Defensive Auras (Paladin Only)",
        "+2 to Combat Skills (Barbarian Only)",
        "+2 to Masteries (Barbarian Only)",
        "+2 to Warcries (Barbarian Only)",
        "+2 to Summoning Skills (Druid Only)",
        "+2 to Shape Shifting Skills (Druid Only)",
        "+2 to Elemental Skills (Druid Only)",
        "+2 to Traps (Assassin Only)",
        "+2 to Shadow Disciplines (Assassin Only)",
        "+2 to Martial Arts (Assassin Only)",
    };
    for (const CGameData* game : {&real.game, &real.noCharStats}) {
        for (int par = 0; par < 21; ++par)
            EXPECT_EQ(ItemLines(*game, real.strings, {"skilltab", std::to_string(par), "2", "2"}),
                      tabs[par])
                << "par " << par;
    }
}

// With CharStats.txt or without it, each class is its own.
TEST(GameDescribe, RealClassSkillsNameTheirClass) {
    REAL_OR_SKIP();
    const struct {
        const char* code;
        const char* line;
    } classes[] = {
        {"ama", "+3 to Amazon Skill Levels"},      {"sor", "+3 to Sorceress Skill Levels"},
        {"nec", "+3 to Necromancer Skill Levels"}, {"pal", "+3 to Paladin Skill Levels"},
        {"bar", "+3 to Barbarian Skill Levels"},   {"dru", "+3 to Druid Skills"},
        {"ass", "+3 to Assassin Skills"},
    };
    EXPECT_TRUE(real.game.ClassesFromCharStats());
    EXPECT_FALSE(real.noCharStats.ClassesFromCharStats());
    for (const CGameData* game : {&real.game, &real.noCharStats}) {
        for (const auto& c : classes)
            EXPECT_EQ(ItemLines(*game, real.strings, {c.code, "", "3", "3"}), c.line) << c.code;
    }
}

// Lines the item's own level or base item decide: a skill cast on an event at level 0
// takes min((item level - skill's level) / 4 + 1, 20) from the lowest level the item
// drops at (its own or its base's) up to 99; sockets stop at the base's gemsockets.
TEST(GameDescribe, RealLinesTheItemLevelAndBaseDecide) {
    REAL_OR_SKIP();
    const struct {
        bool setItem;
        const char* key;
        const char* line;
    } cases[] = {
        // Tabar (level 49 like the item), Charged Bolt needs level 1.
        {false, "Stormrider", "10% Chance to cast level (13-20) Charged Bolt on striking"},
        // Gothic Axe, level 50 like the item; Holy Bolt needs 6.
        {false, "Boneslayer Blade", "50% Chance to cast level (12-20) Holy Bolt when struck"},
        // The Decapitator's level 73 is above the item's 71; Fire Ball needs 12.
        {false, "Hellslayer", "10% Chance to cast level (16-20) Fire Ball on attack"},
        // A Tulwar takes 2, a Mighty Scepter 2, a Jagged Star 3, a Cryptic Axe 5.
        {false, "Blade of Ali Baba", "Socketed (2)"},
        {false, "Heaven's Light", "Socketed (1-2)"},
        {false, "Tomb Reaver", "Socketed (1-3)"},
        {true, "Aldur's Gauntlet", "Socketed (2-3)"},
    };
    SlotList setSlots;
    {
        CColumnFinder finder(real.setItems);
        setSlots = SlotsByName(finder, {"prop#", "par#", "min#", "max#"});
    }
    const SlotList& uniqueSlots = RecogniseUniqueItems(real.unique).modifiers.slots;
    for (const auto& c : cases) {
        const CTxtTable& table = c.setItem ? real.setItems : real.unique;
        std::int32_t row = 0;
        while (row < table.DataRowCount() && table.Text(row, 0) != c.key)
            ++row;
        ASSERT_LT(row, table.DataRowCount()) << c.key;
        const std::vector<std::string> lines =
            real.Lines(table, row, c.setItem ? setSlots : uniqueSlots);
        EXPECT_TRUE(std::any_of(
            lines.begin(), lines.end(),
            [&c](const std::string& line) { return line.substr(line.find(' ') + 1) == c.line; }))
            << c.key << ": " << ::testing::PrintToString(lines);
    }
}

// Every property every unique, set item and set uses is worded: no line says
// "Unknown", and each line stands for a slot that is used.
TEST(GameDescribe, EveryPropertyUseOfTheRealGameIsWorded) {
    REAL_OR_SKIP();
    const struct {
        const CTxtTable& table;
        std::vector<SlotNames> names;
    } tables[] = {
        {real.unique, {{"prop#", "par#", "min#", "max#"}}},
        {real.setItems,
         {{"prop#", "par#", "min#", "max#"},
          {"aprop#a", "apar#a", "amin#a", "amax#a"},
          {"aprop#b", "apar#b", "amin#b", "amax#b"}}},
        {real.sets,
         {{"PCode#a", "PParam#a", "PMin#a", "PMax#a"},
          {"PCode#b", "PParam#b", "PMin#b", "PMax#b"},
          {"FCode#", "FParam#", "FMin#", "FMax#"}}},
    };
    int uses = 0;
    for (const auto& t : tables) {
        SlotList slots;
        for (const SlotNames& names : t.names) {
            CColumnFinder finder(t.table);
            const SlotList some = SlotsByName(finder, names);
            ASSERT_FALSE(some.empty()) << names.code;
            slots.insert(slots.end(), some.begin(), some.end());
        }
        for (std::int32_t row = 0; row < t.table.DataRowCount(); ++row) {
            const std::int32_t used = CountUsedSlots(t.table, row, slots);
            uses += used;
            const std::vector<std::string> lines = real.Lines(t.table, row, slots);
            EXPECT_EQ(lines.empty(), used == 0) << "row " << row;
            for (const std::string& line : lines) {
                EXPECT_EQ(line.find("Unknown"), std::string::npos) << line;
                const auto slot = static_cast<std::size_t>(std::stoi(line.substr(1)));
                EXPECT_TRUE(slot < slots.size() && SlotUsed(t.table, row, slots[slot])) << line;
            }
        }
    }
    EXPECT_GT(uses, 3000);
}

} // namespace
} // namespace tolmere
