// SPDX-License-Identifier: MIT
#include "images/PngWriter.h"

#include <png.h>

#include <array>
#include <csetjmp>

namespace tolmere {
namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

// libpng must not print or return after an error; it unwinds to the setjmp below.
[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Holds nothing that needs destroying, so libpng's longjmp may leave it at any point.
bool RunEncoder(const DibDesc& desc, const png_color* palette, int transparentIndex,
                std::string* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, desc.width, desc.height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, 256);
    // Only the entries up to the transparent one need an alpha; the rest stay opaque.
    std::array<png_byte, 256> alpha;
    alpha.fill(255);
    if (transparentIndex >= 0 && transparentIndex < 256) {
        alpha[static_cast<std::size_t>(transparentIndex)] = 0;
        png_set_tRNS(png, info, alpha.data(), transparentIndex + 1, nullptr);
    }
    png_write_info(png, info);
    // Paletted rows are stored as they are in memory, one index a byte.
    for (std::uint32_t y = 0; y < desc.height; ++y)
        png_write_row(png, desc.rows.data() + std::size_t{y} * desc.stride);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool EncodePng(const DibDesc& desc, std::string& png, int transparentIndex) {
    png.clear();
    if (desc.bitsPerPixel != 8 || desc.palette.size() != kPaletteBytes || desc.width == 0 ||
        desc.height == 0)
        return false;
    // PNG caps both sides at 2^31 - 1; rows narrower than the width, or fewer than the
    // height, cannot be read.
    if (desc.width > 0x7FFFFFFF || desc.height > 0x7FFFFFFF || desc.stride < desc.width ||
        desc.rows.size() < std::uint64_t{desc.stride} * desc.height)
        return false;

    std::array<png_color, 256> palette{};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i].blue = desc.palette[4 * i];
        palette[i].green = desc.palette[4 * i + 1];
        palette[i].red = desc.palette[4 * i + 2];
    }
    if (!RunEncoder(desc, palette.data(), transparentIndex, &png)) {
        png.clear();
        return false;
    }
    return true;
}

} // namespace tolmere
