#include "ui/DibImage.h"

#include "support/DibBuilder.h"

#include "images/Resources.h"
#include "tables/Services.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cstring>
#include <optional>
#include <string>

namespace tolmere {
namespace {

using testing::MakeDesc;

unsigned char* PixelAt(DibDesc& desc, std::uint32_t x, std::uint32_t y) {
    return desc.rows + std::size_t{y} * desc.stride +
           std::size_t{x} * BytesPerPixel(desc.bitsPerPixel);
}

void Put16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value & 0xFF);
    at[1] = static_cast<unsigned char>(value >> 8);
}

// Every pixel of the drawing pictures gets its own colour.
QRgb ColourOf(int x, int y) {
    return qRgb(10 + x * 40, 10 + y * 40, 200);
}

const QRgb kBackground = qRgb(1, 2, 3);

// A 32-bit picture painted with ColourOf.
void FillPattern(CDib& dib, std::uint32_t width, std::uint32_t height) {
    DibDesc desc = MakeDesc(32, width, height);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const QRgb colour = ColourOf(static_cast<int>(x), static_cast<int>(y));
            unsigned char* at = PixelAt(desc, x, y);
            at[0] = static_cast<unsigned char>(qBlue(colour));
            at[1] = static_cast<unsigned char>(qGreen(colour));
            at[2] = static_cast<unsigned char>(qRed(colour));
        }
    }
    ASSERT_TRUE(dib.TakeDesc(desc));
}

QImage Target(int width, int height) {
    QImage target(width, height, QImage::Format_RGB32);
    target.fill(kBackground);
    return target;
}

// Checks every pixel of `target`: inside `painted` it must be the picture pixel
// `expected` names, elsewhere the untouched background.
template <typename Expected>
void ExpectPainted(const QImage& target, const QRect& painted, Expected expected) {
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            const QRgb got = target.pixel(x, y) | 0xFF000000u;
            if (painted.contains(x, y)) {
                const QPoint from = expected(x, y);
                ASSERT_EQ(got, ColourOf(from.x(), from.y())) << "at " << x << "," << y;
            } else {
                ASSERT_EQ(got, kBackground) << "at " << x << "," << y;
            }
        }
    }
}

TEST(DibImageTest, EmptyPictureGivesNullImage) {
    CDib dib;
    EXPECT_TRUE(DibImage(dib).isNull());

    QImage target = Target(4, 4);
    QPainter painter(&target);
    DrawAt(painter, dib, 0, 0);
    DrawStretched(painter, dib, nullptr, nullptr);
    painter.end();
    ExpectPainted(target, QRect(), [](int, int) { return QPoint(); });
}

TEST(DibImageTest, EightBitUsesPaletteAndSharesRows) {
    DibDesc desc = MakeDesc(8, 3, 2);
    desc.palette[7 * 4 + 0] = 0x30; // blue
    desc.palette[7 * 4 + 1] = 0x20; // green
    desc.palette[7 * 4 + 2] = 0x10; // red
    desc.palette[200 * 4 + 2] = 0xFF;
    *PixelAt(desc, 2, 0) = 7;
    *PixelAt(desc, 1, 1) = 200;
    const unsigned char* rows = desc.rows;
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(desc));

    const QImage image = DibImage(dib);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.bytesPerLine(), 4);
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.constBits(), rows);
    EXPECT_EQ(image.pixelIndex(2, 0), 7);
    EXPECT_EQ(image.pixel(2, 0), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0xFF, 0, 0));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(DibImageTest, FifteenBitIsRgb555) {
    DibDesc desc = MakeDesc(15, 3, 1);
    Put16(PixelAt(desc, 0, 0), 0x7C00);
    Put16(PixelAt(desc, 1, 0), 0x03E0);
    Put16(PixelAt(desc, 2, 0), 0x001F);
    const unsigned char* rows = desc.rows;
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(desc));

    const QImage image = DibImage(dib);
    EXPECT_EQ(image.format(), QImage::Format_RGB555);
    EXPECT_EQ(image.bytesPerLine(), 8);
    EXPECT_EQ(image.constBits(), rows);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 255));
}

TEST(DibImageTest, SixteenBitIsRgb565) {
    DibDesc desc = MakeDesc(16, 3, 1);
    Put16(PixelAt(desc, 0, 0), 0xF800);
    Put16(PixelAt(desc, 1, 0), 0x07E0);
    Put16(PixelAt(desc, 2, 0), 0x001F);
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(desc));

    const QImage image = DibImage(dib);
    EXPECT_EQ(image.format(), QImage::Format_RGB16);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 255));
}

TEST(DibImageTest, TwentyFourBitIsBgrWithPaddedRows) {
    DibDesc desc = MakeDesc(24, 5, 2);
    ASSERT_EQ(desc.stride, 16u);
    unsigned char* at = PixelAt(desc, 4, 1);
    at[0] = 0x33; // blue
    at[1] = 0x22; // green
    at[2] = 0x11; // red
    const unsigned char* rows = desc.rows;
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(desc));

    const QImage image = DibImage(dib);
    EXPECT_EQ(image.format(), QImage::Format_BGR888);
    EXPECT_EQ(image.bytesPerLine(), 16);
    EXPECT_EQ(image.constBits(), rows);
    EXPECT_EQ(image.pixel(4, 1), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(DibImageTest, ThirtyTwoBitIsBgrx) {
    DibDesc desc = MakeDesc(32, 2, 2);
    unsigned char* at = PixelAt(desc, 1, 1);
    at[0] = 0x33; // blue
    at[1] = 0x22; // green
    at[2] = 0x11; // red
    at[3] = 0x00; // unused: the pixel is still opaque
    const unsigned char* rows = desc.rows;
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(desc));

    const QImage image = DibImage(dib);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.bytesPerLine(), 8);
    EXPECT_EQ(image.constBits(), rows);
    EXPECT_EQ(image.pixel(1, 1), qRgb(0x11, 0x22, 0x33));
}

