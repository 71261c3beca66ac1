// SPDX-License-Identifier: MIT
// Inventory pictures of items: run-length coded DC6 files and the palette they are
// drawn with.
#pragma once

#include "images/Dib.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolmere {

// The fixed colours of item pictures: 256 entries of blue, green, red.
extern const std::array<unsigned char, 768> kItemPalette;

// The colour every transparent or uncovered pixel shows, blue, green, red.
constexpr unsigned char kItemBackdropBlue = 5;
constexpr unsigned char kItemBackdropGreen = 58;
constexpr unsigned char kItemBackdropRed = 59;

// A file claiming more than this many frames is not a picture we decode.
constexpr std::uint32_t kDc6MaxFrames = 12;
// Item pictures are a few dozen pixels a side; these bounds only keep a hostile file
// from making us allocate without limit.
constexpr std::uint32_t kDc6MaxCanvasSide = 4096;

// The three header bytes that, right after an end-of-row code, end a frame.
struct Dc6Termination {
    unsigned char t1 = 0;
    unsigned char t2 = 0;
    unsigned char t3 = 0;
};

// Where a frame is drawn: the whole 8-bit canvas, rows top first. A view of rows that
// a DibDesc owns.
struct Dc6Canvas {
    unsigned char* rows = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t stride = 0;
};

// Decodes a whole DC6 file into one 8-bit canvas with every frame tiled on it. The
// palette is the caller's. Nothing for a missing file, a version other than 6, a frame
// count outside 1 to 12, any offset or length reaching outside the file, and an empty
// or oversized canvas.
std::optional<DibDesc> DecodeDc6(const std::string& path);
// The same for a file already in memory.
std::optional<DibDesc> DecodeDc6(const unsigned char* data, std::size_t size);

// Decodes one frame's `length` bytes of codes into the width × height window whose
// top-left pixel sits at (left, top) on the canvas; only pixels inside the canvas
// are written. `available` is how many bytes can be read from `data` on (at least
// `length`): the bytes compared with the termination after an end-of-row code may lie
// past the codes but never past the file.
void UnpackDc6Frame(const unsigned char* data, std::size_t length, std::size_t available,
                    const Dc6Canvas& canvas, std::int64_t left, std::int64_t top,
                    std::uint32_t width, std::uint32_t height, const Dc6Termination& termination);

// The palette pictures are drawn with: 256 entries of blue, green, red, 0, entry 0
// being the backdrop colour.
std::vector<unsigned char> BuildItemPalette();

} // namespace tolmere
