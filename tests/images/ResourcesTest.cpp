// SPDX-License-Identifier: MIT
// Pictures in memory, the TGA files the skin is stored as, and the embedded resources.
#include "images/Resources.h"
#include "images/Tga.h"

#include "images/Dib.h"
#include "support/CliRun.h"
#include "support/DibBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tolmere {
namespace {

using testing::MakeDesc;

TEST(Dib, TakeDescRefusesWhatCannotBeDrawnAndKeepsThePicture) {
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(MakeDesc(24, 2, 2)));
    const struct {
        const char* what;
        std::uint32_t bitsPerPixel;
        void (*spoil)(DibDesc&);
    } cases[] = {
        {"no rows", 24, [](DibDesc& d) { d.rows.clear(); }},
        {"rows short of the height", 24, [](DibDesc& d) { d.rows.pop_back(); }},
        {"rows narrower than the width", 24, [](DibDesc& d) { d.stride = 8; }},
        {"zero width", 24, [](DibDesc& d) { d.width = 0; }},
        {"zero height", 24, [](DibDesc& d) { d.height = 0; }},
        {"zero stride", 24, [](DibDesc& d) { d.stride = 0; }},
        {"a depth no picture has", 24, [](DibDesc& d) { d.bitsPerPixel = 32; }},
        {"8 bits without a palette", 8, [](DibDesc& d) { d.palette.clear(); }},
    };
    for (const auto& c : cases) {
        DibDesc desc = MakeDesc(c.bitsPerPixel, 3, 3);
        c.spoil(desc);
        EXPECT_FALSE(dib.TakeDesc(std::move(desc))) << c.what;
        EXPECT_EQ(dib.Desc().width, 2u) << c.what;
        EXPECT_EQ(dib.Desc().rows.size(), 16u) << c.what;
    }
    ASSERT_TRUE(dib.TakeDesc(MakeDesc(8, 5, 3)));
    EXPECT_EQ(dib.Desc().stride, 8u);
}

// A plain 24-bit picture as the skin generator writes it (sides under 256), pixel n in
// file order having the bytes 16n + 1, 16n + 2, 16n + 3.
std::string Tga(int width, int height) {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = static_cast<char>(width);
    file[14] = static_cast<char>(height);
    file[16] = 24;
    for (int n = 0; n < width * height * 3; ++n)
        file += static_cast<char>(n / 3 * 16 + n % 3 + 1);
    return file;
}

// Loads the bytes as an in-memory file of that name, as the program loads its skin.
bool Load(CDib& dib, const std::string& bytes, const char* name = ".tga") {
    MemFileDesc mem;
    std::strncpy(mem.name, name, sizeof mem.name - 1);
    mem.data = reinterpret_cast<const unsigned char*>(bytes.data());
    mem.length = bytes.size();
    return dib.LoadPicture(&mem);
}

TEST(Tga, TheSkinsLayoutLoadsBottomRowLastAsBlueGreenRed) {
    CDib dib;
    // The extension is the text from the last dot on, in any case.
    ASSERT_TRUE(Load(dib, Tga(3, 2), "x.y.Tga"));
    const DibDesc& d = dib.Desc();
    EXPECT_EQ(d.bitsPerPixel, 24u);
    EXPECT_EQ(d.width, 3u);
    EXPECT_EQ(d.height, 2u);
    EXPECT_EQ(d.stride, 12u);
    // The file's second row first, each row padded with zeros.
    EXPECT_EQ(std::string(d.rows.begin(), d.rows.end()),
              std::string("\x31\x32\x33\x41\x42\x43\x51\x52\x53\0\0\0"
                          "\x01\x02\x03\x11\x12\x13\x21\x22\x23\0\0\0",
                          24));
}

