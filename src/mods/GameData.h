// SPDX-License-Identifier: MIT
// The game's own tables that say how a modifier reads: Properties.txt (a property code
// to the stats it sets, and how its parameter, minimum and maximum feed them),
// ItemStatCost.txt (how each stat is worded), Skills.txt and SkillDesc.txt (skills by
// number or name, and their shown names) and CharStats.txt (the classes' skill
// strings), MonStats.txt and MonType.txt (monsters and monster types by number) and
// the base item tables (an item's level and how many sockets it takes). Columns are
// found by their names, so the tables of any mod read.
#pragma once

#include "tables/TxtTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tolmere {

// One stat a property sets: "func" says how the slot's cells become its value.
struct PropertyStat {
    std::int32_t func = 0;
    std::string stat;                // ItemStatCost name; empty for functions that need none
    std::optional<std::int64_t> val; // a fixed parameter (the class of "ama")
};

// A property as Properties.txt defines it: its stats, and its own notes on what the
// parameter, minimum and maximum mean (the "*param", "*min" and "*max" columns).
struct PropertyDef {
    std::vector<PropertyStat> stats;
    std::string desc, paramLabel, minLabel, maxLabel;
};

struct StatDef {
    std::string name;
    std::int32_t id = 0;
    std::int32_t descPriority = 0;
    std::int32_t descFunc = 0;
    std::int32_t descVal = 0;
    std::string strPos, strNeg, str2;
    std::int32_t dgrp = 0, dgrpFunc = 0, dgrpVal = 0;
    std::string dgrpStrPos, dgrpStrNeg, dgrpStr2;
    std::int32_t op = 0, opParam = 0;
    std::string opBase;
};

struct SkillDef {
    std::int64_t id = 0;
    std::string name;      // Skills.txt's "skill"
    std::string nameKey;   // the string key of its shown name, from SkillDesc.txt
    std::string charClass; // "ama" … "ass", empty for skills of no class
    std::int32_t reqLevel = 0;
};

// A base item of Weapons.txt, Armor.txt or Misc.txt.
struct BaseItemDef {
    std::int32_t level = 0;
    std::optional<std::int32_t> gemSockets; // none where the cell is empty
};

// The game's tables the describer reads; any may be empty.
struct GameTables {
    CTxtTable properties, itemStatCost, skills, skillDesc, charStats, monStats, monType, weapons,
        armor, misc;
    // Their file names, in the order of the members above.
    static const std::array<const char*, 10>& FileNames();
    CTxtTable& operator[](std::size_t index);
};

struct ClassDef {
    std::string code; // "ama"
    std::string allSkills;
    std::array<std::string, 3> skillTabs;
    std::string classOnly;
};

class CGameData {
public:
    // Takes the tables (any may be empty). Ready() once Properties.txt and
    // ItemStatCost.txt both read.
    void Assign(const GameTables& tables);
    void Assign(const CTxtTable& properties, const CTxtTable& itemStatCost, const CTxtTable& skills,
                const CTxtTable& skillDesc, const CTxtTable& charStats);
    // Loads the files of GameTables::FileNames() from a folder (any letter case); false,
    // with `error`, when Properties.txt or ItemStatCost.txt cannot be read.
    bool LoadFolder(const std::string& dir, std::string& error);
    void Clear() { *this = CGameData(); }

    bool Ready() const { return !properties_.empty() && !stats_.empty(); }
    // The property's stats; null for a code Properties.txt does not hold.
    const std::vector<PropertyStat>* Property(std::string_view code) const;
    const PropertyDef* Definition(std::string_view code) const;
    const StatDef* Stat(std::string_view name) const;
    // All stats of a description group, in ItemStatCost order.
    std::vector<const StatDef*> GroupMembers(std::int32_t dgrp) const;
    // A skill by its number or, failing that, its name ("Nova", any case).
    const SkillDef* Skill(std::string_view numberOrName) const;
    const SkillDef* SkillById(std::int64_t id) const;
    const std::vector<SkillDef>& Skills() const { return skills_; }
    // Classes in the game's order (Amazon 0 … Assassin 6): CharStats.txt's, or without
    // it the game's own classes and string keys.
    const std::vector<ClassDef>& Classes() const { return classes_; }
    bool ClassesFromCharStats() const { return classesRead_; }
    // The string key of a monster's name by its MonStats.txt number (hcIdx), and of a
    // monster type's by its MonType.txt row; null where the table does not have it.
    const std::string* MonsterNameKey(std::int64_t id) const;
    const std::string* MonsterTypeName(std::int64_t id) const;
    bool HasMonsters() const { return !monsters_.empty(); }
    bool HasMonsterTypes() const { return !monsterTypes_.empty(); }
    // A base item by its code; null where the base tables do not have it.
    const BaseItemDef* BaseItem(std::string_view code) const;
    bool HasBaseItems() const { return !baseItems_.empty(); }
    const ClassDef* ClassOf(std::string_view code) const;
    bool HasProperty(std::string_view code) const { return Property(code) != nullptr; }
    const std::vector<std::string>& PropertyCodes() const { return codes_; }

private:
    std::unordered_map<std::string, PropertyDef> properties_;
    std::unordered_map<std::string, std::string> lowerCodes_; // codes by their lower case
    std::vector<std::string> codes_;                          // in file order
    std::unordered_map<std::string, StatDef> stats_;
    std::vector<std::string> statOrder_;
    std::vector<SkillDef> skills_;
    std::unordered_map<std::int64_t, std::size_t> skillById_;
    std::unordered_map<std::string, std::size_t> skillByName_; // lower case
    std::vector<ClassDef> classes_;
    bool classesRead_ = false;
    std::unordered_map<std::int64_t, std::string> monsters_;     // hcIdx to NameStr
    std::unordered_map<std::int64_t, std::string> monsterTypes_; // row to its name or type
    std::unordered_map<std::string, BaseItemDef> baseItems_;
};

// A cell as a whole number the way the game reads one (leading digits, sign, held to
// 32 bits);
// nothing when it holds none.
std::optional<std::int64_t> CellNumber(std::string_view cell);

} // namespace tolmere
