// SPDX-License-Identifier: MIT
// Draws the program's icon and writes it as an RGBA PNG of the size asked for: a gold
// sword laid across an item table, on a dark olive tile with a bronze rim, in the
// colours of the window skin. Everything is computed, so the same program always
// writes the same bytes.
//
// Each size is drawn afresh rather than scaled down from a large picture, so that the
// small icons keep their edges; every pixel averages a grid of samples.

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Rgba {
    double r, g, b, a;
};

Rgba Opaque(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0, 1.0};
}

// The skin's palette, with a few lighter golds for the sword.
const Rgba kTileTop = Opaque(78, 76, 12);
const Rgba kTileBottom = Opaque(38, 37, 3);
const Rgba kOutline = Opaque(24, 22, 4);
const Rgba kBronzeLight = Opaque(150, 120, 48);
const Rgba kBronzeDark = Opaque(80, 64, 20);
const Rgba kCell = Opaque(30, 29, 3);
const Rgba kHeader = Opaque(120, 96, 36);
const Rgba kGridLine = Opaque(200, 160, 64);
const Rgba kBladeEdge = Opaque(255, 232, 160);
const Rgba kBladeFlat = Opaque(222, 180, 80);
const Rgba kGuard = Opaque(230, 190, 90);
const Rgba kGrip = Opaque(92, 60, 24);
const Rgba kGem = Opaque(255, 220, 120);