TEST(Tga, WhatIsNotAPictureWeReadIsRefusedAndThePictureKept) {
    CDib dib;
    ASSERT_TRUE(Load(dib, Tga(1, 1)));
    const std::string good = Tga(3, 3);
    std::vector<std::string> files;
    // Header bytes that make it another kind of picture: an identification field, a
    // colour map (type, length, entry size), run-length packing, 32 bits, no width, no
    // height; and 65283 × 65283 pixels over a few, refused before they are allocated.
    const std::pair<int, int> patches[] = {{0, 3},   {1, 1},  {5, 2},  {7, 24},   {2, 10},
                                           {16, 32}, {12, 0}, {14, 0}, {13, 0xFF}};
    for (const auto& [at, value] : patches) {
        files.push_back(good);
        files.back()[at] = static_cast<char>(value);
    }
    files.back()[15] = static_cast<char>(0xFF);
    files.push_back(good.substr(0, good.size() - 1));
    files.push_back(good.substr(0, 17));
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_FALSE(Load(dib, files[i])) << "file " << i;
    EXPECT_FALSE(Load(dib, good, ".png"));
    EXPECT_EQ(dib.Desc().width, 1u);
}

using Rgb = std::tuple<int, int, int>;

// The colours the skin generator draws with.
const Rgb kBackground{59, 58, 5};
const Rgb kOutline{48, 48, 48};
const Rgb kGrey{128, 128, 128};
const Rgb kBronze{120, 96, 36};
const Rgb kBronzeMid{104, 84, 30};
const Rgb kButtonFace{48, 48, 48};
const Rgb kButtonMark{200, 200, 200};
const Rgb kHotBorder{190, 155, 70};
const Rgb kHotMark{255, 230, 150};
const Rgb kGemGlow[3] = {{200, 160, 64}, {230, 190, 90}, {255, 220, 120}};

std::string Source(const std::string& relative) {
    return testing::ReadBytes(std::string(TOLMERE_SOURCE_DIR) + "/" + relative);
}

// The decoded picture; coordinates are from its top-left pixel, as the dialog's pieces
// are given.
class Skin {
public:
    explicit Skin(const std::string& tga) : loaded_(Load(dib_, tga)) {}

    bool Loaded() const { return loaded_; }
    const DibDesc& Desc() const { return dib_.Desc(); }
    int W() const { return static_cast<int>(Desc().width); }
    int H() const { return static_cast<int>(Desc().height); }

    Rgb At(int x, int y) const {
        EXPECT_TRUE(x >= 0 && y >= 0 && x < W() && y < H()) << x << "," << y;
        const unsigned char* p =
            Desc().rows.data() + std::size_t(y) * Desc().stride + std::size_t(x) * 3;
        return {p[2], p[1], p[0]};
    }

private:
    CDib dib_;
    bool loaded_;
};

// The three resources themselves are proven by decoding them below.
TEST(Resources, NothingElseIsEmbedded) {
    EXPECT_FALSE(FindResource(kHardDataType, 148));
    EXPECT_FALSE(FindResource("RCDATA", kSkinResource));
    EXPECT_FALSE(DecodeEmbeddedResource(0));
}

TEST(Resources, ReadmeAndCreditsDecodeToTheirSourceFiles) {
    EXPECT_EQ(DecodeEmbeddedResource(kReadmeResource).value_or("<none>"),
              Source("data/resources/readme.html"));
    // The credits are stored scrambled, as well as enciphered.
    const std::string plain = Source("data/resources/credits.txt");
    std::optional<ResourceBytes> stored = FindResource(kHardDataType, kCreditsResource);
    ASSERT_TRUE(stored);
    std::string raw(reinterpret_cast<const char*>(stored->data), stored->size);
    EXPECT_NE(raw, plain);
    EXPECT_EQ(DecodeEmbeddedResource(kCreditsResource).value_or("<none>"), plain);
}

