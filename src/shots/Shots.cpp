// SPDX-License-Identifier: MIT
#include "shots/Shots.h"

#include "base/Guide.h"
#include "ui/GuideMsgDlg.h"
#include "ui/MainWindow.h"

#include "base/Services.h"
#include "images/Dc6.h"

#include <cstdlib>
#include <cstring>

namespace tolmere {
namespace {

// Answers every message silently, so that building a window shows no message box.
class QuietGuide : public IGuide {
public:
    int Message(const std::string&, const std::string&, unsigned) override { return kGuideNo; }
    void Status(const std::string&) override {}
};

const char kShotItems[] =
    "index\tversion\tenabled\tcode\tlvl\tlvl req\trarity\tcost mult\tnummods\tprop1\tpar1\tmin1\t"
    "max1\tprop2\tpar2\tmin2\tmax2\tprop3\tpar3\tmin3\tmax3\tprop4\tpar4\tmin4\tmax4\r\n"
    "Saltglass Reaver\t100\t1\taxe\t7\t5\t1\t5\t4\tdmg%\t\t50\t70\tres-cold\t\t10\t10\tstr\t\t5\t"
    "8\tfire-max\t\t6\t6\r\n"
    "Cinderwick\t100\t1\twnd\t6\t4\t1\t5\t2\tcast1\t\t10\t10\tmana\t\t15\t20\r\n";

// A 56 × 84 picture in the item palette: a frame, a diagonal, and entry 0 (where the
// picture has no pixel) in its corners.
std::shared_ptr<const CDib> ShotPicture() {
    DibDesc desc;
    desc.bitsPerPixel = 8;
    desc.width = 56;
    desc.height = 84;
    desc.stride = 56;
    desc.rows.resize(std::size_t{desc.stride} * desc.height);
    for (std::uint32_t y = 0; y < desc.height; ++y)
        for (std::uint32_t x = 0; x < desc.width; ++x) {
            const bool corner = (x < 6 || x >= 50) && (y < 6 || y >= 78);
            const bool edge = x < 3 || y < 3 || x >= 53 || y >= 81 || x * 3 / 2 == y;
            desc.rows[y * desc.stride + x] = corner ? 0 : edge ? 0xA8 : 0x6C;
        }
    desc.palette = BuildItemPalette();
    auto picture = std::make_shared<CDib>();
    picture->TakeDesc(std::move(desc));
    return picture;
}

std::unique_ptr<QWidget> MakeMainWindow(bool extra, bool picture = false) {
    static ProgramData data;
    // No game: the window starts empty, and the shot fills it from its own rows.
    const std::shared_ptr<IGuide> previous = SetGuide(std::make_shared<QuietGuide>());
    setenv("WINEPREFIX", "/nonexistent-tolmere-shots", 1);
    auto window = std::make_unique<CMainWindow>(data);
    window->InitDialog();
    SetGuide(previous);
    data.uniqueItems.Parse(kShotItems);
    window->TakeUniqueLayout();
    data.strings.Reset();
    data.strings.Patch().Set("Saltglass Reaver", "Brine Edge");
    window->FillItemList();
    window->FillModifierList();
    if (extra)
        window->Command(kMainExtra);
    if (picture)
        data.pictures.AddPic("shot", ShotPicture());
    return window;
}

} // namespace

std::vector<Shot> AllShots() {
    std::vector<Shot> shots;
    shots.push_back({"102-main.png", [] { return MakeMainWindow(false); }});
    shots.push_back({"102-xtra.png", [] { return MakeMainWindow(true); }});
    shots.push_back({"102-picture.png", [] { return MakeMainWindow(false, true); }});
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
    AddSetsShots(shots);
    return shots;
}

} // namespace tolmere
