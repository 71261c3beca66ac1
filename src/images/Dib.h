// SPDX-License-Identifier: MIT
// Pictures held in memory in the layout the display layer draws from.
#pragma once

#include "tables/BinFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tolmere {

// A decoded picture. Rows run top row first, each starting a multiple of four bytes
// after the previous one.
struct DibDesc {
    std::uint32_t bitsPerPixel = 0; // 8 (item pictures) or 24 (the skin)
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t stride = 0; // bytes from one row to the next
    std::vector<unsigned char> rows;
    // 256 entries of blue, green, red, 0; 8-bit pictures only.
    std::vector<unsigned char> palette;
};

constexpr std::size_t kPaletteEntries = 256;
constexpr std::size_t kPaletteBytes = kPaletteEntries * 4;

// Bytes one pixel takes in the rows; 0 for a depth no picture has.
std::uint32_t BytesPerPixel(std::uint32_t bitsPerPixel);

// Width × bytes per pixel rounded up to a multiple of four.
std::uint64_t StrideFor(std::uint32_t width, std::uint32_t bitsPerPixel);

// Decodes an in-memory file whose `name` field carries the extension (the text from
// the last '.' on, in any case); only ".tga" has a decoder. A file marked `owned` is
// released whatever the outcome, so the caller never touches it again.
std::optional<DibDesc> DecodePicture(MemFileDesc* memFile);

class CDib {
public:
    CDib() = default;
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;
    // The picture leaves `other` empty.
    CDib(CDib&& other) noexcept;
    CDib& operator=(CDib&& other) noexcept;

    // Refuses, keeping the current picture, a descriptor with a zero width, height or
    // stride, of an unknown depth, with rows narrower than the width or fewer than the
    // height, of 8 bits per pixel without a whole palette, or with a side past the
    // display's int range. Otherwise replaces the current picture with it.
    bool TakeDesc(DibDesc desc);

    // Decode and take the picture; on failure the current picture stays.
    bool LoadPicture(MemFileDesc* memFile);

    bool IsEmpty() const { return desc_.rows.empty(); }
    const DibDesc& Desc() const { return desc_; }

private:
    DibDesc desc_;
};

} // namespace tolmere
