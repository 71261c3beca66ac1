#include "images/Dib.h"
#include "support/DibBuilder.h"

#include "tables/Services.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace tolmere {
namespace {

// Rows of a recognisable byte and a palette whose entries all differ, so that a copy
// that misses either shows.
DibDesc MakeDesc(std::uint32_t bitsPerPixel, std::uint32_t width, std::uint32_t height) {
    DibDesc desc = testing::MakeDesc(bitsPerPixel, width, height, 0x5A);
    for (std::size_t i = 0; desc.palette && i < kPaletteEntries; ++i) {
        desc.palette[i * 4 + 0] = static_cast<unsigned char>(i);       // blue
        desc.palette[i * 4 + 1] = static_cast<unsigned char>(255 - i); // green
        desc.palette[i * 4 + 2] = static_cast<unsigned char>(i / 2);   // red
    }
    return desc;
}

std::uint32_t U32At(const unsigned char* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (std::uint32_t{at[3]} << 24);
}

std::uint32_t U16At(const unsigned char* at) {
    return at[0] | (at[1] << 8);
}

bool AllZero(const unsigned char* at, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (at[i] != 0)
            return false;
    }
    return true;
}

void ExpectInfoHeader(const CDib& dib, std::uint32_t bitCount, std::uint32_t compression) {
    const unsigned char* h = dib.Header();
    const DibDesc& d = dib.Desc();
    EXPECT_EQ(U32At(h + 0), 40u);
    EXPECT_EQ(U32At(h + 4), d.width);
    EXPECT_EQ(static_cast<std::int32_t>(U32At(h + 8)), -static_cast<std::int32_t>(d.height));
    EXPECT_EQ(U16At(h + 12), 1u);
    EXPECT_EQ(U16At(h + 14), bitCount);
    EXPECT_EQ(U32At(h + 16), compression);
    EXPECT_EQ(U32At(h + 20), d.stride * d.height);
    EXPECT_TRUE(AllZero(h + 24, 16)); // resolution and colour counts
}

TEST(Dib, EmptyPictureHasAnAllZeroHeader) {
    CDib dib;
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(CDib::kHeaderSize, 1068u);
    EXPECT_TRUE(AllZero(dib.Header(), CDib::kHeaderSize));
}

TEST(Dib, TakeDescRefusesIncompleteDescriptorsAndChangesNothing) {
    CDib dib;
    DibDesc held = MakeDesc(24, 2, 2);
    ASSERT_TRUE(dib.TakeDesc(held));
    const unsigned char* heldRows = dib.Desc().rows;

    auto expectRefused = [&](DibDesc desc) {
        DibDesc before = desc;
        EXPECT_FALSE(dib.TakeDesc(desc));
        EXPECT_EQ(desc.rows, before.rows);
        EXPECT_EQ(desc.palette, before.palette);
        EXPECT_EQ(desc.width, before.width);
        EXPECT_EQ(dib.Desc().rows, heldRows);
        EXPECT_EQ(dib.Desc().width, 2u);
        ReleaseDesc(desc);
    };

    DibDesc noRows = MakeDesc(24, 3, 3);
    ReleaseDesc(noRows);
    noRows.bitsPerPixel = 24;
    noRows.width = noRows.height = 3;
    noRows.stride = 12;
    expectRefused(noRows);

    DibDesc zeroWidth = MakeDesc(24, 3, 3);
    zeroWidth.width = 0;
    expectRefused(zeroWidth);
    DibDesc zeroHeight = MakeDesc(24, 3, 3);
    zeroHeight.height = 0;
    expectRefused(zeroHeight);
    DibDesc zeroStride = MakeDesc(24, 3, 3);
    zeroStride.stride = 0;
    expectRefused(zeroStride);

    DibDesc noPalette = MakeDesc(8, 3, 3);
    char* palette = reinterpret_cast<char*>(noPalette.palette);
    FreeAndClear(palette);
    noPalette.palette = nullptr;
    expectRefused(noPalette);

    // Beyond the usual refusals: a depth no picture has, and rows narrower than
    // the width, would make drawing read garbage or past the rows.
    DibDesc oddDepth = MakeDesc(24, 3, 3);
    oddDepth.bitsPerPixel = 12;
    expectRefused(oddDepth);
    DibDesc narrowRows = MakeDesc(32, 3, 3);
    narrowRows.stride = 8;
    expectRefused(narrowRows);
}

