// SPDX-License-Identifier: MIT
// Draws the window skin picture and writes it as a plain 24-bit TGA. Everything is
// computed, so the same program always writes the same bytes.
//
// The dialog cuts its frame out of this picture with rectangles measured from the
// decoded picture's top-left pixel. Those rectangles put the pieces of the window's top
// along the picture's bottom rows and the pieces of the window's bottom along its top
// rows; within a piece the rows run the same way as on screen.

#include "base/ByteOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 96;

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr Rgb kBackground{59, 58, 5};
constexpr Rgb kOutline{48, 48, 48};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kBronzeLight{150, 120, 48};
constexpr Rgb kBronze{120, 96, 36};
constexpr Rgb kBronzeMid{104, 84, 30};
constexpr Rgb kBronzeDark{80, 64, 20};
constexpr Rgb kButtonFace{48, 48, 48};
constexpr Rgb kButtonMark{200, 200, 200};
constexpr Rgb kHotBorder{190, 155, 70};
constexpr Rgb kHotFace{92, 74, 22};
constexpr Rgb kHotMark{255, 230, 150};
constexpr Rgb kGemGlow[3] = {{200, 160, 64}, {230, 190, 90}, {255, 220, 120}};

// The window's frame is 11 pixels deep at the sides and bottom; `depth` counts from the
// window's outer edge inwards.
Rgb Frame(int depth) {
    static const Rgb kStripes[11] = {kOutline,    kGrey,      kBronzeLight, kBronze,
                                     kBronzeMid,  kBronzeMid, kBronzeMid,   kBronze,
                                     kBronzeDark, kGrey,      kOutline};
    if (depth < 0)
        depth = 0;
    return kStripes[depth > 10 ? 10 : depth];
}

Rgb Mix(Rgb a, Rgb b, int num, int den) {
    auto one = [&](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(x + (static_cast<int>(y) - x) * num / den);
    };
    return {one(a.r, b.r), one(a.g, b.g), one(a.b, b.b)};
}

// The caption band, by window row 0 … 24. Its top rows repeat the frame's outer stripes
// so that the band and the side frames meet in one line.
Rgb Band(int row) {
    if (row < 3)
        return Frame(row);
    if (row <= 21)
        return Mix(kBronze, kBronzeDark, row - 3, 18);
    if (row == 22)
        return kGrey;
    return kOutline;
}

class Picture {
public:
    Picture() : pixels_(static_cast<std::size_t>(kWidth) * kHeight, kBackground) {}

    void Set(int x, int y, Rgb colour) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
            std::abort();
        pixels_[static_cast<std::size_t>(y) * kWidth + x] = colour;
    }

    // Uncompressed truecolour, origin bottom-left, as the TGA format defines it: the
    // first row stored is the bottom one, which is also how our reader takes it.
    bool WriteTga(const char* path) const {
        std::vector<unsigned char> bytes(18, 0);
        bytes[2] = 2;
        tolmere::WriteLe16(&bytes[12], kWidth);
        tolmere::WriteLe16(&bytes[14], kHeight);
        bytes[16] = 24;
        for (int y = kHeight - 1; y >= 0; --y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgb& p = pixels_[static_cast<std::size_t>(y) * kWidth + x];
                bytes.push_back(p.b);
                bytes.push_back(p.g);
                bytes.push_back(p.r);
            }
        }
        std::FILE* out = std::fopen(path, "wb");
        if (!out)
            return false;
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        return std::fclose(out) == 0 && ok;
    }

private:
    std::vector<Rgb> pixels_;
};

// The window-menu emblem: a diamond whose centre glows brighter frame by frame. `left`
// and `top` place the 16 × 24 cell; the cell's rows are caption band rows 0 … 23.
void DrawEmblem(Picture& pic, int left, int top, int frame) {
    for (int j = 0; j < 24; ++j) {
        for (int i = 0; i < 16; ++i) {
            int distance = std::abs(2 * i - 15) + std::abs(2 * j - 23); // doubled
            Rgb colour = Band(j);
            if (distance <= 3)
                colour = kGemGlow[frame];
            else if (distance <= 11)
                colour = kBronzeLight;
            else if (distance <= 14)
                colour = kGrey;
            pic.Set(left + i, top + j, colour);
        }
    }
}