TEST(Resources, SkinPiecesLieAtTheDialogsSourceRectangles) {
    std::optional<std::string> tga = DecodeEmbeddedResource(kSkinResource);
    ASSERT_TRUE(tga);
    ASSERT_GE(tga->size(), 18u);
    EXPECT_EQ((*tga)[2], 2) << "plain truecolour";
    EXPECT_EQ((*tga)[16], 24);
    Skin skin(*tga);
    ASSERT_TRUE(skin.Loaded());
    ASSERT_EQ(skin.Desc().bitsPerPixel, 24u);
    const int wp = skin.W(), hp = skin.H();
    // Room for every piece without overlaps beyond the shared ones.
    ASSERT_GE(wp, 142);
    ASSERT_GE(hp, 88);

    // Space no piece uses.
    EXPECT_EQ(skin.At(100, 40), kBackground);

    // Top-left corner (0, Hp−24, 36, Hp−1): outline along its top and left, band inside.
    EXPECT_EQ(skin.At(0, hp - 24), kOutline);
    EXPECT_EQ(skin.At(20, hp - 24), kOutline);
    EXPECT_EQ(skin.At(1, hp - 10), kGrey);
    EXPECT_EQ(skin.At(36, hp - 21), kBronze);

    // Left and right edges (0 / Wp−11 … Wp−1, Hp−48 … Hp−33): outer stripes outermost.
    for (int y : {hp - 48, hp - 40, hp - 33}) {
        EXPECT_EQ(skin.At(0, y), kOutline);
        EXPECT_EQ(skin.At(1, y), kGrey);
        EXPECT_EQ(skin.At(3, y), kBronze);
        EXPECT_EQ(skin.At(wp - 2, y), kOutline);
        EXPECT_EQ(skin.At(wp - 3, y), kGrey);
        EXPECT_EQ(skin.At(wp - 5, y), kBronze);
    }

    // Bottom edge (32, 0, 64, 15) and the bottom corners: the window's last seen row is
    // source row 14.
    EXPECT_EQ(skin.At(48, 14), kOutline);
    EXPECT_EQ(skin.At(48, 13), kGrey);
    EXPECT_EQ(skin.At(48, 11), kBronze);
    EXPECT_EQ(skin.At(20, 13), kGrey);
    EXPECT_EQ(skin.At(5, 2), kBronzeMid);
    EXPECT_EQ(skin.At(wp - 2, 5), kOutline);
    EXPECT_EQ(skin.At(wp - 30, 13), kGrey);

    // Caption bar (64, Hp−25, 96, Hp−1), the same in every column.
    for (int x : {64, 80, 96}) {
        EXPECT_EQ(skin.At(x, hp - 25), kOutline);
        EXPECT_EQ(skin.At(x, hp - 25 + 3), kBronze);
        EXPECT_EQ(skin.At(x, hp - 25 + 22), kGrey);
    }

    // Close button in the top-right corner (Wp−29, Hp−25, Wp−1, Hp−1): a 13-pixel
    // square from (Wp−27, Hp−19) with a cross.
    EXPECT_EQ(skin.At(wp - 27, hp - 19), kGrey);
    EXPECT_EQ(skin.At(wp - 21, hp - 13), kButtonMark);
    EXPECT_EQ(skin.At(wp - 26, hp - 13), kButtonFace);
    // Its highlight beside it (Wp−45, Hp−25, Wp−29, Hp−6), which is drawn 5 rows lower
    // on screen, so the same button sits one row higher in the picture.
    EXPECT_EQ(skin.At(wp - 43, hp - 24), kHotBorder);
    EXPECT_EQ(skin.At(wp - 37, hp - 18), kHotMark);

    // Animation frames (16, Hp − 24(k+1), 31, Hp − 24k − 1): a gem whose centre glows.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(skin.At(23, hp - 24 * (k + 1) + 11), kGemGlow[k]) << "frame " << k;
}

TEST(Resources, CliWritesTheDecodedReadme) {
    testing::TempDir dir;
    testing::CliRun run = testing::Cli(dir, "resource 181 -");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, Source("data/resources/readme.html"));
    EXPECT_EQ(testing::Cli(dir, "resource 147 " + testing::Q(dir.File("credits"))).exitCode, 0);
    EXPECT_EQ(testing::ReadBytes(dir.File("credits")), Source("data/resources/credits.txt"));
    run = testing::Cli(dir, "resource 999 -");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_TRUE(run.out.empty());
}

} // namespace
} // namespace tolmere
