// SPDX-License-Identifier: MIT
#include "app/ProgramData.h"

#include "base/Services.h"
#include "shots/Shots.h"
#include "ui/ChangePalDlg.h"
#include "ui/Griddor.h"
#include "ui/RawEditDlg.h"
#include "ui/SetMasterDlg.h"
#include <algorithm>

namespace tolmere {
namespace {

// The columns of the game's own set tables that the window reads, over two sets.
std::string ShotSetItems() {
    std::string text = "index\tset\titem\t*item\tinvtransform";
    for (int n = 1; n <= 9; ++n)
        text += "\tprop" + std::to_string(n) + "\tpar" + std::to_string(n) + "\tmin" +
                std::to_string(n) + "\tmax" + std::to_string(n);
    for (const char* bonus : {"1a", "1b", "2a", "2b"})
        text +=
            std::string("\taprop") + bonus + "\tapar" + bonus + "\tamin" + bonus + "\tamax" + bonus;
    const auto row = [](const char* name, const char* set, const char* base,
                        const std::string& slots) {
        return std::string("\r\n") + name + "\t" + set + "\t" + base + "\t" + base + "\tlblu" +
               slots + std::string(52 - std::count(slots.begin(), slots.end(), '\t'), '\t');
    };
    text +=
        row("Tidewrack Hood", "Tidewrack Vestments", "Cap", "\tac\t\t15\t15\tres-cold\t\t15\t15");
    text += row("Tidewrack Coat", "Tidewrack Vestments", "Quilted Armor",
                "\tac%\t\t50\t50\tmana\t\t20\t20");
    text += row("Ember Brand", "Ember Vigil", "Short Sword", "\tstr\t\t10\t10");
    return text + "\r\n";
}

std::string ShotSets() {
    std::string text = "index\tname";
    for (const char* tier : {"2a", "2b", "3a", "3b"})
        text +=
            std::string("\tPCode") + tier + "\tPParam" + tier + "\tPMin" + tier + "\tPMax" + tier;
    for (int n = 1; n <= 4; ++n)
        text += "\tFCode" + std::to_string(n) + "\tFParam" + std::to_string(n) + "\tFMin" +
                std::to_string(n) + "\tFMax" + std::to_string(n);
    text += "\r\nTidewrack Vestments\tTidewrack Vestments\tres-cold\t\t20\t20" +
            std::string(12, '\t') + "\tres-all\t\t10\t10\tmana\t\t30\t30" + std::string(8, '\t');
    text += "\r\nEmber Vigil\tEmber Vigil" + std::string(16, '\t') + "\tdex\t\t10\t10" +
            std::string(12, '\t');
    return text + "\r\n";
}

ProgramData& ShotData() {
    static ProgramData data;
    static const bool filled = [] {
        ProgramData& loaded = data;
        loaded.setItems.Parse(ShotSetItems());
        loaded.sets.Parse(ShotSets());
        LoadModKeys(loaded.modKeys, ModuleDir(), "");
        LoadDataTable(loaded.colours, "colors.txt", ModuleDir(), "");
        loaded.strings.Patch().Set("Tidewrack Vestments", "Tidewrack Vestments");
        loaded.strings.Patch().Set("Tidewrack Hood", "Tidewrack Hood");
        return true;
    }();
    (void)filled;
    return data;
}

std::unique_ptr<QWidget> MakeSetMaster(std::int32_t node) {
    auto window = std::make_unique<CSetMasterDlg>(ShotData(), nullptr);
    window->InitDialog();
    window->SelectNode(node);
    return window;
}

std::unique_ptr<QWidget> MakeRawEdit() {
    ProgramData& data = ShotData();
    static const bool lists = [&data] {
        CTxtTable weapons;
        weapons.Parse("name\tcode\r\nCap\tcap\r\nQuilted Armor\tqui\r\nShort Sword\tssd\r\n");
        data.baseLists.Assign(0, weapons);
        data.baseLists.Assign(1, weapons);
        data.baseLists.Assign(2, weapons);
        return true;
    }();
    (void)lists;
    auto window = std::make_unique<CRawEditDlg>(data, data.setItems, "SetItems.txt");
    window->InitDialog();
    window->Grid()->Select(1, 2);
    return window;
}

} // namespace

void AddSetsShots(std::vector<Shot>& shots) {
    shots.push_back({"110-raw.png", [] { return MakeRawEdit(); }});
    shots.push_back({"107-set.png", [] { return MakeSetMaster(0); }});
    shots.push_back({"107-member.png", [] { return MakeSetMaster(1001); }});
    shots.push_back({"108-pal.png", [] {
                         return std::make_unique<CChangePalDlg>(ShotData().colours,
                                                                ShotData().setItems, 0, 4);
                     }});
}

} // namespace tolmere
