// SPDX-License-Identifier: MIT
#include "mods/Describe.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tolmere {
namespace {

using testing::CatalogueOf;
using testing::Row;
using testing::TableOf;

// Catalogue rows: code, pattern, kind, default, -, offset, divisor.
const CModKeys& Keys() {
    static const CModKeys keys = CatalogueOf({
        {"str", "+%.0f to Strength"},
        {"dex", "+%.0f to Dexterity"},
        {"ed%", "%+.0f%% Enhanced Damage"},
        {"hlf", "%.0f half"},
        {"fir0", "", "f"},
        {"fir1", "", "f"},
        {"fir2", "", "fire"},
        {"pso0", "", "p"},
        {"pso1", "", "p"},
        {"pso2", "", "p", "", "", "", "25"},
        {"col0", "", "c"},
        {"col3", "", "c", "", "", "", "25"},
        {"lit0", "", "l"},
        {"dmg0", "", "d"},
        {"dmg1", "", "d"},
    });
    return keys;
}

// A unique item row whose slots, from column 9, hold the space-separated cells given:
// "code,par,min,max", or "code=max" (an empty code for a free slot).
CTxtTable ItemWith(const std::string& slots) {
    Row row(49);
    std::istringstream in(slots);
    std::string slot;
    for (std::size_t i = 0; in >> slot; ++i) {
        const std::size_t equals = slot.find('=');
        if (equals != std::string::npos)
            slot.replace(equals, 1, ",,,");
        std::istringstream cells(slot);
        for (std::size_t c = 0; c < 4 && std::getline(cells, row[9 + 4 * i + c], ',');)
            ++c;
    }
    return TableOf(49, {row});
}

// Row 0's lines as "[slot] text", joined by "|".
std::string Lines(const CTxtTable& table, const CModKeys& keys = Keys(),
                  const SlotList& slots = SlotRun(9, 10), const CatalogueWording& wording = {}) {
    std::string lines;
    for (const ModLine& line : DescribeModifiers(table, 0, slots, keys, wording))
        lines += (lines.empty() ? "[" : "|[") + std::to_string(line.slot) + "] " + line.text;
    return lines;
}

TEST(Describe, PlainLinesRunFromTheHighestSlotDownAndMissingCellsReadAsEmpty) {
    EXPECT_EQ(Lines(ItemWith("")), "");
    EXPECT_EQ(Lines(ItemWith("str=5 =9 dex=7 ed%=40")),
              "[3] +40% Enhanced Damage|[2] +7 to Dexterity|[0] +5 to Strength");
    // Unknown codes still stand for their slot; empty values count as 0.
    EXPECT_EQ(Lines(ItemWith("zzz=1 str=")), "[1] +0 to Strength|[0] Unknown modifier: zzz");
    EXPECT_EQ(Lines(ItemWith("hlf=2.5")), "[0] 3 half");
    EXPECT_EQ(Lines(ItemWith("str=5"), Keys(), SlotList{}), "");
    // Rows shorter than their slots read the missing cells as empty.
    CTxtTable narrow = TableOf(11, {{"key", "", "", "", "", "", "", "", "1", "str", "3"}});
    EXPECT_EQ(Lines(narrow), "[0] +0 to Strength"); // its value cell is missing
    EXPECT_EQ(DescribeModifiers(narrow, 5, SlotRun(9, 10), Keys()).size(), 0u);
}

TEST(Describe, DamageSlotsMergeIntoOneLineAboveThePlainOnesInTheirFixedOrder) {
    const struct {
        const char* slots;
        const char* lines;
    } cases[] = {
        {"str=1 fir0=5 dex=2 fir1=10",
         "[1] 5 - 10 fire damage|[2] +2 to Dexterity|[0] +1 to Strength"},
        {"dmg1=7", "[0] +7 to minimum damage"},
        {"dmg0=7", "[0] +7 to maximum damage"},
        {"dmg0=9 dmg1=4", "[0] add 4 - 9 damage"},
        // Durations pass through the catalogue's divisor: 50 frames are 2 seconds.
        {"pso0=0 pso1=0 pso2=50", "[0] 0 - 0 poison damage over 2.0 sec"},
        // A later slot of the same role overwrites; negative values count as present.
        {"lit0=3 lit0=-4", "[0] -4 - 0 lightning damage"},
        {"pso0=1 col0=2 col3=50 lit0=3 fir0=4 dmg1=5 str=6",
         "[5] +5 to minimum damage|[4] 4 - 0 fire damage|[3] 3 - 0 lightning damage|[1] 2 - 0 "
         "cold damage (2.0 sec freeze)|[0] 1 - 0 poison damage over 0.0 sec|[6] +6 to Strength"},
        // Role 2 is not kept for fire; it still marks the group's first slot. A group
        // without kept roles adds nothing.
        {"fir2=8", ""},
        {"fir2=8 fir1=6", "[0] 0 - 6 fire damage"},
        {"fir0=0", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lines(ItemWith(c.slots)), c.lines) << c.slots;
}

TEST(Describe, GameCodesMergeByTheirRoleAndReadTheirWording) {
    // A catalogue with the named columns the game's codes need: wording, role, param.
    CModKeys keys;
    keys.Assign(testing::NamedTable(
        {"code", "desc", "kind", "default", "group", "offset", "divisor", "unit", "note", "credits",
         "wording", "role", "param", "min label", "max label"},
        {{"str", "+%.0f to Strength", "", "", "", "", "", "", "", "", "+[range] to Strength"},
         {"fire-min", "", "f", "", "", "", "", "", "", "", "", "min"},
         {"fire-max", "", "f", "", "", "", "", "", "", "", "", "max"},
         {"dmg-fire", "", "f", "", "", "", "", "", "", "", "", "minmax"},
         {"dmg-cold", "", "c", "", "", "", "", "", "", "", "", "minmaxlen", "frames"},
         {"dmg-pois", "", "p", "", "", "", "", "", "", "", "", "minmaxlen", "frames"},
         {"hit-skill", "", "", "", "", "", "", "", "", "",
          "[min]% Chance to cast level [max] [skill] on striking", "", "skill"},
         {"hp/lvl", "", "", "", "", "", "8", "", "", "",
          "+[perlevel] to Life (Based on Character Level)", "", "perlevel"}}));
    const struct {
        bool wording; // the game's own layouts; the classic ones use the pattern
        const char* slots;
        const char* lines;
    } cases[] = {
        {false, "fire-min,,,3 fire-max,,,9", "[0] 3 - 9 fire damage"},
        {false, "dmg-fire,,3,9", "[0] 3 - 9 fire damage"},
        // Poison's rate is in 256ths a frame for par frames: 256 × 75 / 256 over 3 s.
        {false, "dmg-pois,75,256,512", "[0] 75 - 150 poison damage over 3.0 sec"},
        {true, "dmg-cold,50,3,9", "[0] 3 - 9 cold damage (2.0 sec freeze)"},
        {false, "*str,,,5 zap", "[1] Unknown modifier: zap|[0] Disabled: +5 to Strength"},
        {true, "str,,5,8 *str,,2,2", "[1] Disabled: +2 to Strength|[0] +(5-8) to Strength"},
        {true, "hit-skill,44,10,5", "[0] 10% Chance to cast level 5 Nova on striking"},
        {true, "hit-skill,Twister,3,2", "[0] 3% Chance to cast level 2 Twister on striking"},
        {true, "hp/lvl,8", "[0] +(1-99) to Life (Based on Character Level)"},
    };
    for (const auto& c : cases) {
        CatalogueWording wording;
        wording.useWording = c.wording;
        wording.skillName = [](const std::string& skill) {
            return skill == "44" ? std::string("Nova") : skill;
        };
        EXPECT_EQ(Lines(ItemWith(c.slots), keys, SlotRun(9, 10), wording), c.lines) << c.slots;
    }
}

} // namespace
} // namespace tolmere
