// SPDX-License-Identifier: MIT
#include "mods/GameDescribe.h"

#include "mods/GameText.h"
#include "tables/ColumnFinder.h"

#include <algorithm>
#include <set>

namespace tolmere {
namespace {

// Property functions (Properties.txt "func") this describer reads.
enum PropertyFunc : std::int32_t {
    kSameAsPrevious = 3,
    kMinDamage = 5,
    kMaxDamage = 6,
    kEnhancedDamage = 7,
    kSkillTab = 10,
    kSkillOnEvent = 11,
    kRandomSkill = 12,
    kSockets = 14,
    kMinOnly = 15,
    kMaxOnly = 16,
    kParamOnly = 17,
    kCharges = 19,
    kIndestructible = 20,
    kFixedParam = 21,
    kSkill = 22,
    kEthereal = 23,
    kParamAndRange = 24,
    kRandomClassSkill = 36,
};

// Damage the game words from its minimum and maximum together.
struct DamagePair {
    const char* min;
    const char* max;
    const char* single; // "+%d fire damage"
    const char* range;  // "Adds %d-%d fire damage"
};
const DamagePair kDamagePairs[] = {
    {"mindamage", "maxdamage", "strModMinDamage", "strModMinDamageRange"},
    {"firemindam", "firemaxdam", "strModFireDamage", "strModFireDamageRange"},
    {"lightmindam", "lightmaxdam", "strModLightningDamage", "strModLightningDamageRange"},
    {"magicmindam", "magicmaxdam", "strModMagicDamage", "strModMagicDamageRange"},
    {"coldmindam", "coldmaxdam", "strModColdDamage", "strModColdDamageRange"},
    {"poisonmindam", "poisonmaxdam", "strModPoisonDamage", "strModPoisonDamageRange"},
};
const char kMaxDamagePercent[] = "item_maxdamage_percent";
const char kMinDamagePercent[] = "item_mindamage_percent";
// The game counts poison in 256ths of a point per frame, and 25 frames to a second.
constexpr std::int64_t kPoisonScale = 256;
constexpr std::int64_t kFramesPerSecond = 25;
constexpr std::int64_t kMaxCharacterLevel = 99;
constexpr std::int64_t kMaxItemLevel = 99;
// A skill cast on an event at level 0 takes its level from the item's:
// min((item level - skill's required level) / 4 + 1, 20).
constexpr std::int64_t kLevelsPerSkillLevel = 4;
constexpr std::int64_t kMaxDerivedSkillLevel = 20;

std::int64_t DerivedSkillLevel(std::int64_t itemLevel, std::int64_t requiredLevel) {
    return std::min(std::max<std::int64_t>(itemLevel - requiredLevel, 0) / kLevelsPerSkillLevel + 1,
                    kMaxDerivedSkillLevel);
}

// Values summed over slots may pass 32 bits; held there, a product stays inside 64.
std::int64_t Held(std::int64_t value) {
    return std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX);
}

ValueRange Scaled(ValueRange value, std::int64_t times, std::int64_t divide) {
    return {Held(value.lo) * Held(times) / divide, Held(value.hi) * Held(times) / divide};
}

// Poison is kept as a rate in 256ths of a point a frame; the item shows the total over
// its frames rounded to the nearest point, a half going up: a rate of 128 for 75
// frames (37.5) shows 38, 205 for 125 frames (100.1) shows 100.
std::int64_t PoisonTotal(std::int64_t rate, std::int64_t frames) {
    const std::int64_t total = Held(rate) * Held(frames);
    const std::int64_t half = kPoisonScale / 2;
    return total >= 0 ? (total + half) / kPoisonScale : -((-total + half) / kPoisonScale);
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ')
        ++start;
    return text.substr(start);
}

// A value the game shows with its sign turned: "-40" for 40, "-(40-50)" for a range.
std::string Negated(ValueRange value) {
    if (value.lo >= 0 && value.hi >= 0)
        return "-" + NumberText(value);
    return NumberText({-value.hi, -value.lo});
}

// A value already in parentheses: "3", or "1-3".
std::string Bare(ValueRange value) {
    return value.Single() ? std::to_string(value.lo)
                          : std::to_string(value.lo) + "-" + std::to_string(value.hi);
}

// The value before the string, after it, or not at all, as "descval" says.
std::string Compose(std::int32_t descVal, const std::string& value, const std::string& first,
                    const std::string& second) {
    std::string text = descVal == 1   ? value + " " + first
                       : descVal == 2 ? first + " " + value
                                      : first;
    if (!second.empty())
        text += " " + second;
    return Trimmed(text);
}

} // namespace

