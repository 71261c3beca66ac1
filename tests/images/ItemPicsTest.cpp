#include "images/ItemPics.h"
#include "images/PictureWorker.h"

#include "dc6enc/Dc6Encode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <condition_variable>

namespace tolmere {
namespace {

using testing::TempDir;

// A folder holding "<name>.dc6" pictures of the given sizes.
void WritePicture(const TempDir& dir, const std::string& name, std::uint32_t width,
                  std::uint32_t height) {
    dc6enc::File file;
    file.frames.push_back(dc6enc::SolidFrame(width, height, 7, dc6enc::kTerminationEE));
    testing::WriteBytes(dir.File(name + ".dc6"), dc6enc::Encode(file));
}

TEST(ItemPics, CachesByNameGrowsBySixteenAndRetriesWhatFailed) {
    TempDir dir;
    WritePicture(dir, "invsword", 28, 84);
    CItemPics pictures;
    const struct {
        const char* name;
        LoadItemPicResult result;
        std::uint32_t currentWidth; // 0: the current picture is empty
    } steps[] = {
        {"", kPicNoName, 0},          {"invsword", kPicLoadedNow, 28},
        {"invsword", kPicCached, 28}, {"invnothing", kPicLoadedNow, 0},
        {"invsword", kPicCached, 28}, {"invnothing", kPicCached, 0},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(LoadItemPic(pictures, dir.Path(), step.name), step.result) << step.name;
        if (step.result == kPicNoName)
            continue;
        const auto current = pictures.CurrentPic();
        ASSERT_TRUE(current) << step.name;
        EXPECT_EQ(current->Desc().width, step.currentWidth) << step.name;
    }
    EXPECT_EQ(pictures.Count(), 2u);
    EXPECT_EQ(pictures.Capacity(), 16u);

    // A picture that failed is tried again once forgotten, and found when it is there.
    WritePicture(dir, "invnothing", 10, 10);
    pictures.ForgetEmpty();
    EXPECT_EQ(pictures.FindPic("invnothing"), -1);
    EXPECT_EQ(LoadItemPic(pictures, dir.Path(), "invnothing"), kPicLoadedNow);
    EXPECT_EQ(pictures.CurrentPic()->Desc().width, 10u);

    for (int i = 0; i < 14; ++i)
        pictures.AddPic("extra" + std::to_string(i), std::make_shared<CDib>());
    EXPECT_EQ(pictures.Count(), 16u);
    EXPECT_EQ(pictures.Capacity(), 32u);
}

// The worker's passes, driven one at a time, with its waits counted.
TEST(PictureWorker, FollowsRequestsOnlyWhileTheDisplayIsOn) {
    TempDir dir;
    WritePicture(dir, "invhelm", 56, 84);
    CItemPics pictures;
    std::vector<int> sleeps;
    int repaints = 0;
    CPictureWorker worker(pictures, {[&] { ++repaints; }, [&](int ms) { sleeps.push_back(ms); }});
    worker.SetPictureDir(dir.Path());

    worker.RunPass(); // nothing asked
    worker.Request("invhelm");
    worker.RunPass(); // the display is off: nothing loads, the request waits
    EXPECT_EQ(pictures.Count(), 0u);
    EXPECT_TRUE(worker.pictureRequest);
    worker.showImage = true;
    worker.RunPass(); // loaded now, then a pause
    worker.Request("invhelm");
    worker.RunPass(); // cached: no pause
    worker.Request("");
    worker.RunPass(); // an item without a picture shows none
    EXPECT_EQ(sleeps, (std::vector<int>{100, 500, 500, 500}));
    EXPECT_EQ(repaints, 3);
    EXPECT_EQ(pictures.Count(), 1u);
    EXPECT_FALSE(pictures.CurrentPic());
}

// The real thread: a request is served and Stop returns with the thread finished.
TEST(PictureWorker, RunsOnItsOwnThreadUntilStopped) {
    TempDir dir;
    WritePicture(dir, "invring", 28, 28);
    CItemPics pictures;
    std::mutex mutex;
    std::condition_variable painted;
    bool repainted = false;
    CPictureWorker worker(pictures, {[&] {
                                         const std::lock_guard<std::mutex> lock(mutex);
                                         repainted = true;
                                         painted.notify_one();
                                     },
                                     [](int) { std::this_thread::yield(); }});
    worker.SetPictureDir(dir.Path());
    worker.showImage = true;
    worker.Start();
    worker.Request("invring");
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(painted.wait_for(lock, std::chrono::seconds(10), [&] { return repainted; }));
    }
    worker.Stop();
    EXPECT_TRUE(worker.workerFinished);
    ASSERT_TRUE(pictures.CurrentPic());
    EXPECT_EQ(pictures.CurrentPic()->Desc().height, 28u);
}

} // namespace
} // namespace tolmere
