// SPDX-License-Identifier: MIT
#include "app/ProgramData.h"
#include "base/Guide.h"
#include "base/Services.h"
#include "shots/Shots.h"
#include "tables/StringTables.h"
#include "ui/AboutDlg.h"
#include "ui/GuideMsgDlg.h"
#include "ui/NameDlg.h"
#include "ui/ProblemsDlg.h"

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
                         return std::make_unique<CGuideMsgDlg>(
                             nullptr, std::string("2") + kProblemsQuestion, kCaptionConfirmation,
                             kGuideYesNo | kGuideWithShow);
                     }});
    shots.push_back({"104-readme.png", [] { return MakeAbout(false); }});
    shots.push_back({"104-credits.png", [] { return MakeAbout(true); }});
}

} // namespace tolmere