TEST(DibImageDrawTest, DrawAtPlacesTheWholePicture) {
    CDib dib;
    FillPattern(dib, 5, 5);
    QImage target = Target(12, 12);
    QPainter painter(&target);
    DrawAt(painter, dib, 3, 4);
    painter.end();
    ExpectPainted(target, QRect(3, 4, 5, 5), [](int x, int y) { return QPoint(x - 3, y - 4); });
}

// The 5 × 5 pattern drawn onto a square background of the given size.
QImage DrawPattern(int size, const InclusiveRect* dest, const InclusiveRect* source) {
    CDib dib;
    FillPattern(dib, 5, 5);
    QImage target = Target(size, size);
    QPainter painter(&target);
    DrawStretched(painter, dib, dest, source);
    painter.end();
    return target;
}

TEST(DibImageDrawTest, StretchFillsTheInclusiveDestinationInBlocks) {
    const InclusiveRect whole{0, 0, 4, 4}, part{2, 1, 3, 2};
    const InclusiveRect dest10{10, 10, 19, 19}, dest8{0, 0, 7, 7};
    ExpectPainted(DrawPattern(24, &dest10, &whole), QRect(10, 10, 10, 10),
                  [](int x, int y) { return QPoint((x - 10) / 2, (y - 10) / 2); });
    ExpectPainted(DrawPattern(12, &dest8, &part), QRect(0, 0, 8, 8),
                  [](int x, int y) { return QPoint(2 + x / 4, 1 + y / 4); });
}

TEST(DibImageDrawTest, AMissingRectangleMeansTheWholePictureOrNoScaling) {
    const InclusiveRect dest{2, 3, 11, 12}, source{1, 2, 3, 3};
    ExpectPainted(DrawPattern(16, &dest, nullptr), QRect(2, 3, 10, 10),
                  [](int x, int y) { return QPoint((x - 2) / 2, (y - 3) / 2); });
    ExpectPainted(DrawPattern(8, nullptr, nullptr), QRect(0, 0, 5, 5),
                  [](int x, int y) { return QPoint(x, y); });
    ExpectPainted(DrawPattern(8, nullptr, &source), QRect(0, 0, 3, 2),
                  [](int x, int y) { return QPoint(1 + x, 2 + y); });
}

TEST(DibImageDrawTest, EightBitPictureDrawsThroughItsPalette) {
    DibDesc desc = MakeDesc(8, 2, 1);
    desc.palette[5 * 4 + 1] = 0xFF; // green
    *PixelAt(desc, 1, 0) = 5;
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(desc));
    QImage target = Target(4, 4);
    QPainter painter(&target);
    const InclusiveRect dest{0, 0, 3, 1};
    DrawStretched(painter, dib, &dest, nullptr);
    painter.end();
    EXPECT_EQ(target.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(2, 1), qRgb(0, 0xFF, 0));
    EXPECT_EQ(target.pixel(3, 0), qRgb(0, 0xFF, 0));
    EXPECT_EQ(target.pixel(0, 2), kBackground);
}

} // namespace
} // namespace tolmere

namespace tolmere {
namespace {

// The skin the program embeds, drawn piece by piece the way its dialogs draw it: a
// piece must arrive the right way up at the place its source rectangle names.
TEST(DibImageDrawTest, SkinPiecesDrawFromTheirSourceRectangles) {
    std::optional<std::string> tga = DecodeEmbeddedResource(150);
    ASSERT_TRUE(tga);
    MemFileDesc file;
    std::strcpy(file.name, ".tga");
    file.data = reinterpret_cast<const unsigned char*>(tga->data());
    file.length = tga->size();
    CDib skin;
    ASSERT_TRUE(skin.LoadPicture(&file));
    const int hp = static_cast<int>(skin.Desc().height);

    // The caption bar piece, stretched across a 100-pixel wide caption of 25 rows.
    QImage target(100, 25, QImage::Format_RGB32);
    target.fill(Qt::magenta);
    {
        QPainter painter(&target);
        const InclusiveRect dest{0, 0, 99, 24};
        const InclusiveRect source{64, hp - 25, 96, hp - 1};
        DrawStretched(painter, skin, &dest, &source);
    }
    for (int x : {0, 50, 99}) {
        EXPECT_EQ(target.pixel(x, 0), qRgb(48, 48, 48)) << x;     // outline on top
        EXPECT_EQ(target.pixel(x, 3), qRgb(120, 96, 36)) << x;    // bronze band
        EXPECT_EQ(target.pixel(x, 22), qRgb(128, 128, 128)) << x; // grey below
    }
}

} // namespace
} // namespace tolmere
