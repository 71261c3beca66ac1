#include "images/PngWriter.h"

#include "tables/SafeWriter.h"

#include <png.h>

#include <array>
#include <csetjmp>
#include <vector>

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

// One row of the picture in the PNG's pixel layout.
void ConvertRow(const DibDesc& desc, const unsigned char* in, unsigned char* out) {
    for (std::uint32_t x = 0; x < desc.width; ++x) {
        switch (desc.bitsPerPixel) {
        case 8:
            out[x] = in[x];
            break;
        case 15: {
            const unsigned value = in[2 * x] | unsigned{in[2 * x + 1]} << 8;
            const unsigned r = (value >> 10) & 31, g = (value >> 5) & 31, b = value & 31;
            out[3 * x] = static_cast<unsigned char>(r << 3 | r >> 2);
            out[3 * x + 1] = static_cast<unsigned char>(g << 3 | g >> 2);
            out[3 * x + 2] = static_cast<unsigned char>(b << 3 | b >> 2);
            break;
        }
        default: {
            const std::uint32_t step = desc.bitsPerPixel / 8;
            out[3 * x] = in[step * x + 2];
            out[3 * x + 1] = in[step * x + 1];
            out[3 * x + 2] = in[step * x];
            break;
        }
        }
    }
}

// Holds nothing that needs destroying, so libpng's longjmp may leave it at any point.
bool RunEncoder(const DibDesc& desc, const png_color* palette, int transparentIndex,
                unsigned char* rowBuffer, std::string* out) {
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
    const bool paletted = desc.bitsPerPixel == 8;
    png_set_IHDR(png, info, desc.width, desc.height, 8,
                 paletted ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Only the entries up to the transparent one need an alpha; the rest stay opaque.
    std::array<png_byte, 256> alpha;
    alpha.fill(255);
    if (paletted)
        png_set_PLTE(png, info, palette, 256);
    if (paletted && transparentIndex >= 0 && transparentIndex < 256) {
        alpha[static_cast<std::size_t>(transparentIndex)] = 0;
        png_set_tRNS(png, info, alpha.data(), transparentIndex + 1, nullptr);
    }
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < desc.height; ++y) {
        ConvertRow(desc, desc.rows + std::size_t{y} * desc.stride, rowBuffer);
        png_write_row(png, rowBuffer);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool EncodePng(const DibDesc& desc, std::string& png, int transparentIndex) {
    png.clear();
    const std::uint32_t depth = desc.bitsPerPixel;
    if (desc.rows == nullptr || desc.width == 0 || desc.height == 0 ||
        (depth != 8 && depth != 15 && depth != 24 && depth != 32) ||
        (depth == 8 && desc.palette == nullptr))
        return false;
    // PNG caps both sides at 2^31 - 1; rows narrower than the width cannot be read.
    if (desc.width > 0x7FFFFFFF || desc.height > 0x7FFFFFFF ||
        std::uint64_t{desc.stride} < std::uint64_t{desc.width} * BytesPerPixel(depth))
        return false;

    std::array<png_color, 256> palette{};
    if (depth == 8) {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            palette[i].blue = desc.palette[4 * i];
            palette[i].green = desc.palette[4 * i + 1];
            palette[i].red = desc.palette[4 * i + 2];
        }
    }
    std::vector<unsigned char> rowBuffer(std::size_t{desc.width} * (depth == 8 ? 1 : 3));
    if (!RunEncoder(desc, palette.data(), transparentIndex, rowBuffer.data(), &png)) {
        png.clear();
        return false;
    }
    return true;
}

bool WritePng(const DibDesc& desc, const std::string& path) {
    std::string png;
    return EncodePng(desc, png) && WriteFileSafely(path, png);
}

bool WritePng(const CDib& dib, const std::string& path) {
    return WritePng(dib.Desc(), path);
}

} // namespace tolmere
