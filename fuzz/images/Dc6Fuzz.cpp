// SPDX-License-Identifier: MIT
// Arbitrary bytes as a DC6 file: decoding must never read outside the file or write
// outside the canvas, and a canvas that comes out must be self-consistent.
#include "images/Dc6.h"
#include "support/Require.h"

#include <cstddef>
#include <cstdint>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using tolmere::fuzz::Require;

    const std::optional<DibDesc> desc = DecodeDc6(data, size);
    if (!desc)
        return 0;
    Require(desc->bitsPerPixel == 8, "a DC6 decodes to 8 bits per pixel");
    Require(desc->width > 0 && desc->height > 0, "a decoded picture has a size");
    Require(desc->width <= kDc6MaxCanvasSide && desc->height <= kDc6MaxCanvasSide,
            "the canvas stays within its bounds");
    Require(desc->stride >= desc->width && desc->stride % 4 == 0 && desc->stride - desc->width < 4,
            "stride is the width rounded up to four");
    Require(desc->rows.size() == std::size_t{desc->stride} * desc->height,
            "the rows are stride times height bytes");
    Require(desc->palette.empty(), "the decoder leaves the palette to the caller");
    return 0;
}
