// SPDX-License-Identifier: MIT
// The game's DC6 pictures: decoding, converting, and the cache and worker
// that load them for the item shown.
#include "images/Dc6.h"
#include "images/ItemPics.h"
#include "images/PictureWorker.h"

#include "base/ByteOrder.h"
#include "dc6enc/Dc6Encode.h"
#include "images/PngWriter.h"
#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <optional>

namespace tolmere {
namespace {

using dc6enc::File;
using dc6enc::Frame;
using dc6enc::kTerminationCD;
using dc6enc::kTerminationEE;
using dc6enc::kTerminationZero;
using testing::Cli;
using testing::CliRun;
using testing::Q;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::optional<DibDesc> Decode(const std::string& bytes) {
    return DecodeDc6(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::optional<DibDesc> Decode(const File& file) {
    return Decode(dc6enc::Encode(file));
}

unsigned char At(const DibDesc& desc, std::uint32_t x, std::uint32_t y) {
    return desc.rows[std::size_t{y} * desc.stride + x];
}

File OneFrame(Frame frame, std::uint32_t termination = kTerminationEE) {
    File file;
    file.termination = termination;
    file.frames.push_back(std::move(frame));
    return file;
}

File Frames(std::initializer_list<Frame> frames) {
    File file;
    file.frames = frames;
    return file;
}

Frame Solid(std::uint32_t width, std::uint32_t height, unsigned char index) {
    return dc6enc::SolidFrame(width, height, index, kTerminationEE);
}

// A frame of raw codes, closed by the usual termination bytes.
Frame Codes(std::uint32_t width, std::uint32_t height, const std::string& codes) {
    Frame frame;
    frame.width = width;
    frame.height = height;
    frame.codes = codes;
    frame.trailer = dc6enc::TerminationTail(kTerminationEE);
    return frame;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

TEST(Dc6, OneFrameFillsACanvasOfItsOwnSizeTopRowFirst) {
    const std::vector<std::string> rows = {Bytes({0, 0, 200}), Bytes({1, 0, 255}), Bytes({0, 0, 0}),
                                           Bytes({10, 11, 12})};
    for (std::uint32_t termination : {kTerminationEE, kTerminationZero, kTerminationCD}) {
        const auto d = Decode(OneFrame(dc6enc::FrameOf(rows, termination), termination));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->bitsPerPixel, 8u);
        EXPECT_EQ(d->width, 3u);
        EXPECT_EQ(d->height, 4u);
        EXPECT_EQ(d->stride, 4u);
        EXPECT_TRUE(d->palette.empty());
        for (std::uint32_t y = 0; y < 4; ++y)
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d->rows[4 * y]), 4),
                      rows[y] + '\0')
                << std::hex << termination << ", row " << y;
    }
}

TEST(Dc6, CodesDrawFromTheBottomRowUp) {
    const std::string zeros127(127, '\0');
    const struct {
        const char* what;
        std::uint32_t width, height;
        std::string codes;
        std::string pixels; // top row first
    } cases[] = {
        {"one coded row is the bottom row", 2, 2, Bytes({2, 5, 6, 0x80, 0xEE, 0xEE, 0xEE}),
         Bytes({0, 0, 5, 6})},
        {"a skip leaves zeros", 3, 1, Bytes({0x81, 1, 7, 0x80}), Bytes({0, 7, 0})},
        {"0xFF skips 127", 130, 1, Bytes({0xFF, 2, 5, 6, 0x80}), zeros127 + Bytes({5, 6, 0})},
        {"a skip past the end parks there", 3, 1, Bytes({0x90, 1, 7, 0x80}), Bytes({0, 0, 0})},
        // Bytes 5, 6 fill the row; 0x80 and 9 are read as codes: the row ends (no
        // termination follows), and code 1 puts 9 on the row above.
        {"a literal run is cut at the row end", 2, 2,
         Bytes({4, 5, 6, 0x80, 1, 9, 0x80, 0xEE, 0xEE, 0xEE}), Bytes({9, 0, 5, 6})},
        {"zero codes do nothing", 2, 1, Bytes({0, 0, 1, 3, 0, 1, 4, 0x80}), Bytes({3, 4})},
    };
    for (const auto& c : cases) {
        const auto d = Decode(OneFrame(Codes(c.width, c.height, c.codes)));
        ASSERT_TRUE(d) << c.what;
        std::string pixels;
        for (std::uint32_t y = 0; y < d->height; ++y)
            pixels.append(reinterpret_cast<const char*>(&d->rows[y * d->stride]), d->width);
        EXPECT_EQ(pixels, c.pixels) << c.what;
    }
}

TEST(Dc6, FramesAreTiledStripsOf256SideBySide) {
    using Probes = std::vector<std::uint32_t>; // x, y and the index there, in threes
    const struct {
        const char* what;
        File file;
        std::uint32_t width, height;
        Probes probes;
    } cases[] = {
        {"strips share a row", Frames({Solid(256, 10, 1), Solid(256, 10, 2), Solid(100, 10, 3)}),
         612, 10, Probes({0, 0, 1, 255, 9, 1, 256, 0, 2, 511, 9, 2, 512, 0, 3, 611, 9, 3})},
        {"narrow frames stack, first on top", Frames({Solid(100, 4, 1), Solid(100, 6, 2)}), 100, 10,
         Probes({0, 0, 1, 99, 3, 1, 0, 4, 2, 99, 9, 2})},
        {"a taller tile is clipped at the top", Frames({Solid(256, 2, 1), Solid(4, 5, 2)}), 260, 2,
         Probes({256, 0, 2, 259, 1, 2})},
        {"the last row of tiles sets the width",
         Frames({Solid(256, 1, 1), Solid(256, 1, 2), Solid(8, 1, 3), Solid(5, 1, 4)}), 5, 2,
         Probes({4, 0, 1, 4, 1, 4})},
    };
    for (const auto& c : cases) {
        const auto d = Decode(c.file);
        ASSERT_TRUE(d) << c.what;
        EXPECT_EQ(d->width, c.width) << c.what;
        EXPECT_EQ(d->height, c.height) << c.what;
        for (std::size_t i = 0; i + 2 < c.probes.size(); i += 3)
            EXPECT_EQ(At(*d, c.probes[i], c.probes[i + 1]), c.probes[i + 2])
                << c.what << " at " << c.probes[i] << "," << c.probes[i + 1];
    }
}

TEST(Dc6, TheTerminationFromTheHeaderEndsAFrameEarly) {
    const std::uint32_t terminations[] = {kTerminationEE, kTerminationZero, kTerminationCD};
    for (std::uint32_t termination : terminations) {
        // The codes go on after the termination: a decoder that missed it would draw 9
        // on the upper row. Under another termination the three bytes are codes of that
        // row instead: 0x00 does nothing, 0xEE and 0xCD skip.
        Frame frame =
            Codes(400, 2,
                  Bytes({1, 4, 0x80}) + dc6enc::TerminationTail(termination) + Bytes({1, 9, 0x80}));
        frame.trailer.clear();
        const unsigned tail = termination & 0xFF;
        const std::uint32_t nine = tail == 0 ? 0 : 3 * (tail - 0x80);
        for (std::uint32_t header : terminations) {
            const auto d = Decode(OneFrame(frame, header));
            ASSERT_TRUE(d);
            EXPECT_EQ(At(*d, 0, 1), 4);
            const bool ended = header == termination;
            for (std::uint32_t x = 0; x < 400; ++x)
                ASSERT_EQ(At(*d, x, 0), !ended && x == nine ? 9 : 0)
                    << std::hex << termination << " under " << header << std::dec << " at " << x;
        }
    }
    // An end-of-row code as the file's last byte: nothing to compare it with.
    Frame last = Codes(1, 1, Bytes({1, 3, 0x80}));
    last.trailer.clear();
    const auto d = Decode(OneFrame(last, kTerminationZero));
    ASSERT_TRUE(d);
    EXPECT_EQ(At(*d, 0, 0), 3);
}

TEST(Dc6, FilesThatDoNotHoldTheirFramesAreRefused) {
    const std::string good = dc6enc::Encode(OneFrame(Solid(3, 3, 1)));
    // Every cut short of the frame's coded data fails; the termination bytes may go.
    const std::size_t codesEnd = good.size() - 3;
    for (std::size_t size = 0; size < codesEnd; ++size)
        EXPECT_FALSE(Decode(good.substr(0, size))) << "cut at " << size;
    EXPECT_TRUE(Decode(good.substr(0, codesEnd)));

    auto patched = [&](std::size_t at, int value) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(value);
        return bytes;
    };
    File version = OneFrame(Solid(2, 2, 1)), none = version, thirteen;
    version.version = 5;
    none.frameCountSet = true;
    for (int i = 0; i < 13; ++i)
        thirteen.frames.push_back(Solid(2, 2, 1));
    Frame longer = Solid(3, 3, 1);
    longer.lengthSet = true;
    longer.length = static_cast<std::uint32_t>(longer.codes.size() + longer.trailer.size() + 1);
    Frame huge = longer;
    huge.length = 0xFFFFFFFF;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"version 5", dc6enc::Encode(version)},
        {"no frames", dc6enc::Encode(none)},
        {"13 frames", dc6enc::Encode(thirteen)},
        {"frame offset past the end", patched(24, 0xF0)},
        {"frame offset near 4 GiB", patched(27, 0xFF)},
        {"length past the end", dc6enc::Encode(OneFrame(longer))},
        {"length near 4 GiB", dc6enc::Encode(OneFrame(huge))},
        {"zero width", dc6enc::Encode(OneFrame(Codes(0, 5, Bytes({0x80}))))},
        {"zero height", dc6enc::Encode(OneFrame(Codes(5, 0, Bytes({0x80}))))},
        {"too wide", dc6enc::Encode(OneFrame(Codes(kDc6MaxCanvasSide + 1, 1, Bytes({0x80}))))},
        {"too tall", dc6enc::Encode(OneFrame(Codes(1, 0xFFFFFFFF, Bytes({0x80}))))},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Decode(c.bytes)) << c.what;
    EXPECT_TRUE(Decode(OneFrame(Codes(kDc6MaxCanvasSide, 1, Bytes({0x80})))));
}

