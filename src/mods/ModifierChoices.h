// SPDX-License-Identifier: MIT
// What the modifier dialog offers for a slot: the properties to choose from, what each
// one's parameter, minimum and maximum mean, the skills a parameter may name, and the
// warnings a choice deserves before it is written. The game's own Properties.txt and
// Skills.txt decide where they are loaded; the catalogue otherwise.
#pragma once

#include "mods/GameData.h"
#include "mods/ModKeys.h"
#include "mods/ModifierEdit.h"
#include "tables/StringTables.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

enum class ParamKind { kNone, kNumber, kSkill };

struct ModifierChoice {
    std::string code;
    std::string text; // the list's entry, bytes as the catalogue or the game words it
    ParamKind param = ParamKind::kNone;
    std::string paramLabel;
    // A label of "-" marks a value the property does not read.
    std::string minLabel = "Min";
    std::string maxLabel = "Max";
    std::string defaultValue;
    // Min and max bound one rolled value (not, say, a chance and a level).
    bool range = true;

    bool UsesMin() const { return minLabel != "-"; }
    bool UsesMax() const { return maxLabel != "-"; }
};

// A skill as the parameter chooser offers it.
struct SkillChoice {
    std::string text;  // "Fire Ball (47)": the shown name and the number
    std::string param; // what the parameter cell takes: the number
};

class CModifierChoices {
public:
    // The catalogue's codes alone, in its wording: the classic tables take no others.
    static CModifierChoices FromCatalogue(const CModKeys& keys);
    // The game's properties where Properties.txt is loaded (worded by the catalogue
    // where it knows the code), the catalogue's codes otherwise; skills from Skills.txt.
    static CModifierChoices ForGame(const CModKeys& keys, const CGameData& game,
                                    const CStringTables& strings);

    // The choices for a table's slots: the catalogue's for the classic tables (those
    // that count their slots), the game's for the others.
    static CModifierChoices For(const ModifierSlots& modifiers, const CModKeys& keys,
                                const CGameData& game, const CStringTables& strings);

    // Entries sorted without regard to case by what they are about ("+# to Strength"
    // under S).
    const std::vector<ModifierChoice>& Entries() const { return entries_; }
    // The entry of a code (byte for byte, then without regard to case), or -1.
    int Find(std::string_view code) const;
    // The entry the user means by what the property box shows: an entry's text, or a
    // code (listed or not, so that a mod's own property can be typed). Null, with
    // `error`, for text that is neither.
    std::optional<ModifierChoice> Resolve(const std::string& shown, std::string& error) const;
    // An entry for a code the list does not hold, so that editing keeps it.
    ModifierChoice Unlisted(const std::string& code) const;

    const std::vector<SkillChoice>& Skills() const { return skills_; }
    // The chooser's text for a parameter cell: the skill's entry, or the cell as written.
    std::string SkillText(std::string_view param) const;

    // What deserves a second look before the values are written: a minimum above the
    // maximum, a skill Skills.txt does not hold, a code Properties.txt does not hold.
    std::vector<std::string> Warnings(const ModifierChoice& choice,
                                      const ModifierValues& values) const;

private:
    std::vector<ModifierChoice> entries_;
    std::vector<SkillChoice> skills_;
    const CGameData* game_ = nullptr; // set where the game's tables decide
};

// A problem with values no table cell can hold (a tab or a line break would split the
// row); empty when they can be written.
std::string ModifierValuesProblem(const ModifierValues& values);

} // namespace tolmere
