// SPDX-License-Identifier: MIT
#include "mods/GameData.h"

#include "base/Services.h"
#include "tables/ColumnFinder.h"
#include "tables/TableFile.h"

#include <algorithm>
#include <cctype>

namespace tolmere {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lower;
}

std::int32_t Int(const CTxtTable& table, std::int32_t row, std::int32_t column) {
    return static_cast<std::int32_t>(CellNumber(table.Text(row, column)).value_or(0));
}

std::string Str(const CTxtTable& table, std::int32_t row, std::int32_t column) {
    return std::string(table.Text(row, column));
}

// The file `name` in `dir`, whatever the case of its name.
std::string FindFile(const std::string& dir, const char* name) {
    const std::string found = EntryIgnoringCase(dir, name);
    return found.empty() ? std::string() : dir + "/" + found;
}

// The classes as the game's own CharStats.txt names them, for a game without one.
ClassDef DefaultClass(const char* code, const char* allSkills, std::array<int, 3> tabs,
                      const char* classOnly) {
    ClassDef cls;
    cls.code = code;
    cls.allSkills = allSkills;
    for (std::size_t tab = 0; tab < 3; ++tab)
        cls.skillTabs[tab] = "StrSklTabItem" + std::to_string(tabs[tab]);
    cls.classOnly = classOnly;
    return cls;
}

std::vector<ClassDef> DefaultClasses() {
    return {
        DefaultClass("ama", "ModStr3a", {3, 2, 1}, "AmaOnly"),
        DefaultClass("sor", "ModStr3d", {15, 14, 13}, "SorOnly"),
        DefaultClass("nec", "ModStr3c", {8, 7, 9}, "NecOnly"),
        DefaultClass("pal", "ModStr3b", {6, 5, 4}, "PalOnly"),
        DefaultClass("bar", "ModStr3e", {11, 12, 10}, "BarOnly"),
        DefaultClass("dru", "ModStre8a", {16, 17, 18}, "DruOnly"),
        DefaultClass("ass", "ModStre8b", {19, 20, 21}, "AssOnly"),
    };
}

} // namespace

const std::array<const char*, 10>& GameTables::FileNames() {
    static const std::array<const char*, 10> names{
        "Properties.txt", "ItemStatCost.txt", "Skills.txt",  "SkillDesc.txt", "CharStats.txt",
        "MonStats.txt",   "MonType.txt",      "Weapons.txt", "Armor.txt",     "Misc.txt"};
    return names;
}

CTxtTable& GameTables::operator[](std::size_t index) {
    CTxtTable* tables[] = {&properties, &itemStatCost, &skills,  &skillDesc, &charStats,
                           &monStats,   &monType,      &weapons, &armor,     &misc};
    return *tables[index];
}

std::optional<std::int64_t> CellNumber(std::string_view cell) {
    std::size_t at = 0;
    while (at < cell.size() && (cell[at] == ' ' || cell[at] == '\t'))
        ++at;
    bool negative = false;
    if (at < cell.size() && (cell[at] == '-' || cell[at] == '+'))
        negative = cell[at++] == '-';
    if (at >= cell.size() || !std::isdigit(static_cast<unsigned char>(cell[at])))
        return std::nullopt;
    // The game keeps stats in 32 bits; holding cells to that keeps every product the
    // describer forms (a level of 99, a poison scale of 256) inside 64 bits.
    std::int64_t value = 0;
    for (; at < cell.size() && std::isdigit(static_cast<unsigned char>(cell[at])); ++at)
        value = std::min<std::int64_t>(value * 10 + (cell[at] - '0'), INT32_MAX);
    return negative ? -value : value;
}

void CGameData::Assign(const CTxtTable& properties, const CTxtTable& itemStatCost,
                       const CTxtTable& skills, const CTxtTable& skillDesc,
                       const CTxtTable& charStats) {
    GameTables tables;
    tables.properties = properties;
    tables.itemStatCost = itemStatCost;
    tables.skills = skills;
    tables.skillDesc = skillDesc;
    tables.charStats = charStats;
    Assign(tables);
}

