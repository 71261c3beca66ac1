// The game's wording rules on a small invented game: a few properties, stats and
// strings, just enough to tell each rule from its near misses.
#include "mods/GameDescribe.h"

#include "mods/SlotNames.h"

#include "support/TableBuilder.h"

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
        });
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
    };
    for (const auto& [key, text] : texts)
        strings.Patch().Add(key, text);
    return strings;
}

// The lines of an item whose slots hold `cells` (code, par, min, max a slot), joined
// by '|'.
std::string Lines(const CGameData& game, const Row& cells) {
    static const CStringTables strings = TinyStrings();
    Row header{"index", "lvl", "code"};
    for (std::size_t slot = 1; slot <= (cells.size() + 3) / 4; ++slot) {
        for (const char* name : {"prop", "par", "min", "max"})
            header.push_back(name + std::to_string(slot));
    }
    Row row{"item", "1", ""};
    row.insert(row.end(), cells.begin(), cells.end());
    const CTxtTable table = NamedTable(header, {row});
    CColumnFinder finder(table);
    const SlotList slots = SlotsByName(finder, {"prop#", "par#", "min#", "max#"});
    std::string lines;
    for (const ModLine& line : CGameDescriber(game, strings).Describe(table, 0, slots))
        lines += (lines.empty() ? "" : "|") + line.text;
    return lines;
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
};

void ExpectLines(const CGameData& game, const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(Lines(game, c.cells), c.lines) << c.name;
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

} // namespace
} // namespace tolmere
