// SPDX-License-Identifier: MIT
// The game's wording rules on a small invented game: a few properties, stats and
// strings, just enough to tell each rule from its near misses.
#include "mods/GameDescribe.h"

#include "mods/SlotNames.h"

#include "support/TableBuilder.h"

#include "ItemLines.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::NamedTable;
using testing::Row;

GameTables TinyTables() {
    GameTables tables;
    tables.properties = NamedTable(
        {"code", "func1", "stat1", "val1", "func2", "stat2", "func3", "stat3"},
        {
            {"dmg-pois", "15", "poisonmindam", "", "16", "poisonmaxdam", "17", "poisonlength"},
            {"res-fire", "1", "fireresist"},
            {"res-pois", "1", "poisonresist"},
            {"res-all", "1", "fireresist", "", "3", "poisonresist"},
            {"sor", "21", "item_addclassskills", "1"},
            {"dru", "21", "item_addclassskills", "5"},
            {"skilltab", "10", "item_addskill_tab"},
            {"howl", "1", "item_howl"},
            {"sock", "14", "item_numsockets"},
            {"hit-skill", "11", "item_skillonhit"},
            {"dur", "1", "maxdurability"},
            {"bloody", "1", "item_extrablood"},
            {"reanimate", "24", "item_reanimate"},
            {"att-mon%", "24", "attack_vs_montype"},
        });
    tables.skills = NamedTable({"skill", "Id", "reqlevel"}, {{"Fire Ball", "47", "12"}});
    tables.weapons = NamedTable({"code", "level", "gemsockets"},
                                {{"two", "73", "2"}, {"any", "5", ""}, {"non", "5", "0"}});
    tables.itemStatCost = NamedTable(
        {"Stat", "ID", "descpriority", "descfunc", "descval", "descstrpos", "descstrneg", "dgrp",
         "dgrpfunc", "dgrpval", "dgrpstrpos"},
        {
            {"poisonmindam", "0", "92", "1", "1", "PoisMin"},
            {"poisonmaxdam", "1", "92", "1", "1", "PoisMax"},
            {"poisonlength", "2"},
            {"fireresist", "3", "36", "4", "2", "FireRes", "FireRes", "2", "19", "", "AllRes"},
            {"poisonresist", "4", "34", "4", "2", "PoisRes", "PoisRes", "2", "19", "", "AllRes"},
            {"item_addclassskills", "5", "150", "13", "1", "AmaSkills", "AmaSkills"},
            {"item_addskill_tab", "6", "151", "14", "", "Tab1", "Tab1"},
            {"item_howl", "7", "79", "5", "2", "Flee", "Flee"},
            {"item_numsockets", "8"},
            {"maxdurability", "10"},
            {"item_extrablood", "11"},
            {"item_reanimate", "12", "17", "23", "1", "Reanimate", "Reanimate"},
            {"attack_vs_montype", "13", "108", "22", "1", "VersusM", "VersusM"},
            {"item_skillonhit", "9", "160", "15", "", "CastOnHit", "CastOnHit"},
        });
    return tables;
}

CStringTables TinyStrings() {
    CStringTables strings;
    const std::pair<const char*, const char*> texts[] = {
        {"strModPoisonDamage", "+%d poison damage over %d seconds"},
        {"strModPoisonDamageRange", "Adds %d-%d poison damage over %d seconds"},
        {"FireRes", "Fire Resist"},
        {"PoisRes", "Poison Resist"},
        {"AllRes", "All Resistances +%d"},
        {"AmaSkills", "to Amazon Skill Levels"},
        {"ModStr3d", "to Sorceress Skill Levels"},
        {"ModStre8a", "to Druid Skills"},
        {"StrSklTabItem13", "+%d to Cold Skills"},
        {"StrSklTabItem17", "+%d to Shape Shifting Skills"},
        {"SorOnly", "(Sorceress Only)"},
        {"DruOnly", "(Druid Only)"},
        {"Flee", "Hit Causes Monster to Flee"},
        {"Socketable", "Socketed"},
        {"Reanimate", "Reanimate as:"},
        {"VersusM", "to Attack Rating versus"},
        {"Zombie", "Zombie"},
        {"Dead", "the Dead"},
        {"CastOnHit", "%d%% Chance to cast level %d %s on striking"},
    };
    for (const auto& [key, text] : texts)
        strings.Patch().Add(key, text);
    return strings;
}

// The lines of an item whose slots hold `cells`, joined by '|'.
std::string Lines(const CGameData& game, const Row& cells, const std::string& level = "1",
                  const std::string& base = "") {
    static const CStringTables strings = TinyStrings();
    return testing::ItemLines(game, strings, cells, level, base);
}

const CGameData& Tiny() {
    static const CGameData game = [] {
        CGameData data;
        data.Assign(TinyTables());
        return data;
    }();
    return game;
}