void CGameData::Assign(const GameTables& tables) {
    Clear();
    const CTxtTable& properties = tables.properties;
    const CTxtTable& itemStatCost = tables.itemStatCost;
    const CTxtTable& skills = tables.skills;
    const CTxtTable& skillDesc = tables.skillDesc;
    const CTxtTable& charStats = tables.charStats;
    {
        const CColumnFinder find(properties);
        const std::int32_t code = find.Find("code");
        for (std::int32_t row = 0; code >= 0 && row < properties.DataRowCount(); ++row) {
            const std::string name = Str(properties, row, code);
            if (name.empty() || properties_.count(name))
                continue;
            PropertyDef def;
            std::vector<PropertyStat>& stats = def.stats;
            for (int n = 1; n <= 7; ++n) {
                const std::int32_t func = find.Find("func" + std::to_string(n));
                const std::int32_t stat = find.Find("stat" + std::to_string(n));
                const std::int32_t val = find.Find("val" + std::to_string(n));
                if (func < 0)
                    break;
                PropertyStat entry;
                entry.func = Int(properties, row, func);
                entry.stat = Str(properties, row, stat);
                entry.val = CellNumber(properties.Text(row, val));
                if (entry.func != 0 || !entry.stat.empty())
                    stats.push_back(std::move(entry));
            }
            def.desc = Str(properties, row, find.Find("*desc"));
            def.paramLabel = Str(properties, row, find.Find("*param"));
            def.minLabel = Str(properties, row, find.Find("*min"));
            def.maxLabel = Str(properties, row, find.Find("*max"));
            lowerCodes_.emplace(Lower(name), name);
            codes_.push_back(name);
            properties_.emplace(name, std::move(def));
        }
    }
    {
        const CColumnFinder find(itemStatCost);
        const auto col = [&find](const char* name) { return find.Find(name); };
        const std::int32_t stat = col("Stat");
        const std::int32_t id = col("ID") >= 0 ? col("ID") : col("*ID");
        for (std::int32_t row = 0; stat >= 0 && row < itemStatCost.DataRowCount(); ++row) {
            StatDef def;
            def.name = Str(itemStatCost, row, stat);
            if (def.name.empty() || stats_.count(def.name))
                continue;
            def.id = id >= 0 ? Int(itemStatCost, row, id) : row;
            def.descPriority = Int(itemStatCost, row, col("descpriority"));
            def.descFunc = Int(itemStatCost, row, col("descfunc"));
            def.descVal = Int(itemStatCost, row, col("descval"));
            def.strPos = Str(itemStatCost, row, col("descstrpos"));
            def.strNeg = Str(itemStatCost, row, col("descstrneg"));
            def.str2 = Str(itemStatCost, row, col("descstr2"));
            def.dgrp = Int(itemStatCost, row, col("dgrp"));
            def.dgrpFunc = Int(itemStatCost, row, col("dgrpfunc"));
            def.dgrpVal = Int(itemStatCost, row, col("dgrpval"));
            def.dgrpStrPos = Str(itemStatCost, row, col("dgrpstrpos"));
            def.dgrpStrNeg = Str(itemStatCost, row, col("dgrpstrneg"));
            def.dgrpStr2 = Str(itemStatCost, row, col("dgrpstr2"));
            def.op = Int(itemStatCost, row, col("op"));
            def.opParam = Int(itemStatCost, row, col("op param"));
            def.opBase = Str(itemStatCost, row, col("op base"));
            statOrder_.push_back(def.name);
            stats_.emplace(def.name, std::move(def));
        }
    }
    // Shown skill names: Skills.txt names a SkillDesc.txt row, which names the string.
    std::unordered_map<std::string, std::string> nameKeys;
    {
        const CColumnFinder find(skillDesc);
        const std::int32_t desc = find.Find("skilldesc");
        const std::int32_t strName = find.Find("str name");
        for (std::int32_t row = 0; desc >= 0 && row < skillDesc.DataRowCount(); ++row)
            nameKeys.emplace(Lower(skillDesc.Text(row, desc)), Str(skillDesc, row, strName));
    }
    {
        const CColumnFinder find(skills);
        const std::int32_t name = find.Find("skill");
        const std::int32_t id = find.Find("Id") >= 0 ? find.Find("Id") : find.Find("*Id");
        const std::int32_t charClass = find.Find("charclass");
        const std::int32_t desc = find.Find("skilldesc");
        const std::int32_t reqLevel = find.Find("reqlevel");
        for (std::int32_t row = 0; name >= 0 && row < skills.DataRowCount(); ++row) {
            SkillDef skill;
            skill.name = Str(skills, row, name);
            if (skill.name.empty())
                continue;
            skill.id = id >= 0 ? CellNumber(skills.Text(row, id)).value_or(row) : row;
            skill.charClass = Str(skills, row, charClass);
            skill.reqLevel = Int(skills, row, reqLevel);
            const auto key = nameKeys.find(Lower(skills.Text(row, desc)));
            if (key != nameKeys.end())
                skill.nameKey = key->second;
            skillById_.emplace(skill.id, skills_.size());
            skillByName_.emplace(Lower(skill.name), skills_.size());
            skills_.push_back(std::move(skill));
        }
    }
    {
        // The classes are the rows that name their skill strings; the game's "Expansion"
        // row between Barbarian and Druid is no class.
        const CColumnFinder find(charStats);
        const std::int32_t all = find.Find("StrAllSkills");
        const std::int32_t only = find.Find("StrClassOnly");
        const std::int32_t code = find.Find("class");
        for (std::int32_t row = 0; all >= 0 && row < charStats.DataRowCount(); ++row) {
            ClassDef cls;
            cls.allSkills = Str(charStats, row, all);
            if (cls.allSkills.empty())
                continue;
            cls.code = Lower(charStats.Text(row, code)).substr(0, 3);
            for (int tab = 0; tab < 3; ++tab)
                cls.skillTabs[static_cast<std::size_t>(tab)] =
                    Str(charStats, row, find.Find("StrSkillTab" + std::to_string(tab + 1)));
            cls.classOnly = Str(charStats, row, only);
            classes_.push_back(std::move(cls));
        }
        classesRead_ = !classes_.empty();
        if (!classesRead_)
            classes_ = DefaultClasses();
    }
    {
        // Monsters go by their hcIdx, which the stock table keeps equal to the row.
        const CColumnFinder find(tables.monStats);
        const std::int32_t id = find.Find("hcIdx");
        const std::int32_t name = find.Find("NameStr");
        for (std::int32_t row = 0; name >= 0 && row < tables.monStats.DataRowCount(); ++row) {
            const std::int64_t number =
                id >= 0 ? CellNumber(tables.monStats.Text(row, id)).value_or(row) : row;
            monsters_.emplace(number, Str(tables.monStats, row, name));
        }
    }
    {
        const CColumnFinder find(tables.monType);
        const std::int32_t type = find.Find("type");
        const std::int32_t plural = find.Find("strplur");
        for (std::int32_t row = 0; type >= 0 && row < tables.monType.DataRowCount(); ++row) {
            const std::string name = Str(tables.monType, row, plural);
            monsterTypes_.emplace(row, name.empty() ? Str(tables.monType, row, type) : name);
        }
    }
    for (const CTxtTable* base : {&tables.weapons, &tables.armor, &tables.misc}) {
        const CColumnFinder find(*base);
        const std::int32_t code = find.Find("code");
        const std::int32_t level = find.Find("level");
        const std::int32_t sockets = find.Find("gemsockets");
        for (std::int32_t row = 0; code >= 0 && row < base->DataRowCount(); ++row) {
            BaseItemDef item;
            item.level = Int(*base, row, level);
            if (const auto count = CellNumber(base->Text(row, sockets)))
                item.gemSockets = static_cast<std::int32_t>(*count);
            baseItems_.emplace(Str(*base, row, code), item);
        }
    }
}