Rgba Mix(const Rgba& a, const Rgba& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

// Signed distances in the unit square (0 … 1 both ways, y downwards): negative inside.
double RoundedSquare(double x, double y, double inset, double radius) {
    const double half = 0.5 - inset - radius;
    const double dx = std::max(std::abs(x - 0.5) - half, 0.0);
    const double dy = std::max(std::abs(y - 0.5) - half, 0.0);
    const double outside = std::hypot(dx, dy);
    const double inside = std::min(std::max(std::abs(x - 0.5), std::abs(y - 0.5)) - half, 0.0);
    return outside + inside - radius;
}

// Distance to the segment a–b, and where along it (0 … 1) the nearest point lies.
double Segment(double x, double y, double ax, double ay, double bx, double by, double* along) {
    const double vx = bx - ax, vy = by - ay;
    const double t = std::clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    if (along)
        *along = t;
    return std::hypot(x - ax - vx * t, y - ay - vy * t);
}

// The sword runs from the pommel at the lower left to the tip at the upper right.
constexpr double kPommelX = 0.25, kPommelY = 0.77;
constexpr double kTipX = 0.80, kTipY = 0.22;
constexpr double kGuardAt = 0.27; // of the way from pommel to tip

struct Sword {
    double guardX, guardY; // centre of the cross-guard
    double nx, ny;         // unit normal to the blade
};

Sword SwordFrame() {
    Sword s{};
    s.guardX = kPommelX + (kTipX - kPommelX) * kGuardAt;
    s.guardY = kPommelY + (kTipY - kPommelY) * kGuardAt;
    const double length = std::hypot(kTipX - kPommelX, kTipY - kPommelY);
    s.nx = -(kTipY - kPommelY) / length;
    s.ny = (kTipX - kPommelX) / length;
    return s;
}

// The blade narrows from its full width at the guard to a point at the tip.
double Blade(const Sword& s, double x, double y, double* across) {
    double t = 0;
    const double d = Segment(x, y, s.guardX, s.guardY, kTipX, kTipY, &t);
    const double halfWidth = 0.055 * (1.0 - t * t * 0.85) * (t > 0.9 ? (1.0 - t) / 0.1 : 1.0);
    // Which side of the ridge the point is on, for the two-tone blade.
    if (across)
        *across = (x - s.guardX) * s.nx + (y - s.guardY) * s.ny;
    return d - halfWidth;
}

double Guard(const Sword& s, double x, double y) {
    const double reach = 0.15;
    return Segment(x, y, s.guardX - s.nx * reach, s.guardY - s.ny * reach, s.guardX + s.nx * reach,
                   s.guardY + s.ny * reach, nullptr) -
           0.03;
}

double Grip(const Sword& s, double x, double y) {
    return Segment(x, y, kPommelX, kPommelY, s.guardX, s.guardY, nullptr) - 0.028;
}

double Pommel(double x, double y) {
    return std::hypot(x - kPommelX, y - kPommelY) - 0.048;
}

// The item table behind the sword: a header row and three rows of three cells.
constexpr double kTableLeft = 0.20, kTableRight = 0.80;
constexpr double kTableTop = 0.24, kTableBottom = 0.78;
constexpr int kColumns = 3, kRows = 4;

Rgba Table(double x, double y, double line, const Rgba& under) {
    if (x < kTableLeft - line || x > kTableRight + line || y < kTableTop - line ||
        y > kTableBottom + line)
        return under;
    const double cellW = (kTableRight - kTableLeft) / kColumns;
    const double cellH = (kTableBottom - kTableTop) / kRows;
    const double cx = (x - kTableLeft) / cellW, cy = (y - kTableTop) / cellH;
    const double toColumnLine = std::abs(cx - std::round(cx)) * cellW;
    const double toRowLine = std::abs(cy - std::round(cy)) * cellH;
    if (toColumnLine <= line || toRowLine <= line)
        return kGridLine;
    return cy < 1.0 ? kHeader : kCell;
}

// One sample of the icon; transparent outside the tile.
Rgba Sample(double x, double y, double pixel) {
    const double tile = RoundedSquare(x, y, 0.03, 0.17);
    if (tile > 0)
        return {0, 0, 0, 0};
    // Lines never get thinner than about a pixel, or the small icons would lose them.
    const double outline = std::max(0.012, pixel);
    const double rim = std::max(0.045, 1.5 * pixel);
    if (tile > -outline)
        return kOutline;
    if (tile > -outline - rim)
        return Mix(kBronzeLight, kBronzeDark, y);
    if (tile > -2 * outline - rim)
        return kOutline;
    Rgba colour = Mix(kTileTop, kTileBottom, y);
    colour = Table(x, y, std::max(0.012, 0.6 * pixel), colour);

    const Sword s = SwordFrame();
    const double edge = std::max(0.018, 1.2 * pixel);
    double across = 0;
    const double blade = Blade(s, x, y, &across);
    const double guard = Guard(s, x, y);
    const double grip = Grip(s, x, y);
    const double pommel = Pommel(x, y);
    // A dark edge around the whole sword keeps it apart from the grid lines.
    if (std::min({blade, guard, grip, pommel}) < edge)
        colour = kOutline;
    if (blade < 0)
        colour = across > 0 ? kBladeFlat : kBladeEdge;
    if (grip < 0)
        colour = kGrip;
    if (guard < 0)
        colour = kGuard;
    if (pommel < 0)
        colour = pommel < -0.022 ? kGem : kGuard;
    return colour;
}

std::vector<unsigned char> Draw(int size) {
    constexpr int kGrid = 6; // samples per pixel each way
    std::vector<unsigned char> pixels(static_cast<std::size_t>(size) * size * 4);
    const double pixel = 1.0 / size;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            // Colours are averaged weighted by coverage, so edges fade out rather than
            // darken towards the transparent black outside.
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kGrid; ++sy) {
                for (int sx = 0; sx < kGrid; ++sx) {
                    const double x = (px + (sx + 0.5) / kGrid) * pixel;
                    const double y = (py + (sy + 0.5) / kGrid) * pixel;
                    const Rgba c = Sample(x, y, pixel);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            unsigned char* out = &pixels[(static_cast<std::size_t>(py) * size + px) * 4];
            auto byte = [](double v) {
                return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
            };
            out[0] = a > 0 ? byte(r / a) : 0;
            out[1] = a > 0 ? byte(g / a) : 0;
            out[2] = a > 0 ? byte(b / a) : 0;
            out[3] = byte(a / (kGrid * kGrid));
        }
    }
    return pixels;
}

bool WritePng(const char* path, int size, const std::vector<unsigned char>& pixels) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(out);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y)
        png_write_row(png, &pixels[static_cast<std::size_t>(y) * size * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: icongen SIZE OUT.png   (SIZE 16 … 1024)\n");
        return 2;
    }
    if (!WritePng(argv[2], size, Draw(size))) {
        std::fprintf(stderr, "icongen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