// One stat as the item's slots set it.
struct CGameDescriber::Stat {
    std::string name;
    const StatDef* def = nullptr;
    std::int32_t slot = 0;
    std::int32_t func = 0;
    ValueRange value;
    std::int64_t param = 0;
    std::string paramText;      // the slot's parameter as written: a skill's name, a state
    ValueRange chance;          // a skill-on-event's chance, a charged skill's charges
    std::string text;           // the whole line, for what ItemStatCost does not word
    bool levelFromItem = false; // a skill's level the item's level gives, not known here
    bool used = false;
};

struct CGameDescriber::Line {
    std::int32_t slot = 0;
    std::int32_t priority = 0;
    std::string text;
    std::vector<std::int32_t> slots; // every slot the line stands for
};

std::string CGameDescriber::Text(const std::string& key) const {
    if (key.empty())
        return std::string();
    const CStringTables::Found found = strings_.Lookup(key);
    return found.entry ? Trimmed(found.entry->text) : key;
}

std::string CGameDescriber::SkillName(const std::string& numberOrName) const {
    const SkillDef* skill = game_.Skill(numberOrName);
    if (!skill)
        return numberOrName;
    if (!skill->nameKey.empty() && strings_.Lookup(skill->nameKey).entry)
        return Text(skill->nameKey);
    return skill->name;
}

CGameDescriber::Item CGameDescriber::ItemOf(const CTxtTable& table, std::int32_t row) const {
    const CColumnFinder find(table);
    Item item;
    // Unique items name their base in "code", set items in "item".
    const std::int32_t code = find.Find("code") >= 0 ? find.Find("code") : find.Find("item");
    const BaseItemDef* base = code >= 0 ? game_.BaseItem(table.Text(row, code)) : nullptr;
    if (base)
        item.maxSockets = base->gemSockets;
    const std::int32_t level = find.Find("lvl");
    if (const auto own = level >= 0 ? CellNumber(table.Text(row, level)) : std::nullopt)
        item.level = std::max<std::int64_t>(*own, base ? base->level : 0);
    return item;
}

