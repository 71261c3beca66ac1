// SPDX-License-Identifier: MIT
#include "mods/ModifierChoices.h"

#include "mods/Describe.h"
#include "mods/GameDescribe.h"
#include "mods/PropertyReads.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace tolmere {
namespace {

std::string ParamLabelOf(std::string_view kind) {
    if (kind == "skill")
        return "Skill";
    if (kind == "perlevel")
        return "Per level (8ths)";
    if (kind == "frames")
        return "Frames";
    if (kind == "monster")
        return "Monster";
    if (kind == "state")
        return "State";
    if (kind == "tab")
        return "Skill tab";
    return "Parameter";
}

// The catalogue's wording with its value tokens as '#': "+# to Strength".
std::string EntryText(std::string_view wording) {
    return ReplaceTokens(wording, [](std::string_view token) {
        return std::string(token == "skill" ? "(skill)" : token == "+range" ? "+#" : "#");
    });
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

// The list shows each entry's code, so that typing a code finds it as well.
std::string WithCode(const std::string& text, const std::string& code) {
    return text.empty() || text == code ? code : TrimEnd(text) + " (" + code + ")";
}

ModifierChoice FromKey(const CModKeys& keys, std::int32_t row, bool wording) {
    ModifierChoice choice;
    choice.code = std::string(keys.Code(row));
    const std::string_view kind = keys.ParamKind(row);
    choice.param = kind == "skill" ? ParamKind::kSkill
                   : kind.empty()  ? ParamKind::kNone
                                   : ParamKind::kNumber;
    if (!kind.empty())
        choice.paramLabel = ParamLabelOf(kind);
    if (!keys.MinLabel(row).empty())
        choice.minLabel = std::string(keys.MinLabel(row));
    if (!keys.MaxLabel(row).empty())
        choice.maxLabel = std::string(keys.MaxLabel(row));
    choice.defaultValue = std::string(keys.DefaultValue(row));
    choice.range = choice.minLabel == choice.maxLabel || choice.param != ParamKind::kSkill;
    const std::string text = wording && !keys.Wording(row).empty() ? EntryText(keys.Wording(row))
                                                                   : keys.DisplayText(row);
    choice.text = WithCode(text, choice.code);
    return choice;
}

ModifierChoice FromGame(const CModKeys& keys, const CGameData& game, const std::string& code) {
    const std::int32_t key = keys.Find(code);
    ModifierChoice choice = key >= 0 ? FromKey(keys, key, true) : ModifierChoice{};
    const PropertyDef& def = *game.Definition(code);
    if (key < 0) {
        choice.code = code;
        choice.text = WithCode(def.desc, code);
    }
    // The game's functions decide what the slot's cells mean; its notes name them.
    bool param = false, min = false, max = false, skill = false, range = true;
    for (const PropertyStat& stat : def.stats) {
        param = param || ReadsParam(stat.func);
        min = min || ReadsMin(stat.func);
        max = max || ReadsMax(stat.func);
        skill = skill || ReadsSkill(stat.func);
        range = range && ReadsRange(stat.func);
    }
    param = param || !def.paramLabel.empty();
    choice.param = skill ? ParamKind::kSkill : param ? ParamKind::kNumber : ParamKind::kNone;
    if (skill)
        choice.paramLabel = "Skill";
    else if (!def.paramLabel.empty())
        choice.paramLabel = def.paramLabel;
    else if (param && choice.paramLabel.empty())
        choice.paramLabel = "Parameter";
    const auto label = [](bool used, const std::string& game, const std::string& catalogue,
                          const char* plain) {
        if (!used)
            return std::string("-");
        if (!game.empty())
            return game;
        return catalogue.empty() || catalogue == "-" ? std::string(plain) : catalogue;
    };
    choice.minLabel = label(min, def.minLabel, choice.minLabel, "Min");
    choice.maxLabel = label(max, def.maxLabel, choice.maxLabel, "Max");
    choice.range = range;
    return choice;
}

// Entries sort by what they are about: "+# to Strength" under S, "#% Enhanced Damage"
// under E, as a modder looks for them.
std::string SortKey(const std::string& text) {
    std::size_t at = text.find_first_not_of("+-#%() ");
    if (at == std::string::npos)
        return text;
    if (text.compare(at, 3, "to ") == 0)
        at += 3;
    return text.substr(at);
}

void SortEntries(std::vector<ModifierChoice>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ModifierChoice& a, const ModifierChoice& b) {
                         return ::strcasecmp(SortKey(a.text).c_str(), SortKey(b.text).c_str()) < 0;
                     });
}

bool HasBreak(const std::string& text) {
    return text.find_first_of("\t\r\n") != std::string::npos;
}

} // namespace