TEST(Dib, TakeDescZeroesTheDescriptorAndOwnsItsBlocks) {
    CDib dib;
    DibDesc desc = MakeDesc(32, 4, 3);
    unsigned char* rows = desc.rows;
    ASSERT_TRUE(dib.TakeDesc(desc));
    EXPECT_EQ(desc.rows, nullptr);
    EXPECT_EQ(desc.palette, nullptr);
    EXPECT_EQ(desc.width, 0u);
    EXPECT_EQ(desc.height, 0u);
    EXPECT_EQ(desc.stride, 0u);
    EXPECT_EQ(desc.bitsPerPixel, 0u);
    EXPECT_FALSE(dib.IsEmpty());
    EXPECT_EQ(dib.Desc().rows, rows);
    EXPECT_EQ(dib.Desc().width, 4u);
    EXPECT_EQ(dib.Desc().height, 3u);
    EXPECT_EQ(dib.Desc().stride, 16u);

    // A second picture replaces the first; the leak checker sees the first released.
    DibDesc next = MakeDesc(8, 5, 5);
    ASSERT_TRUE(dib.TakeDesc(next));
    EXPECT_EQ(dib.Desc().bitsPerPixel, 8u);
}

TEST(Dib, EightBitHeaderCarriesThePalette) {
    CDib dib;
    DibDesc desc = MakeDesc(8, 5, 3);
    EXPECT_EQ(desc.stride, 8u);
    unsigned char palette[kPaletteBytes];
    std::memcpy(palette, desc.palette, kPaletteBytes);
    ASSERT_TRUE(dib.TakeDesc(desc));
    ExpectInfoHeader(dib, 8, 0);
    EXPECT_EQ(U32At(dib.Header() + 20), 24u);
    EXPECT_EQ(std::memcmp(dib.Header() + 40, palette, kPaletteBytes), 0);
    EXPECT_TRUE(AllZero(dib.Header() + 40 + kPaletteBytes, CDib::kHeaderSize - 40 - kPaletteBytes));
}

TEST(Dib, SixteenBitHeaderUsesBitFieldMasks) {
    CDib dib;
    DibDesc desc = MakeDesc(16, 3, 2);
    ASSERT_TRUE(dib.TakeDesc(desc));
    ExpectInfoHeader(dib, 16, 3);
    const unsigned char* table = dib.Header() + 40;
    EXPECT_EQ(U32At(table + 0), 0xF800u);
    EXPECT_EQ(U32At(table + 4), 0x07E0u);
    EXPECT_EQ(U32At(table + 8), 0x001Fu);
    EXPECT_TRUE(AllZero(table + 12, CDib::kHeaderSize - 40 - 12));
}

TEST(Dib, FifteenBitHeaderIsPlainSixteenBit) {
    CDib dib;
    DibDesc desc = MakeDesc(15, 3, 2);
    ASSERT_TRUE(dib.TakeDesc(desc));
    ExpectInfoHeader(dib, 16, 0);
    EXPECT_TRUE(AllZero(dib.Header() + 40, CDib::kHeaderSize - 40));
}

TEST(Dib, TwentyFourBitHeaderHasNoColourTable) {
    CDib dib;
    DibDesc desc = MakeDesc(24, 5, 7);
    EXPECT_EQ(desc.stride, 16u);
    ASSERT_TRUE(dib.TakeDesc(desc));
    ExpectInfoHeader(dib, 24, 0);
    EXPECT_EQ(U32At(dib.Header() + 20), 16u * 7u);
    EXPECT_TRUE(AllZero(dib.Header() + 40, CDib::kHeaderSize - 40));
}

TEST(Dib, MovingHandsThePictureOver) {
    CDib first;
    DibDesc desc = MakeDesc(24, 2, 2);
    ASSERT_TRUE(first.TakeDesc(desc));
    CDib second(std::move(first));
    EXPECT_FALSE(second.IsEmpty());
    EXPECT_EQ(U16At(second.Header() + 14), 24u);

    CDib third;
    DibDesc other = MakeDesc(32, 1, 1);
    ASSERT_TRUE(third.TakeDesc(other));
    third = std::move(second);
    EXPECT_EQ(third.Desc().bitsPerPixel, 24u);
    EXPECT_EQ(third.Desc().width, 2u);
}

TEST(Dib, DecodePictureLeavesTheDescriptorEmptyOnFailure) {
    DibDesc desc = MakeDesc(24, 2, 2);
    EXPECT_FALSE(DecodePicture(desc, std::string("/nonexistent/picture.tga")));
    EXPECT_EQ(desc.rows, nullptr);
    EXPECT_EQ(desc.width, 0u);

    MemFileDesc mem;
    std::strcpy(mem.name, ".bmp");
    const unsigned char bytes[4] = {};
    mem.data = bytes;
    mem.length = sizeof bytes;
    EXPECT_FALSE(DecodePicture(desc, &mem));
    EXPECT_EQ(desc.rows, nullptr);
}

} // namespace
} // namespace tolmere
