// SPDX-License-Identifier: MIT
#include "ui/DibImage.h"

#include "support/DibBuilder.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cstring>

namespace tolmere {
namespace {

using testing::MakeDesc;

const QRgb kBackground = qRgb(1, 2, 3);

// Every pixel of the drawn picture gets its own colour.
QRgb ColourOf(int x, int y) {
    return qRgb(10 + x * 40, 10 + y * 40, 200);
}

// Draws a 5 × 5 24-bit picture painted with ColourOf onto a `size` square of background
// and checks every pixel: inside `painted` it is the picture pixel `from` names,
// elsewhere the untouched background.
template <typename Draw>
void ExpectDrawn(int size, Draw draw, const QRect& painted, QPoint (*from)(int, int)) {
    DibDesc desc = MakeDesc(24, 5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            for (int c = 0; c < 3; ++c) // blue, green, red
                desc.rows[std::size_t(y) * desc.stride + x * 3 + c] =
                    static_cast<unsigned char>(ColourOf(x, y) >> (8 * c));
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(std::move(desc)));
    QImage target(size, size, QImage::Format_RGB32);
    target.fill(kBackground);
    QPainter painter(&target);
    draw(painter, dib);
    painter.end();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QPoint p = from(x, y);
            ASSERT_EQ(target.pixel(x, y) | 0xFF000000u,
                      painted.contains(x, y) ? ColourOf(p.x(), p.y()) : kBackground)
                << "at " << x << "," << y;
        }
    }
}

TEST(DibImageTest, ImagesViewTheRowsInTheirOwnColours) {
    EXPECT_TRUE(DibImage(CDib()).isNull());
    DibDesc eight = MakeDesc(8, 3, 2);
    std::memcpy(&eight.palette[7 * 4], "\x30\x20\x10", 3); // blue, green, red
    eight.rows[4 + 2] = 7;
    DibDesc rgb = MakeDesc(24, 3, 2);
    std::memcpy(&rgb.rows[12 + 2 * 3], "\x30\x20\x10", 3);
    for (DibDesc* desc : {&eight, &rgb}) {
        CDib dib;
        ASSERT_TRUE(dib.TakeDesc(std::move(*desc)));
        const QImage image = DibImage(dib);
        const bool paletted = dib.Desc().bitsPerPixel == 8;
        EXPECT_EQ(image.format(), paletted ? QImage::Format_Indexed8 : QImage::Format_BGR888);
        EXPECT_EQ(image.size(), QSize(3, 2));
        EXPECT_EQ(image.pixel(2, 1), qRgb(0x10, 0x20, 0x30));
        EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
    }
}

TEST(DibImageTest, DrawingPlacesOrStretchesThePictureByPlainCopy) {
    ExpectDrawn(
        12, [](QPainter& p, const CDib& dib) { DrawAt(p, dib, 3, 4); }, QRect(3, 4, 5, 5),
        [](int x, int y) { return QPoint(x - 3, y - 4); });
    // Rectangles are inclusive; no source is the whole picture, no destination the
    // source unscaled at (0, 0).
    const InclusiveRect to10{10, 10, 19, 19}, to8{0, 0, 7, 7};
    const InclusiveRect middle{2, 1, 3, 2}, corner{1, 2, 3, 3};
    const struct {
        int size;
        const InclusiveRect *dest, *source;
        QRect painted;
        QPoint (*from)(int, int);
    } cases[] = {
        {24, &to10, nullptr, QRect(10, 10, 10, 10),
         [](int x, int y) { return QPoint((x - 10) / 2, (y - 10) / 2); }},
        {12, &to8, &middle, QRect(0, 0, 8, 8),
         [](int x, int y) { return QPoint(2 + x / 4, 1 + y / 4); }},
        {8, nullptr, &corner, QRect(0, 0, 3, 2), [](int x, int y) { return QPoint(1 + x, 2 + y); }},
    };
    for (const auto& c : cases) {
        const auto stretch = [&](QPainter& p, const CDib& dib) {
            DrawStretched(p, dib, c.dest, c.source);
        };
        ExpectDrawn(c.size, stretch, c.painted, c.from);
    }
}

} // namespace
} // namespace tolmere