bool CGameData::LoadFolder(const std::string& dir, std::string& error) {
    const auto& names = GameTables::FileNames();
    GameTables tables;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string path = FindFile(dir, names[i]);
        if (path.empty()) {
            if (i < 2) {
                error = dir + " holds no " + names[i];
                return false;
            }
            continue;
        }
        if (!LoadTableFile(path, tables[i], error)) {
            error = path + ": " + error;
            return false;
        }
    }
    Assign(tables);
    return true;
}

const std::string* CGameData::MonsterNameKey(std::int64_t id) const {
    const auto found = monsters_.find(id);
    return found == monsters_.end() ? nullptr : &found->second;
}

const std::string* CGameData::MonsterTypeName(std::int64_t id) const {
    const auto found = monsterTypes_.find(id);
    return found == monsterTypes_.end() ? nullptr : &found->second;
}

const BaseItemDef* CGameData::BaseItem(std::string_view code) const {
    const auto found = baseItems_.find(std::string(code));
    return found == baseItems_.end() ? nullptr : &found->second;
}

const std::vector<PropertyStat>* CGameData::Property(std::string_view code) const {
    const PropertyDef* def = Definition(code);
    return def ? &def->stats : nullptr;
}

const PropertyDef* CGameData::Definition(std::string_view code) const {
    const auto exact = properties_.find(std::string(code));
    if (exact != properties_.end())
        return &exact->second;
    // The game finds "Light" as it finds "light".
    const auto lower = lowerCodes_.find(Lower(code));
    return lower == lowerCodes_.end() ? nullptr : &properties_.at(lower->second);
}

const StatDef* CGameData::Stat(std::string_view name) const {
    const auto found = stats_.find(std::string(name));
    return found == stats_.end() ? nullptr : &found->second;
}

std::vector<const StatDef*> CGameData::GroupMembers(std::int32_t dgrp) const {
    std::vector<const StatDef*> members;
    for (const std::string& name : statOrder_) {
        const StatDef& def = stats_.at(name);
        if (def.dgrp == dgrp)
            members.push_back(&def);
    }
    return members;
}

const SkillDef* CGameData::Skill(std::string_view numberOrName) const {
    if (const std::optional<std::int64_t> id = CellNumber(numberOrName)) {
        if (const SkillDef* skill = SkillById(*id))
            return skill;
    }
    const auto found = skillByName_.find(Lower(numberOrName));
    return found == skillByName_.end() ? nullptr : &skills_[found->second];
}

const SkillDef* CGameData::SkillById(std::int64_t id) const {
    const auto found = skillById_.find(id);
    return found == skillById_.end() ? nullptr : &skills_[found->second];
}

const ClassDef* CGameData::ClassOf(std::string_view code) const {
    for (const ClassDef& cls : classes_) {
        if (cls.code == Lower(code))
            return &cls;
    }
    return nullptr;
}

} // namespace tolmere
