// SPDX-License-Identifier: MIT
#include "app/ProgramData.h"
#include "base/Services.h"
#include "shots/Shots.h"
#include "tables/StringTables.h"
#include "ui/AboutDlg.h"
#include "ui/NameDlg.h"
#include "ui/StringsDlg.h"

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

// The Strings window over a few texts of each table: a colour code, a line break, a
// name patchstring.tbl overrides and a key used twice.
std::unique_ptr<CStringsDlg> MakeStrings() {
    static ProgramData data;
    static const bool filled = [] {
        ProgramData& made = data;
        CStrTbl& base = made.strings.Table(StringSource::kBase);
        base.Add("Ember Tooth", "Ember Tooth");
        base.Add("ModStr1w", "extra gold from monsters");
        base.Add("strModEnhancedDamage", "Enhanced damage\n");
        CStrTbl& expansion = made.strings.Table(StringSource::kExpansion);
        expansion.Add("Frost Veil", "Frost Veil");
        expansion.Add("Frost Veil", "Frost Veil (old)");
        expansion.Add("WarnGold", "\xC3\xBF"
                                  "c1Not enough gold\n\xC3\xBF"
                                  "c0Sell something");
        made.strings.Patch().Add("ModStr1w", "Extra Gold from Monsters");
        made.strings.Patch().Add("Ash Crown", "\xC3\xBF"
                                              "c4Ash Crown");
        return true;
    }();
    (void)filled;
    auto dialog = std::make_unique<CStringsDlg>(data, nullptr);
    dialog->InitDialog();
    dialog->SelectKey("WarnGold");
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
    shots.push_back({"113-strings.png", [] { return MakeStrings(); }});
    shots.push_back({"104-readme.png", [] { return MakeAbout(false); }});
    shots.push_back({"104-credits.png", [] { return MakeAbout(true); }});
}

} // namespace tolmere
