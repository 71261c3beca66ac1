// The game's own tables that say how a modifier reads: Properties.txt (a property code
// to the stats it sets, and how its parameter, minimum and maximum feed them),
// ItemStatCost.txt (how each stat is worded), Skills.txt and SkillDesc.txt (skills by
// number or name, and their shown names) and CharStats.txt (the classes' skill
// strings). Columns are found by their names, so the tables of any mod read.
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
    void Assign(const CTxtTable& properties, const CTxtTable& itemStatCost, const CTxtTable& skills,
                const CTxtTable& skillDesc, const CTxtTable& charStats);
    // Loads the files of those names from a folder (any letter case); false, with
    // `error`, when Properties.txt or ItemStatCost.txt cannot be read.
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
    // Classes in the game's order (Amazon 0 … Assassin 6).
    const std::vector<ClassDef>& Classes() const { return classes_; }
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
};

// A cell as a whole number the way the game reads one (leading digits, sign, held to
// 32 bits);
// nothing when it holds none.
std::optional<std::int64_t> CellNumber(std::string_view cell);

} // namespace tolmere
