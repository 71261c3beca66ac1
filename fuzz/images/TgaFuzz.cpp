// Arbitrary bytes as a ".tga" memory file: decoding must never read outside the file
// or write outside the picture, and a picture that loads must be self-consistent.
#include "images/Dib.h"
#include "support/Require.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using tolmere::fuzz::Require;

    MemFileDesc mem;
    std::strcpy(mem.name, ".tga");
    mem.data = data;
    mem.length = size;

    CDib dib;
    if (!dib.LoadPicture(&mem)) {
        Require(dib.IsEmpty(), "a failed load leaves the picture empty");
        return 0;
    }
    const DibDesc& d = dib.Desc();
    Require(d.rows != nullptr, "a loaded picture has rows");
    Require(d.width > 0 && d.height > 0, "a loaded picture has a size");
    Require(d.width <= 0xFFFF && d.height <= 0xFFFF, "width and height fit the file's fields");
    std::uint32_t bytesPerPixel = BytesPerPixel(d.bitsPerPixel);
    Require(d.bitsPerPixel == 15 || d.bitsPerPixel == 24 || d.bitsPerPixel == 32,
            "a TGA loads at 15, 24 or 32 bits");
    Require(std::uint64_t{d.stride} >= std::uint64_t{d.width} * bytesPerPixel,
            "stride >= width * bytes per pixel");
    Require(d.stride % 4 == 0, "rows start on four-byte steps");
    Require(d.palette == nullptr, "a truecolour picture has no palette");
    // Every byte of the picture is readable (the address checker watches).
    std::uint32_t sum = 0;
    for (std::uint64_t i = 0; i < std::uint64_t{d.stride} * d.height; ++i)
        sum += d.rows[i];
    (void)sum;
    return 0;
}
