#include "images/Resources.h"

#include "images/Dib.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <tuple>

namespace tolmere {
namespace {

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
    explicit Skin(const std::string& tga) {
        MemFileDesc mem;
        std::strncpy(mem.name, ".tga", sizeof mem.name - 1);
        mem.data = reinterpret_cast<const unsigned char*>(tga.data());
        mem.length = tga.size();
        loaded_ = dib_.LoadPicture(&mem);
    }

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
    bool loaded_ = false;
};

TEST(Resources, AllThreeAreEmbedded) {
    for (unsigned number : {kCreditsResource, kSkinResource, kReadmeResource}) {
        std::optional<ResourceBytes> stored = FindResource(kHardDataType, number);
        ASSERT_TRUE(stored) << number;
        EXPECT_NE(stored->data, nullptr);
        EXPECT_GT(stored->size, 0u);
    }
    // The containers are the full header plus whole blocks.
    std::optional<ResourceBytes> skin = FindResource(kHardDataType, kSkinResource);
    ASSERT_TRUE(skin);
    EXPECT_EQ((skin->size - 40) % 8, 0u);
}

TEST(Resources, UnknownNumbersAndTypesAreNotFound) {
    EXPECT_FALSE(FindResource(kHardDataType, 148));
    EXPECT_FALSE(FindResource("RCDATA", kSkinResource));
    EXPECT_FALSE(DecodeEmbeddedResource(0));
    EXPECT_FALSE(DecodeEmbeddedResource(999));
}

TEST(Resources, ReadmeDecodesToTheSourceFile) {
    std::optional<std::string> readme = DecodeEmbeddedResource(kReadmeResource);
    ASSERT_TRUE(readme);
    ASSERT_FALSE(readme->empty());
    EXPECT_EQ(readme->front(), '<');
    EXPECT_EQ(*readme, Source("data/resources/readme.html"));
}

TEST(Resources, CreditsAreStoredScrambledAndComeBackPlain) {
    const std::string plain = Source("data/resources/credits.txt");
    std::optional<ResourceBytes> stored = FindResource(kHardDataType, kCreditsResource);
    ASSERT_TRUE(stored);
    std::string raw(reinterpret_cast<const char*>(stored->data), stored->size);
    EXPECT_NE(raw, plain);
    std::optional<std::string> credits = DecodeEmbeddedResource(kCreditsResource);
    ASSERT_TRUE(credits);
    EXPECT_EQ(*credits, plain);

    std::string twice = plain;
    ScrambleCredits(twice);
    EXPECT_EQ(twice, raw);
    ScrambleCredits(twice);
    EXPECT_EQ(twice, plain);
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
    const std::string out = dir.File("out"), err = dir.File("err");
    auto run = [&](const std::string& args) {
        std::string command =
            std::string("'") + TOLMERE_CLI + "' " + args + " >'" + out + "' 2>'" + err + "'";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("resource 181 -"), 0);
    EXPECT_EQ(testing::ReadBytes(out), Source("data/resources/readme.html"));

    EXPECT_EQ(run("resource 147 '" + dir.File("credits") + "'"), 0);
    EXPECT_EQ(testing::ReadBytes(dir.File("credits")), Source("data/resources/credits.txt"));

    EXPECT_EQ(run("resource 999 -"), 1);
    const std::string message = testing::ReadBytes(err);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_TRUE(testing::ReadBytes(out).empty());
}

} // namespace
} // namespace tolmere
