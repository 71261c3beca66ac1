// "Cache Img" on the classic test game: the pictures extracted in one run, decoded,
// the working folder left clean, and the selected item's picture drawn in its box.
#include "sets/SetModel.h"
#include "ui/SetMasterDlg.h"

#include "MainWindowFixture.h"
#include "UiTestHelpers.h"

#include "dc6enc/Dc6Encode.h"
#include "support/TempDir.h"

#include <QCheckBox>

namespace tolmere {
namespace {

class PicturesTest : public MainWindowTest {
protected:
    // Adds "<name>.dc6" to the patch archive; each row starts with a pixel of entry 0,
    // where the picture has none.
    void AddPicture(const std::string& name, std::uint32_t width, std::uint32_t height) {
        const std::string row = std::string(1, '\0') + std::string(width - 1, '\x09');
        dc6enc::File file;
        file.frames.push_back(
            dc6enc::FrameOf(std::vector<std::string>(height, row), dc6enc::kTerminationEE));
        testing::WriteBytes(gameDir_ + name + ".dc6", dc6enc::Encode(file));
        ASSERT_EQ(
            Mpq2k("a patch_d2.mpq " + name + ".dc6 data\\\\GLOBAL\\\\Items\\\\" + name + ".dc6"),
            "ok");
        std::filesystem::remove(gameDir_ + name + ".dc6");
    }
};

TEST_F(PicturesTest, CacheImgDecodesEveryPictureAndTheSelectedOneIsDrawn) {
    // Two pictures in the patch archive: the first and the second item's.
    AddPicture("invaxeu", 56, 84);
    AddPicture("invwnd", 28, 84);
    CMainWindow& window = Start();
    CPictureWorker& worker = window.PictureWorker();
    EXPECT_TRUE(worker.workerRunning);
    // With the display off a new selection loads nothing.
    Choose(1);
    QTest::qWait(300);
    EXPECT_EQ(data_.pictures.Count(), 0u);

    window.Command(kMainCacheImages);
    EXPECT_TRUE(window.ControlAs<QCheckBox>(kMainShowImage)->isChecked());
    EXPECT_TRUE(worker.showImage);
    EXPECT_FALSE(std::filesystem::exists(gameDir_ + kWorkDirName));
    EXPECT_FALSE(std::filesystem::exists(gameDir_ + kWorkDirName + ".scs"));
    // The item selected before "Cache Img" is the one shown.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto current = data_.pictures.CurrentPic();
        return current && !current->IsEmpty() && current->Desc().width == 28;
    }));
    // Selecting the first item shows its picture, centred in the box.
    Choose(0);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto current = data_.pictures.CurrentPic();
        return current && current->Desc().width == 56;
    }));
    EXPECT_EQ(window.PicturePlace(56, 84) - window.ClientRect().topLeft(), QPoint(279, 145));
    EXPECT_EQ(window.PicturePlace(200, 200) - window.ClientRect().topLeft(), QPoint(207, 87));

    // Drawn over the dialog: entry 9 in colour, entry 0 letting the dialog show.
    const QImage shot = window.grab().toImage();
    const QPoint at = window.PicturePlace(56, 84);
    const QColor dialog = shot.pixelColor(window.PictureBox().topLeft() + QPoint(1, 1));
    EXPECT_NE(shot.pixelColor(at + QPoint(5, 5)), dialog);
    EXPECT_EQ(shot.pixelColor(at + QPoint(0, 5)), dialog);

    // Set Master, opened with the display on, shows the selected item's picture.
    CTxtTable seedSets;
    ASSERT_TRUE(seedSets.Load(std::string(TOLMERE_SOURCE_DIR) +
                              "/tests/data/seed-game/d2data/excel/SetItems.txt"));
    const CSetModel seedModel({&seedSets, nullptr});
    const std::string memberPicture =
        seedModel.PictureName(seedModel.Node(seedModel.Tree().Find(1000)), data_.baseLists);
    ASSERT_FALSE(memberPicture.empty());
    AddPicture(memberPicture, 28, 56);
    {
        const CArchiveBridge bridge(gameDir_, FindArchiveTool(gameDir_, ""));
        CSetMasterDlg sets(data_, &bridge, true);
        sets.InitDialog();
        EXPECT_FALSE(sets.Picture()); // a set shows none
        ASSERT_TRUE(sets.SelectNode(1000));
        ASSERT_TRUE(sets.Picture());
        EXPECT_EQ(sets.Picture()->Desc().height, 56u);
        EXPECT_EQ(sets.PictureBox().size(), QSize(106, 118));
        EXPECT_FALSE(std::filesystem::exists(gameDir_ + kWorkDirName));
    }

    // Closing stops the worker.
    window.Command(kMainCancel);
    EXPECT_FALSE(worker.workerRunning);
    EXPECT_TRUE(worker.workerFinished);
}

} // namespace
} // namespace tolmere
