// SPDX-License-Identifier: MIT
#include "app/ProgramData.h"
#include "base/Services.h"
#include "shots/Shots.h"
#include "tables/StringTables.h"
#include "ui/AboutDlg.h"
#include "ui/NameDlg.h"

namespace tolmere {
namespace {

const CModKeys& ShotModKeys() {
    // The catalogue shipped beside the program gives the real credit lines.
    static const CModKeys keys = [] {
        CModKeys loaded;
        LoadModKeys(loaded, ModuleDir(), "");
        return loaded;
    }();
    return keys;
}

std::unique_ptr<CAboutDlg> MakeAbout(bool credits) {
    auto dialog = std::make_unique<CAboutDlg>(ShotModKeys());
    if (credits) {
        dialog->InitDialog();
        dialog->Command(kAboutCopyrights);
    }
    return dialog;
}

} // namespace

void AddDialogShots(std::vector<Shot>& shots) {
    shots.push_back({"106-name.png", [] {
                         static CStringTables strings = [] {
                             CStringTables tables;
                             tables.Patch().Add("Ember Tooth", "Ember Tooth");
                             return tables;
                         }();
                         return std::make_unique<CNameDlg>(strings, "Ember Tooth", "");
                     }});
    shots.push_back({"104-readme.png", [] { return MakeAbout(false); }});
    shots.push_back({"104-credits.png", [] { return MakeAbout(true); }});
}

} // namespace tolmere