TEST(Dc6, PngEncodingWritesThePaletteAndRefusesWhatItCannotWrite) {
    auto d = Decode(OneFrame(dc6enc::FrameOf({Bytes({0, 5}), Bytes({6, 0})}, kTerminationEE)));
    ASSERT_TRUE(d);
    std::string png = "old";
    EXPECT_FALSE(EncodePng(*d, png)) << "no palette";
    EXPECT_TRUE(png.empty());
    d->palette = BuildItemPalette();
    ASSERT_EQ(d->palette.size(), kPaletteBytes);
    ASSERT_TRUE(EncodePng(*d, png));
    // The PLTE chunk's first entry, red, green, blue, is the backdrop.
    const std::size_t plte = png.find("PLTE");
    ASSERT_NE(plte, std::string::npos);
    EXPECT_EQ(png.substr(plte + 4, 3), Bytes({59, 58, 5}));
    EXPECT_FALSE(EncodePng(DibDesc{}, png));
}

std::uint32_t BigEndianAt(const std::string& bytes, std::size_t at) {
    return ReadBe32(reinterpret_cast<const unsigned char*>(bytes.data() + at));
}

TEST(Dc6Cli, ConvertsAPictureToPngAndABadOneToNothing) {
    TempDir dir;
    File file = Frames({dc6enc::SolidFrame(256, 7, 1, kTerminationCD),
                        dc6enc::SolidFrame(30, 7, 2, kTerminationCD)});
    file.termination = kTerminationCD;
    WriteBytes(dir.File("in.dc6"), dc6enc::Encode(file));
    const std::string in = Q(dir.File("in.dc6")), out = " " + Q(dir.File("out.png"));
    CliRun run = Cli(dir, "dc6 " + in + out);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string png = ReadBytes(dir.File("out.png"));
    ASSERT_GE(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndianAt(png, 16), 286u);
    EXPECT_EQ(BigEndianAt(png, 20), 7u);
    EXPECT_EQ(png[24], 8); // bit depth
    EXPECT_EQ(png[25], 3); // paletted
    // Entry 0, where the picture has no pixel, is see-through unless --opaque says not.
    const std::size_t trns = png.find("tRNS");
    ASSERT_NE(trns, std::string::npos);
    EXPECT_EQ(BigEndianAt(png, trns - 4), 1u);
    EXPECT_EQ(png[trns + 4], 0);
    ASSERT_EQ(Cli(dir, "dc6 --opaque " + in + out).exitCode, 0);
    EXPECT_EQ(ReadBytes(dir.File("out.png")).find("tRNS"), std::string::npos);

    std::remove(dir.File("out.png").c_str());
    file.version = 5;
    WriteBytes(dir.File("in.dc6"), dc6enc::Encode(file));
    run = Cli(dir, "dc6 " + in + out);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(Cli(dir, "dc6 " + Q(dir.File("none.dc6")) + out).exitCode, 1);
    EXPECT_EQ(testing::ListDir(dir.Path()), "in.dc6 stderr stdout");
}

