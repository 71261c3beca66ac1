// SPDX-License-Identifier: MIT
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
    Require(d.bitsPerPixel == 24, "a TGA loads at 24 bits");
    Require(d.width > 0 && d.height > 0, "a loaded picture has a size");
    Require(d.width <= 0xFFFF && d.height <= 0xFFFF, "width and height fit the file's fields");
    Require(d.stride == StrideFor(d.width, 24), "stride is three bytes a pixel rounded up to four");
    Require(d.rows.size() == std::size_t{d.stride} * d.height,
            "the rows are stride times height bytes");
    Require(d.palette.empty(), "a truecolour picture has no palette");
    return 0;
}
