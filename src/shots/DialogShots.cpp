// SPDX-License-Identifier: MIT
#include "app/ProgramData.h"
#include "base/Guide.h"
#include "base/Services.h"
#include "shots/Shots.h"
#include "tables/StringTables.h"
#include "ui/AboutDlg.h"
#include "ui/ChangesDlg.h"
#include "ui/GuideMsgDlg.h"
#include "ui/NameDlg.h"
#include "ui/ProblemsDlg.h"
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
    shots.push_back({"112-problems.png", [] {
                         auto dialog =
                             std::make_unique<CProblemsDlg>(nullptr, [](const Problem&) {});
                         dialog->SetProblems(
                             {{Severity::kError, "UniqueItems.txt", 12, "Ember Tooth", "prop3", 29,
                               "'allskills ' has spaces around it, which the game keeps: "
                               "Properties.txt has 'allskills', not 'allskills '"},
                              {Severity::kError, "UniqueItems.txt", 30, "Frost Lantern", "par2", 26,
                               "Skills.txt has no skill of the name 'Frost Nova '"},
                              {Severity::kWarning, "UniqueItems.txt", 41, "Ashen Veil", "min1", 23,
                               "the minimum 30 is above the maximum 20"},
                              {Severity::kNote, "SetItems.txt", 3, "Tidecaller's Grip", "prop2", 24,
                               "a disabled slot: the game skips '*enr'"}});
                         return dialog;
                     }});
    shots.push_back({"105-show.png", [] {
                         return std::make_unique<CGuideMsgDlg>(nullptr, ProblemsQuestion(2),
                                                               kCaptionConfirmation,
                                                               kGuideYesNo | kGuideWithShow);
                     }});
    shots.push_back({"113-strings.png", [] { return MakeStrings(); }});
    shots.push_back({"104-readme.png", [] { return MakeAbout(false); }});
    shots.push_back({"105-spawn-preview.png", [] {
                         return std::make_unique<CGuideMsgDlg>(
                             nullptr,
                             "UniqueItems.txt: 3 items changed, 5 modifiers; patchstring.tbl: 1 "
                             "name\n\nApply changes to d2?",
                             kCaptionConfirmation, kGuideYesNo, "UniqueItems.txt\t...\n");
                     }});
    shots.push_back(
        {"120-changes.png", [] {
             static const CTxtTable table;
             ChangesRequest request;
             request.table = &table;
             request.fileName = "UniqueItems.txt";
             auto dialog = std::make_unique<CChangesDlg>(nullptr, nullptr, request, nullptr);
             dialog->InitDialog();
             std::vector<ChangeLine> lines(3);
             lines[0] = {"UniqueItems.txt",
                         "Bloodrise",
                         0,
                         ChangeKind::kModifier,
                         "",
                         -1,
                         "+120% Enhanced Damage",
                         "+(120-777)% Enhanced Damage"};
             lines[1] = {
                 "UniqueItems.txt", "Fechmars Axe", 0, ChangeKind::kCell, "lvl", -1, "11", "99"};
             lines[2] = {
                 "UniqueItems.txt", "Rainbow Facet", 1, ChangeKind::kRowAdded, "", 403, "", ""};
             dialog->Show({"",
                           "UniqueItems.txt: 2 items changed, 1 item added, 1 "
                           "modifier",
                           lines});
             return dialog;
         }});
    shots.push_back({"104-credits.png", [] { return MakeAbout(true); }});
}

} // namespace tolmere