// A folder holding "<name>.dc6" pictures of the given sizes.
void WritePicture(const TempDir& dir, const std::string& name, std::uint32_t width,
                  std::uint32_t height) {
    WriteBytes(dir.File(name + ".dc6"), dc6enc::Encode(OneFrame(Solid(width, height, 7))));
}

TEST(ItemPics, CachesByNameGrowsAndRetriesWhatFailed) {
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
        {"invother", kPicLoadedNow, 0},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(LoadItemPic(pictures, dir.Path(), step.name), step.result) << step.name;
        if (step.result == kPicNoName)
            continue;
        const auto current = pictures.CurrentPic();
        ASSERT_TRUE(current) << step.name;
        EXPECT_EQ(current->Desc().width, step.currentWidth) << step.name;
    }
    EXPECT_EQ(pictures.Count(), 3u);

    // Every picture that failed is tried again once forgotten, and found when it is
    // there; one that loaded stays.
    WritePicture(dir, "invnothing", 10, 10);
    pictures.ForgetEmpty();
    EXPECT_EQ(pictures.Count(), 1u);
    EXPECT_EQ(pictures.FindPic("invother"), -1);
    EXPECT_EQ(pictures.FindPic("invnothing"), -1);
    EXPECT_NE(pictures.FindPic("invsword"), -1);
    EXPECT_EQ(LoadItemPic(pictures, dir.Path(), "invnothing"), kPicLoadedNow);
    EXPECT_EQ(pictures.CurrentPic()->Desc().width, 10u);

    for (int i = 0; i < 14; ++i)
        pictures.AddPic("extra" + std::to_string(i), std::make_shared<CDib>());
    EXPECT_EQ(pictures.Count(), 16u);
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
