// SPDX-License-Identifier: MIT
// Arbitrary game tables and item rows worded as the game words them: a mod's broken
// Properties.txt or ItemStatCost.txt (functions out of range, stats that do not exist,
// numbers of any size) must give lines, never a crash, and every line must stand for
// a used slot of the row.
#include "mods/GameDescribe.h"
#include "support/Require.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    // Three parts, split at 0x01 bytes: property rows, stat rows, item rows. The
    // headers are fixed so that the bytes reach the describer rather than the finder.
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    for (std::string& part : parts) {
        const std::size_t cut = bytes.find('\x01');
        part = std::string(bytes.substr(0, cut));
        bytes = cut == std::string_view::npos ? std::string_view() : bytes.substr(cut + 1);
    }
    CTxtTable properties, stats, skills, items;
    properties.Parse("code\tfunc1\tstat1\tval1\tfunc2\tstat2\tval2\tfunc3\tstat3\tval3\n" +
                     parts[0]);
    stats.Parse("Stat\tID\tdescpriority\tdescfunc\tdescval\tdescstrpos\tdescstrneg\tdescstr2"
                "\tdgrp\tdgrpfunc\tdgrpval\top\top param\top base\n" +
                parts[1]);
    skills.Parse(std::string("skill\tId\tcharclass\nNova\t44\tsor\nBash\t126\tbar\n"));
    items.Parse("prop1\tpar1\tmin1\tmax1\tprop2\tpar2\tmin2\tmax2\tprop3\tpar3\tmin3\tmax3\n" +
                parts[2]);

    CGameData game;
    game.Assign(properties, stats, skills, CTxtTable(), CTxtTable());
    const CStringTables strings;
    const SlotList slots = SlotRun(0, 3);
    const CModKeys keys;
    ModifierSlots modifiers;
    modifiers.slots = slots;
    modifiers.freedValue.clear();
    for (std::int32_t row = 0; row < items.DataRowCount() && row < 64; ++row) {
        for (const ModLine& line : DescribeModifiers(items, row, modifiers, keys, game, strings)) {
            Require(line.slot >= 0 && line.slot < 3, "a line stands for a slot of the row");
            Require(SlotUsed(items, row, slots[static_cast<std::size_t>(line.slot)]),
                    "a line stands for a used slot");
        }
    }
    return 0;
}
