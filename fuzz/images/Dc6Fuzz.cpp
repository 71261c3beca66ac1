// Arbitrary bytes as a DC6 file: decoding must never read outside the file or write
// outside the canvas, and a canvas that comes out must be self-consistent.
#include "images/Dc6.h"
#include "support/Require.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using tolmere::fuzz::Require;

    DibDesc desc;
    if (!DecodeDc6(desc, data, size)) {
        Require(desc.rows == nullptr, "a failed decode leaves no rows");
        return 0;
    }
    Require(desc.rows != nullptr, "a decoded picture has rows");
    Require(desc.bitsPerPixel == 8, "a DC6 decodes to 8 bits per pixel");
    Require(desc.width > 0 && desc.height > 0, "a decoded picture has a size");
    Require(desc.width <= kDc6MaxCanvasSide && desc.height <= kDc6MaxCanvasSide,
            "the canvas stays within its bounds");
    Require(desc.stride >= desc.width && desc.stride % 4 == 0 && desc.stride - desc.width < 4,
            "stride is the width rounded up to four");
    Require(desc.palette == nullptr, "the decoder leaves the palette to the caller");
    // Every byte of the canvas is readable (the address checker watches).
    std::uint32_t sum = 0;
    for (std::uint64_t i = 0; i < std::uint64_t{desc.stride} * desc.height; ++i)
        sum += desc.rows[i];
    (void)sum;
    ReleaseDesc(desc);
    return 0;
}