// A square button with a cross, 13 × 13, at window-relative offsets inside a piece.
void DrawCloseButton(Picture& pic, int left, int top, Rgb border, Rgb face, Rgb mark) {
    for (int j = 0; j < 13; ++j) {
        for (int i = 0; i < 13; ++i) {
            Rgb colour = face;
            if (i == 0 || j == 0 || i == 12 || j == 12)
                colour = border;
            else if (i >= 3 && i <= 9 && (i == j || i == 12 - j))
                colour = mark;
            pic.Set(left + i, top + j, colour);
        }
    }
}

void Draw(Picture& pic) {
    const int wp = kWidth, hp = kHeight;

    // Bottom-left corner, bottom edge and bottom-right corner share the top 16 rows.
    // Source row j lands on window row H − 15 + j, so row 15 is past the window's last
    // row and row 14 is the outermost one seen.
    for (int j = 0; j <= 15; ++j) {
        const int fromBottom = 14 - j;
        for (int x = 0; x <= 31; ++x)
            pic.Set(x, j, Frame(std::min(x, fromBottom)));
        for (int x = 32; x <= 64; ++x)
            pic.Set(x, j, Frame(fromBottom));
        for (int i = 0; i <= 64; ++i)
            pic.Set(wp - 65 + i, j, Frame(std::min(63 - i, fromBottom)));
    }

    // Side edges: stretched vertically, so every row is the same.
    for (int y = hp - 48; y <= hp - 33; ++y) {
        for (int i = 0; i <= 10; ++i) {
            pic.Set(i, y, Frame(i));
            pic.Set(wp - 11 + i, y, Frame(9 - i));
        }
    }

    // Top-left corner: 24 source rows for the band's 25 window rows; the emblem cell in
    // it is the animation's first frame.
    for (int j = 0; j < 24; ++j) {
        for (int x = 0; x <= 36; ++x) {
            const int depth = std::min(x, j);
            pic.Set(x, hp - 24 + j, depth < 3 ? Frame(depth) : Band(j));
        }
    }
    for (int k = 0; k < 3; ++k)
        DrawEmblem(pic, 16, hp - 24 * (k + 1), k);

    // Caption bar: stretched sideways, so every column is the same.
    for (int j = 0; j <= 24; ++j)
        for (int x = 64; x <= 96; ++x)
            pic.Set(x, hp - 25 + j, Band(j));

    // The close highlight is drawn onto window rows 5 … 24 from source rows
    // Hp − 25 … Hp − 6, so its row m shows on window row 5 + m; its cross sits where the
    // normal piece's cross shows in a full frame paint (window rows 6 … 18, window
    // columns W − 26 … W − 14).
    for (int m = 0; m <= 19; ++m)
        for (int i = 0; i <= 16; ++i)
            pic.Set(wp - 45 + i, hp - 25 + m, Band(5 + m));
    DrawCloseButton(pic, wp - 43, hp - 24, kHotBorder, kHotFace, kHotMark);

    // Top-right corner with the close button; it owns the column it shares with the
    // highlight piece.
    for (int j = 0; j <= 24; ++j) {
        for (int i = 0; i <= 28; ++i) {
            const int depth = std::min(27 - i, j);
            pic.Set(wp - 29 + i, hp - 25 + j, depth < 3 ? Frame(depth) : Band(j));
        }
    }
    DrawCloseButton(pic, wp - 27, hp - 19, kGrey, kButtonFace, kButtonMark);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen OUT.tga\n");
        return 2;
    }
    Picture pic;
    Draw(pic);
    if (!pic.WriteTga(argv[1])) {
        std::fprintf(stderr, "skingen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