struct Case {
    const char* name;
    Row cells;
    const char* lines;
    const char* level = "1";
    const char* base = "";
};

void ExpectLines(const CGameData& game, const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(Lines(game, c.cells, c.level, c.base), c.lines) << c.name;
}

TEST(GameDescribeRules, PoisonTotalsRoundToTheNearestPoint) {
    ExpectLines(
        Tiny(),
        {
            {"37.5 goes up", {"dmg-pois", "75", "128", "128"}, "+38 poison damage over 3 seconds"},
            {"42.48 goes down",
             {"dmg-pois", "75", "145", "145"},
             "+42 poison damage over 3 seconds"},
            {"both ends of a range",
             {"dmg-pois", "50", "133", "256"},
             "Adds 26-50 poison damage over 2 seconds"},
            {"Snakecord's 11.72",
             {"dmg-pois", "75", "40", "40"},
             "+12 poison damage over 3 seconds"},
        });
}

// A stat adds up over every property that sets it before the group is worded, and a
// group whose members differ is worded stat by stat.
TEST(GameDescribeRules, StatsAddUpBeforeGrouping) {
    ExpectLines(Tiny(), {
                            {"res-all and res-pois",
                             {"res-all", "", "10", "10", "res-pois", "", "25", "25"},
                             "Fire Resist +10%|Poison Resist +35%"},
                            {"adding up to equal members",
                             {"res-all", "", "10", "10", "res-fire", "", "5", "5", "res-pois", "",
                              "5", "5"},
                             "All Resistances +15"},
                            {"members that differ",
                             {"res-fire", "", "20", "20", "res-pois", "", "10", "10"},
                             "Fire Resist +20%|Poison Resist +10%"},
                            {"ranges with one end the same",
                             {"res-fire", "", "10", "20", "res-pois", "", "20", "20"},
                             "Fire Resist +(10-20)%|Poison Resist +20%"},
                            {"equal members",
                             {"res-fire", "", "20", "20", "res-pois", "", "20", "20"},
                             "All Resistances +20"},
                        });
}

// Classes are named by CharStats.txt; without it, by the game's own order and keys
// (Amazon, Sorceress, Necromancer, Paladin, Barbarian, Druid, Assassin).
TEST(GameDescribeRules, ClassesWithAndWithoutCharStats) {
    ExpectLines(
        Tiny(),
        {
            {"class 1", {"sor", "", "3", "3"}, "+3 to Sorceress Skill Levels"},
            {"class 5", {"dru", "", "3", "3"}, "+3 to Druid Skills"},
            {"tab 5", {"skilltab", "5", "2", "2"}, "+2 to Cold Skills (Sorceress Only)"},
            {"tab 16", {"skilltab", "16", "2", "2"}, "+2 to Shape Shifting Skills (Druid Only)"},
        });
    GameTables tables = TinyTables();
    tables.charStats = NamedTable(
        {"class", "StrAllSkills", "StrSkillTab1", "StrSkillTab2", "StrSkillTab3", "StrClassOnly"},
        {{"Amazon", "AmaSkills"},
         {"Witch", "ModStre8a", "StrSklTabItem17", "StrSklTabItem13", "", "DruOnly"}});
    CGameData game;
    game.Assign(tables);
    EXPECT_TRUE(game.ClassesFromCharStats());
    ExpectLines(
        game, {
                  {"a mod's class 1", {"sor", "", "3", "3"}, "+3 to Druid Skills"},
                  {"a mod's tab 4", {"skilltab", "4", "2", "2"}, "+2 to Cold Skills (Druid Only)"},
              });
    EXPECT_FALSE(Tiny().ClassesFromCharStats());
}

// Sockets stop at the base item's gemsockets; a base that takes none shows none.
TEST(GameDescribeRules, SocketsStopAtTheBaseItemsMost) {
    ExpectLines(Tiny(), {
                            {"over", {"sock", "", "3", "3"}, "Socketed (2)", "1", "two"},
                            {"at", {"sock", "", "2", "2"}, "Socketed (2)", "1", "two"},
                            {"under", {"sock", "", "1", "1"}, "Socketed (1)", "1", "two"},
                            {"a range over", {"sock", "", "1", "4"}, "Socketed (1-2)", "1", "two"},
                            {"by parameter", {"sock", "4", "", ""}, "Socketed (2)", "1", "two"},
                            {"no limit given", {"sock", "", "4", "4"}, "Socketed (4)", "1", "any"},
                            {"unknown base", {"sock", "", "4", "4"}, "Socketed (4)", "1", "zzz"},
                            {"a base without sockets",
                             {"sock", "", "4", "4"},
                             "sock 4 4 (not shown on the item)",
                             "1",
                             "non"},
                        });
}