void CGameDescriber::Expand(const std::vector<PropertyStat>& property, std::int32_t slot,
                            const std::string& par, ValueRange minMax, const Item& item,
                            std::vector<Stat>& out) const {
    const std::optional<std::int64_t> parNumber = CellNumber(par);
    const std::int64_t parValue = parNumber.value_or(0);
    const std::size_t first = out.size();
    for (const PropertyStat& entry : property) {
        Stat stat;
        stat.name = entry.stat;
        stat.slot = slot;
        stat.func = entry.func;
        stat.value = minMax;
        stat.param = entry.val.value_or(parValue);
        stat.paramText = par;
        switch (entry.func) {
        case kSameAsPrevious:
            if (out.size() > first) {
                stat.value = out.back().value;
                stat.param = out.back().param;
            }
            break;
        case kMinDamage:
            stat.name = "mindamage";
            break;
        case kMaxDamage:
            stat.name = "maxdamage";
            break;
        case kEnhancedDamage: {
            Stat min = stat;
            min.name = kMinDamagePercent;
            min.def = game_.Stat(min.name);
            out.push_back(std::move(min));
            stat.name = kMaxDamagePercent;
            break;
        }
        case kSkillTab:
            // The tables count tabs three a class (0 Amazon's first … 20 Assassin's
            // last); the stat packs them eight a class, as its description reads them.
            if (parValue >= 0)
                stat.param = parValue / 3 * 8 + parValue % 3;
            break;
        case kSkillOnEvent:
            stat.value = {minMax.hi, minMax.hi}; // the skill's level
            stat.chance = {minMax.lo, minMax.lo};
            break;
        case kCharges:
            stat.value = {minMax.hi, minMax.hi};  // the skill's level
            stat.chance = {minMax.lo, minMax.lo}; // its charges
            break;
        case kRandomSkill:
            stat.text = "+" + std::to_string(parValue) + " to a random skill from " +
                        SkillName(std::to_string(minMax.lo)) + " to " +
                        SkillName(std::to_string(minMax.hi));
            break;
        case kRandomClassSkill:
            stat.text = SignedText({stat.param, stat.param}) + " to the skills of a random class";
            break;
        case kSockets:
            stat.value = parNumber ? ValueRange{parValue, parValue} : minMax;
            stat.name = "item_numsockets";
            break;
        case kMinOnly:
            stat.value = {minMax.lo, minMax.lo};
            break;
        case kMaxOnly:
            stat.value = {minMax.hi, minMax.hi};
            break;
        case kParamOnly:
            stat.value = {parValue, parValue};
            break;
        case kIndestructible:
            stat.name = "item_indesctructible";
            stat.value = {1, 1};
            break;
        case kEthereal:
            stat.text = strings_.Lookup("strethereal").entry ? Text("strethereal")
                                                             : "Ethereal (Cannot be Repaired)";
            break;
        default:
            break;
        }
        const SkillDef* skill = nullptr;
        if (entry.func == kSkillOnEvent || entry.func == kCharges || entry.func == kSkill) {
            skill = game_.Skill(par);
            if (skill)
                stat.param = skill->id;
        }
        if (entry.func == kSkillOnEvent && minMax.hi == 0) {
            // The item drops at its level or above, up to 99.
            if (skill && item.level)
                stat.value = {DerivedSkillLevel(*item.level, skill->reqLevel),
                              DerivedSkillLevel(kMaxItemLevel, skill->reqLevel)};
            else
                stat.levelFromItem = true;
        }
        stat.def = game_.Stat(stat.name);
        out.push_back(std::move(stat));
    }
}

