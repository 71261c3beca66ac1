// SPDX-License-Identifier: MIT
#include "items/UniqueLayout.h"
#include "shots/Shots.h"
#include "ui/ModifierDlg.h"

#include <memory>
#include <string>
#include <utility>

namespace tolmere {
namespace {

const CModKeys& ShotCatalogue() {
    static const CModKeys keys = [] {
        CTxtTable table;
        table.Parse("code\tpattern\tkind\tdefault\r\n"
                    "str\t+%.0f to Strength\t\t10\r\n"
                    "dex\t+%.0f to Dexterity\t\t10\r\n"
                    "ac%\t%+.0f%% Enhanced Defense\t\t50\r\n"
                    "res-all\tAll Resistances +%.0f\t\t15\r\n"
                    "mana\t+%.0f to Mana\t\t20\r\n");
        CModKeys catalogue;
        catalogue.Assign(std::move(table));
        return catalogue;
    }();
    return keys;
}

// One unique item whose slot 0 holds Enhanced Defense 80 to 120, slot 1 free.
CTxtTable& ShotItem() {
    static CTxtTable table = [] {
        std::string header = "index";
        std::string row = "Shot Guard";
        for (int c = 1; c < 49; ++c) {
            header += "\tc" + std::to_string(c);
            row += '\t';
            if (c == 8)
                row += "1";
            else if (c == 9)
                row += "ac%";
            else if (c == 11)
                row += "80";
            else if (c == 12)
                row += "120";
        }
        CTxtTable item;
        item.Parse(header + "\r\n" + row + "\r\n");
        return item;
    }();
    return table;
}

const CModifierChoices& ShotChoices() {
    static const CModifierChoices choices = CModifierChoices::FromCatalogue(ShotCatalogue());
    return choices;
}

} // namespace

void AddModsShots(std::vector<Shot>& shots) {
    shots.push_back({"103-add.png", [] {
                         return std::make_unique<CModifierDlg>(1, 0, ShotItem(), ShotChoices(),
                                                               ClassicUniqueLayout().modifiers,
                                                               nullptr);
                     }});
    shots.push_back({"103-edit.png", [] {
                         return std::make_unique<CModifierDlg>(0, 0, ShotItem(), ShotChoices(),
                                                               ClassicUniqueLayout().modifiers,
                                                               nullptr);
                     }});
}

} // namespace tolmere
