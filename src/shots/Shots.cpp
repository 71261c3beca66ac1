#include "shots/Shots.h"

#include "app/Guide.h"
#include "ui/GuideMsgDlg.h"

namespace tolmere {

std::vector<Shot> AllShots() {
    std::vector<Shot> shots;
    shots.push_back({"105-ok.png", [] {
                         return std::make_unique<CGuideMsgDlg>(
                             nullptr,
                             "Failed.\nThe file could not be written & was left as it was.",
                             kCaptionGuide, kGuideOkOnly);
                     }});
    shots.push_back({"105-yesno.png", [] {
                         return std::make_unique<CGuideMsgDlg>(nullptr, "Reload data from d2?",
                                                               kCaptionConfirmation, 36);
                     }});
    AddModsShots(shots);
    AddDialogShots(shots);
    return shots;
}

} // namespace tolmere