std::string CGameDescriber::Format(const Stat& stat, const StatDef& def, std::int32_t func,
                                   std::int32_t val, const std::string& pos, const std::string& neg,
                                   const std::string& second) const {
    ValueRange value = stat.value;
    if (def.opBase == "level") {
        // A value per character level, in 2^op-param-ths: what it gives at level 1 and 99.
        const std::int64_t unit = std::int64_t{1} << std::clamp(def.opParam, 0, 30);
        value = {value.lo / unit, Held(value.hi) * kMaxCharacterLevel / unit};
    }
    const std::string first = Text(value.hi < 0 ? (neg.empty() ? pos : neg) : pos);
    const std::string secondText = Text(second);
    const std::string skill = SkillName(stat.paramText);
    switch (func) {
    case 1:
        return Compose(val, SignedText(value), first, "");
    case 2:
        return Compose(val, NumberText(value) + "%", first, "");
    case 3:
        return Compose(val, NumberText(value), first, "");
    case 4:
        return Compose(val, SignedText(value) + "%", first, "");
    case 5:
        return Compose(val, NumberText(Scaled(value, 100, 128)) + "%", first, "");
    case 6:
        return Compose(val, SignedText(value), first, secondText);
    case 7:
        return Compose(val, NumberText(value) + "%", first, secondText);
    case 8:
        return Compose(val, SignedText(value) + "%", first, secondText);
    case 9:
        return Compose(val, NumberText(value), first, secondText);
    case 10:
        return Compose(val, NumberText(Scaled(value, 100, 128)) + "%", first, secondText);
    case 11:
        // Repairs one point every 100/value seconds, or value/100 points a second.
        if (value.lo > 0 && value.lo < 100)
            return FormatGameText(Text("ModStre9u"),
                                  {"1", NumberText(Scaled({100, 100}, 1, value.lo))});
        return FormatGameText(first, {NumberText(Scaled(value, 1, 100))});
    case 12:
        return value == ValueRange{1, 1} ? first : Compose(val, SignedText(value), first, "");
    case 13: {
        const auto& classes = game_.Classes();
        if (stat.param >= 0 && static_cast<std::size_t>(stat.param) < classes.size())
            return SignedText(value) + " " +
                   Text(classes[static_cast<std::size_t>(stat.param)].allSkills);
        return Compose(1, SignedText(value), first, "");
    }
    case 14: {
        // The parameter packs the class (8 a class) and its skill tab.
        const auto& classes = game_.Classes();
        const std::size_t cls = static_cast<std::size_t>(stat.param / 8);
        const std::size_t tab = static_cast<std::size_t>(stat.param % 8);
        if (stat.param >= 0 && cls < classes.size() && tab < 3)
            return FormatGameText(Text(classes[cls].skillTabs[tab]), {NumberText(value)}) + " " +
                   Text(classes[cls].classOnly);
        return FormatGameText(first, {NumberText(value)});
    }
    case 15:
        return FormatGameText(first, {NumberText(stat.chance),
                                      stat.levelFromItem ? "(from item level)" : NumberText(value),
                                      skill});
    case 16:
        return FormatGameText(first, {NumberText(value), skill});
    case 17:
    case 18:
        return Compose(val, SignedText(value) + (func == 18 ? "%" : ""), first, secondText);
    case 19:
        return FormatGameText(first, {NumberText(value)});
    case 20:
        return Compose(val, Negated(value) + "%", first, "");
    case 21:
        return Compose(val, Negated(value), first, "");
    case 22: {
        // Named by MonType.txt; by number only where the table is missing.
        const std::string* type = game_.MonsterTypeName(stat.param);
        return Compose(val, SignedText(value) + "%", first, "") + " " +
               (type ? Text(*type) : "(monster type " + std::to_string(stat.param) + ")");
    }
    case 23: {
        // Named by MonStats.txt; by number only where the table is missing.
        const std::string* monster = game_.MonsterNameKey(stat.param);
        return NumberText(value) + "% " + first + " " +
               (monster ? Text(*monster) : "monster " + std::to_string(stat.param));
    }
    case 24:
        return "Level " + NumberText(value) + " " + skill + " " +
               FormatGameText(first, {NumberText(stat.chance), NumberText(stat.chance)});
    case 27: {
        std::string text = SignedText(value) + " to " + skill;
        const SkillDef* def27 = game_.Skill(stat.paramText);
        if (const ClassDef* cls = def27 ? game_.ClassOf(def27->charClass) : nullptr)
            text += " " + Text(cls->classOnly);
        return text;
    }
    case 28:
        return SignedText(value) + " to " + skill;
    default:
        return std::string();
    }
}

