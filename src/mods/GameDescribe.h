// SPDX-License-Identifier: MIT
// Modifiers worded the way the game words them, from the game's own tables: each
// slot's property becomes the stats Properties.txt names, the stats are grouped as
// the game groups them (fire damage from its minimum and maximum, all resistances,
// all attributes, enhanced damage) and each is written by its ItemStatCost.txt
// description function with the strings of the string tables. Where a slot gives a
// range (min and max differ), the value is shown as "(60-70)"; so is what the item's
// level decides (a skill's level 0), from the lowest level the item drops at to 99.
#pragma once

#include "mods/Describe.h"
#include "mods/GameData.h"
#include "mods/GameText.h"
#include "mods/ModSlots.h"
#include "tables/StringTables.h"

#include <optional>
#include <string>
#include <vector>

namespace tolmere {

class CGameDescriber {
public:
    CGameDescriber(const CGameData& game, const CStringTables& strings)
        : game_(game), strings_(strings) {}

    // The lines of the row's slots in the order the game shows them (highest
    // description priority first); then disabled slots ("Disabled: …"), codes the
    // game does not know ("Unknown modifier: xyz") and slots the game shows nothing
    // for, each carrying its slot. Every used slot is worded: alone, or in the line of
    // its group ("All Resistances +10"), which carries the group's first slot.
    std::vector<ModLine> Describe(const CTxtTable& table, std::int32_t row,
                                  const SlotList& slots) const;

    // The shown name of a skill given by number or name, or the text as written.
    std::string SkillName(const std::string& numberOrName) const;
    // A string of the string tables by its key; the key itself when none has it.
    std::string Text(const std::string& key) const;

private:
    struct Stat;
    struct Line;
    // What the row's item gives the wording: its base item's most sockets and the
    // lowest level it drops at.
    struct Item {
        std::optional<std::int32_t> maxSockets;
        std::optional<std::int64_t> level;
    };
    Item ItemOf(const CTxtTable& table, std::int32_t row) const;
    void Expand(const std::vector<PropertyStat>& property, std::int32_t slot,
                const std::string& par, ValueRange minMax, const Item& item,
                std::vector<Stat>& out) const;
    std::vector<Line> Lines(std::vector<Stat>& stats, const Item& item) const;
    std::string Format(const Stat& stat, const StatDef& def, std::int32_t func, std::int32_t val,
                       const std::string& pos, const std::string& neg,
                       const std::string& second) const;

    const CGameData& game_;
    const CStringTables& strings_;
};

// The lines of the modifier list. The classic tables (those that count their slots)
// are worded by the catalogue as they always were; the game's own layouts by the
// game's tables where they are there, and by the catalogue's wording otherwise.
std::vector<ModLine> DescribeModifiers(const CTxtTable& table, std::int32_t row,
                                       const ModifierSlots& modifiers, const CModKeys& keys,
                                       const CGameData& game, const CStringTables& strings);

} // namespace tolmere