// A skill cast on an event at level 0 takes its level from the item's: from the
// lowest level the item drops at (its own or its base's) to 99, at most 20.
TEST(GameDescribeRules, SkillLevelZeroComesFromTheItemLevel) {
    ExpectLines(Tiny(), {
                            {"the base's level",
                             {"hit-skill", "Fire Ball", "10", "0"},
                             "10% Chance to cast level (16-20) Fire Ball on striking",
                             "71",
                             "two"},
                            {"the item's level",
                             {"hit-skill", "Fire Ball", "10", "0"},
                             "10% Chance to cast level (18-20) Fire Ball on striking",
                             "80",
                             "two"},
                            {"below the skill's level",
                             {"hit-skill", "Fire Ball", "10", "0"},
                             "10% Chance to cast level (1-20) Fire Ball on striking",
                             "3"},
                            {"a level of its own",
                             {"hit-skill", "47", "10", "5"},
                             "10% Chance to cast level 5 Fire Ball on striking",
                             "71",
                             "two"},
                            {"no item level",
                             {"hit-skill", "Fire Ball", "10", "0"},
                             "10% Chance to cast level (from item level) Fire Ball on striking",
                             ""},
                        });
}

// Description function 5 shows a value in 128ths as a percentage, rounded down.
TEST(GameDescribeRules, FleeIsShownIn128ths) {
    ExpectLines(Tiny(), {
                            {"half", {"howl", "", "64", "64"}, "Hit Causes Monster to Flee 50%"},
                            {"78.1", {"howl", "", "100", "100"}, "Hit Causes Monster to Flee 78%"},
                        });
}

// Stats ItemStatCost.txt gives no description are all marked the same way.
TEST(GameDescribeRules, StatsWithoutADescriptionAreMarked) {
    ExpectLines(Tiny(),
                {
                    {"durability", {"dur", "", "20", "40"}, "dur 20 40 (not shown on the item)"},
                    {"blood", {"bloody", "", "1", "1"}, "bloody 1 1 (not shown on the item)"},
                });
}

// A code with spaces is worded as the code without them, alone and marked.
TEST(GameDescribeRules, CodesWithSpacesAreWordedTrimmedAndMarked) {
    ExpectLines(Tiny(),
                {
                    {"trailing",
                     {"res-fire ", "", "10", "10"},
                     "Fire Resist +10% (code has a trailing space)"},
                    {"leading",
                     {" res-fire", "", "10", "10"},
                     "Fire Resist +10% (code has a leading space)"},
                    {"both",
                     {" res-fire  ", "", "10", "10"},
                     "Fire Resist +10% (code has spaces around it)"},
                    {"disabled",
                     {"*res-fire ", "", "10", "10"},
                     "Disabled: Fire Resist +10% (code has a trailing space)"},
                    {"joins no group",
                     {"res-fire ", "", "20", "20", "res-pois", "", "20", "20"},
                     "Poison Resist +20%|Fire Resist +20% (code has a trailing space)"},
                    {"unknown however trimmed", {"zap ", "", "1", "1"}, "Unknown modifier: zap "},
                    {"spaces alone", {"  ", "", "1", "1"}, "Unknown modifier:   "},
                });
}

// Monsters and monster types are named by MonStats.txt and MonType.txt through the
// string tables; by number only where a table is missing.
TEST(GameDescribeRules, MonstersByNameWhereTheTablesAreThere) {
    const std::vector<Case> numbers{
        {"reanimate", {"reanimate", "2", "10", "10"}, "10% Reanimate as: monster 2"},
        {"monster type",
         {"att-mon%", "1", "50", "50"},
         "+50% to Attack Rating versus (monster type 1)"},
    };
    ExpectLines(Tiny(), numbers);
    GameTables tables = TinyTables();
    // Monsters go by hcIdx, not by row; a type without a name is its code.
    tables.monStats = NamedTable({"Id", "hcIdx", "NameStr"},
                                 {{"skeleton1", "0", "Skeleton"}, {"zombie1", "2", "Zombie"}});
    tables.monType = NamedTable({"type", "strplur"}, {{"undead", "Dead"}, {"demon", ""}});
    CGameData game;
    game.Assign(tables);
    ExpectLines(
        game,
        {
            {"reanimate", {"reanimate", "2", "10", "10"}, "10% Reanimate as: Zombie"},
            {"unknown monster", {"reanimate", "7", "10", "10"}, "10% Reanimate as: monster 7"},
            {"named type", {"att-mon%", "0", "50", "50"}, "+50% to Attack Rating versus the Dead"},
            {"type without a name",
             {"att-mon%", "1", "50", "50"},
             "+50% to Attack Rating versus demon"},
        });
}

} // namespace
} // namespace tolmere