std::vector<CGameDescriber::Line> CGameDescriber::Lines(std::vector<Stat>& stats,
                                                        const Item& item) const {
    std::vector<Line> lines;
    const auto find = [&stats](const std::string& name) -> Stat* {
        for (Stat& stat : stats) {
            if (!stat.used && stat.name == name)
                return &stat;
        }
        return nullptr;
    };
    const auto priority = [](const Stat* stat) { return stat->def ? stat->def->descPriority : 0; };
    const auto add = [&lines](std::vector<Stat*> from, std::int32_t prio, std::string text) {
        Line line{from.front()->slot, prio, std::move(text), {}};
        for (Stat* stat : from) {
            stat->used = true;
            line.slots.push_back(stat->slot);
            line.slot = std::min(line.slot, stat->slot);
        }
        lines.push_back(std::move(line));
    };

    // The same stat adds up on the item whichever properties set it (res-all and
    // res-pois both give poisonresist), before groups are formed. A skill cast on an
    // event or with charges is a stat of its own per slot.
    const auto addsUp = [](const Stat& stat) {
        return !stat.used && stat.def && stat.text.empty() && stat.func != kSkillOnEvent &&
               stat.func != kCharges;
    };
    for (std::size_t i = 0; i < stats.size(); ++i) {
        for (std::size_t j = i + 1; j < stats.size(); ++j) {
            Stat& a = stats[i];
            Stat& b = stats[j];
            if (!addsUp(a) || !addsUp(b) || a.name != b.name || a.param != b.param)
                continue;
            a.value = {a.value.lo + b.value.lo, a.value.hi + b.value.hi};
            b.used = true;
            lines.push_back({b.slot, INT32_MIN, std::string(), {b.slot}}); // covered by a
        }
    }

    // Enhanced damage: the maximum and minimum percentages together.
    Stat* maxPercent = find(kMaxDamagePercent);
    Stat* minPercent = find(kMinDamagePercent);
    if (maxPercent && minPercent && maxPercent->value == minPercent->value)
        add({maxPercent, minPercent}, priority(maxPercent),
            SignedText(maxPercent->value) + "% " + Text("strModEnhancedDamage"));
    for (Stat* alone : {find(kMaxDamagePercent), find(kMinDamagePercent)}) {
        if (alone && alone->def)
            add({alone}, priority(alone),
                SignedText(alone->value) + "% " + Text(alone->def->strPos));
    }

    // Damage from a minimum and a maximum.
    for (const DamagePair& pair : kDamagePairs) {
        Stat* min = find(pair.min);
        Stat* max = find(pair.max);
        if (!min || !max)
            continue;
        // Poison is worded over its length; cold's length is never shown, but a slot
        // that sets it belongs to the cold damage line.
        const bool poison = std::string(pair.min) == "poisonmindam";
        const bool cold = std::string(pair.min) == "coldmindam";
        Stat* length = poison ? find("poisonlength") : cold ? find("coldlength") : nullptr;
        ValueRange low = min->value;
        ValueRange high = max->value;
        std::vector<std::string> args;
        if (poison) {
            const std::int64_t frames = length ? length->value.hi : 0;
            low = {PoisonTotal(low.lo, frames), PoisonTotal(low.hi, frames)};
            high = {PoisonTotal(high.lo, frames), PoisonTotal(high.hi, frames)};
        }
        const bool same = low == high;
        args.push_back(NumberText(low));
        if (!same)
            args.push_back(NumberText(high));
        if (poison) {
            const std::int64_t frames = length ? length->value.hi : 0;
            args.push_back(NumberText(Scaled({frames, frames}, 1, kFramesPerSecond)));
        }
        std::vector<Stat*> from{min, max};
        if (length)
            from.push_back(length);
        add(from, priority(min), FormatGameText(Text(same ? pair.single : pair.range), args));
    }

    // Groups the game words as one when every member has the same value.
    std::set<std::int32_t> groups;
    for (const Stat& stat : stats) {
        if (!stat.used && stat.def && stat.def->dgrp != 0)
            groups.insert(stat.def->dgrp);
    }
    for (std::int32_t group : groups) {
        std::vector<Stat*> members;
        for (const StatDef* def : game_.GroupMembers(group)) {
            Stat* member = find(def->name);
            if (!member || (!members.empty() && !(member->value == members.front()->value)))
                break;
            members.push_back(member);
        }
        if (members.size() != game_.GroupMembers(group).size())
            continue;
        const StatDef& def = *members.front()->def;
        std::int32_t prio = 0;
        for (Stat* member : members)
            prio = std::max(prio, priority(member));
        add(members, prio,
            Format(*members.front(), def, def.dgrpFunc, def.dgrpVal, def.dgrpStrPos, def.dgrpStrNeg,
                   def.dgrpStr2));
    }

    // Everything else, one line a stat.
    for (Stat& stat : stats) {
        if (stat.used)
            continue;
        std::string text = stat.text;
        // What the game shows elsewhere than in the modifier lines.
        if (text.empty() && stat.name == "item_numsockets") {
            // The base item takes no more than its gemsockets; none shows nothing.
            ValueRange sockets = stat.value;
            if (item.maxSockets)
                sockets = {std::min<std::int64_t>(sockets.lo, *item.maxSockets),
                           std::min<std::int64_t>(sockets.hi, *item.maxSockets)};
            if (sockets.hi > 0)
                text = Text("Socketable") + " (" + Bare(sockets) + ")";
        } else if (text.empty() && stat.def) {
            // A stat ItemStatCost.txt gives no description is worded nowhere: its
            // slot is marked as not shown on the item, as every such slot is.
            text = Format(stat, *stat.def, stat.def->descFunc, stat.def->descVal, stat.def->strPos,
                          stat.def->strNeg, stat.def->str2);
        }
        if (!text.empty())
            add({&stat}, priority(&stat), std::move(text));
    }
    return lines;
}

