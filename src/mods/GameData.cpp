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

} // namespace

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
    Clear();
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
        for (std::int32_t row = 0; name >= 0 && row < skills.DataRowCount(); ++row) {
            SkillDef skill;
            skill.name = Str(skills, row, name);
            if (skill.name.empty())
                continue;
            skill.id = id >= 0 ? CellNumber(skills.Text(row, id)).value_or(row) : row;
            skill.charClass = Str(skills, row, charClass);
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
    }
}

bool CGameData::LoadFolder(const std::string& dir, std::string& error) {
    const char* names[] = {"Properties.txt", "ItemStatCost.txt", "Skills.txt", "SkillDesc.txt",
                           "CharStats.txt"};
    std::array<CTxtTable, 5> tables;
    for (std::size_t i = 0; i < tables.size(); ++i) {
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
    Assign(tables[0], tables[1], tables[2], tables[3], tables[4]);
    return true;
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