CModifierChoices CModifierChoices::FromCatalogue(const CModKeys& keys) {
    CModifierChoices choices;
    for (std::int32_t row = 0; row < keys.Count(); ++row)
        choices.entries_.push_back(FromKey(keys, row, false));
    SortEntries(choices.entries_);
    return choices;
}

CModifierChoices CModifierChoices::ForGame(const CModKeys& keys, const CGameData& game,
                                           const CStringTables& strings) {
    CModifierChoices choices;
    choices.game_ = &game;
    if (game.Ready()) {
        for (const std::string& code : game.PropertyCodes())
            choices.entries_.push_back(FromGame(keys, game, code));
    } else {
        for (std::int32_t row = 0; row < keys.Count(); ++row)
            choices.entries_.push_back(FromKey(keys, row, true));
    }
    SortEntries(choices.entries_);
    const CGameDescriber describer(game, strings);
    for (const SkillDef& skill : game.Skills()) {
        const std::string id = std::to_string(skill.id);
        choices.skills_.push_back({describer.SkillName(id) + " (" + id + ")", id});
    }
    std::stable_sort(choices.skills_.begin(), choices.skills_.end(),
                     [](const SkillChoice& a, const SkillChoice& b) {
                         return ::strcasecmp(a.text.c_str(), b.text.c_str()) < 0;
                     });
    return choices;
}

CModifierChoices CModifierChoices::For(const ModifierSlots& modifiers, const CModKeys& keys,
                                       const CGameData& game, const CStringTables& strings) {
    return modifiers.CataloguesOwnCodes() ? FromCatalogue(keys) : ForGame(keys, game, strings);
}

int CModifierChoices::Find(std::string_view code) const {
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const std::string& held = entries_[i].code;
            const bool same = pass == 0
                                  ? held == code
                                  : held.size() == code.size() &&
                                        ::strncasecmp(held.data(), code.data(), code.size()) == 0;
            if (same)
                return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<ModifierChoice> CModifierChoices::Resolve(const std::string& shown,
                                                        std::string& error) const {
    for (const ModifierChoice& entry : entries_) {
        if (entry.text == shown)
            return entry;
    }
    if (shown.empty()) {
        error = "Choose a modifier from the list, or type its code.";
        return std::nullopt;
    }
    const int found = Find(shown);
    if (found >= 0)
        return entries_[static_cast<std::size_t>(found)];
    if (shown.find_first_of(" \t\r\n") != std::string::npos) {
        error = "'" + shown + "' is neither a modifier of the list nor a property code.";
        return std::nullopt;
    }
    return Unlisted(shown);
}

ModifierChoice CModifierChoices::Unlisted(const std::string& code) const {
    // Nothing is known of it: every cell stays open to the user.
    ModifierChoice choice;
    choice.code = code;
    choice.text = code;
    choice.param = ParamKind::kNumber;
    choice.paramLabel = "Parameter";
    return choice;
}

std::string CModifierChoices::SkillText(std::string_view param) const {
    if (game_) {
        if (const SkillDef* skill = game_->Skill(param)) {
            const std::string id = std::to_string(skill->id);
            for (const SkillChoice& entry : skills_) {
                if (entry.param == id)
                    return entry.text;
            }
        }
    }
    return std::string(param);
}

std::vector<std::string> CModifierChoices::Warnings(const ModifierChoice& choice,
                                                    const ModifierValues& values) const {
    std::vector<std::string> warnings;
    const std::optional<std::int64_t> min = CellNumber(values.min);
    const std::optional<std::int64_t> max = CellNumber(values.max);
    if (choice.range && choice.UsesMin() && choice.UsesMax() && min && max && *min > *max)
        warnings.push_back("The minimum (" + values.min + ") is greater than the maximum (" +
                           values.max + ").");
    if (game_ && choice.param == ParamKind::kSkill && values.param && !values.param->empty() &&
        !game_->Skills().empty() && !game_->Skill(*values.param))
        warnings.push_back("Skills.txt has no skill '" + *values.param + "'.");
    // A disabled code ("*str") is meant to be one the game skips.
    if (game_ && game_->Ready() && !values.code.empty() && values.code[0] != '*' &&
        !game_->HasProperty(values.code))
        warnings.push_back("Properties.txt has no property '" + values.code + "'.");
    return warnings;
}

std::string ModifierValuesProblem(const ModifierValues& values) {
    if (values.code.empty())
        return "A modifier needs a property code.";
    if (HasBreak(values.code) || (values.param && HasBreak(*values.param)) ||
        HasBreak(values.min) || HasBreak(values.max))
        return "A cell cannot hold a tab or a line break: it would split the row.";
    return std::string();
}

} // namespace tolmere