std::vector<ModLine> CGameDescriber::Describe(const CTxtTable& table, std::int32_t row,
                                              const SlotList& slots) const {
    std::vector<Stat> stats;
    std::vector<Line> tail; // disabled and unknown slots, after the game's own lines
    std::vector<std::int32_t> usedSlots;
    const auto cell = [&](std::int32_t column) { return std::string(table.Text(row, column)); };
    const Item item = ItemOf(table, row);
    for (std::int32_t slot = 0; slot < static_cast<std::int32_t>(slots.size()); ++slot) {
        const SlotColumns& columns = slots[static_cast<std::size_t>(slot)];
        const std::string code = cell(columns.code);
        if (code.empty())
            continue;
        usedSlots.push_back(slot);
        const std::size_t first = code.find_first_not_of(' ');
        const std::size_t last = code.find_last_not_of(' ');
        const std::string trimmed =
            first == std::string::npos ? std::string() : code.substr(first, last - first + 1);
        const std::string spaces = first == std::string::npos || trimmed.size() == code.size()
                                       ? std::string()
                                   : first == 0              ? " (code has a trailing space)"
                                   : last + 1 == code.size() ? " (code has a leading space)"
                                                             : " (code has spaces around it)";
        const bool disabled = !trimmed.empty() && trimmed[0] == '*';
        const std::string name = disabled ? trimmed.substr(1) : trimmed;
        const std::vector<PropertyStat>* property = game_.Property(name);
        if (!property) {
            tail.push_back({slot, 0, "Unknown modifier: " + code, {slot}});
            continue;
        }
        const ValueRange minMax{CellNumber(cell(columns.min)).value_or(0),
                                CellNumber(cell(columns.max)).value_or(0)};
        if (!disabled && spaces.empty()) {
            Expand(*property, slot, cell(columns.param), minMax, item, stats);
            continue;
        }
        // The game skips a disabled slot, and a code with spaces may not be the code
        // it reads: worded alone, so that it joins no group.
        std::vector<Stat> own;
        Expand(*property, slot, cell(columns.param), minMax, item, own);
        for (Line& line : Lines(own, item)) {
            if (!line.text.empty())
                tail.push_back(
                    {slot, 0, (disabled ? "Disabled: " : "") + line.text + spaces, {slot}});
        }
    }

    std::vector<Line> lines = Lines(stats, item);
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.priority > b.priority; });
    std::set<std::int32_t> covered;
    std::vector<ModLine> out;
    for (const std::vector<Line>* part : {&lines, &tail}) {
        for (const Line& line : *part) {
            covered.insert(line.slots.begin(), line.slots.end());
            if (!line.text.empty())
                out.push_back({line.slot, line.text});
        }
    }
    // A slot the game shows nothing for still needs a line to be edited by.
    for (std::int32_t slot : usedSlots) {
        if (covered.count(slot))
            continue;
        const SlotColumns& columns = slots[static_cast<std::size_t>(slot)];
        std::string text = cell(columns.code);
        for (std::int32_t column : {columns.param, columns.min, columns.max}) {
            if (!cell(column).empty())
                text += " " + cell(column);
        }
        out.push_back({slot, text + " (not shown on the item)"});
    }
    return out;
}

std::vector<ModLine> DescribeModifiers(const CTxtTable& table, std::int32_t row,
                                       const ModifierSlots& modifiers, const CModKeys& keys,
                                       const CGameData& game, const CStringTables& strings) {
    if (modifiers.CataloguesOwnCodes())
        return DescribeModifiers(table, row, modifiers.slots, keys);
    const CGameDescriber describer(game, strings);
    if (game.Ready())
        return describer.Describe(table, row, modifiers.slots);
    CatalogueWording wording;
    wording.useWording = true;
    wording.skillName = [&describer](const std::string& skill) {
        return describer.SkillName(skill);
    };
    return DescribeModifiers(table, row, modifiers.slots, keys, wording);
}

} // namespace tolmere
