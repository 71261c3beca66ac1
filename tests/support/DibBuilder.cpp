#include "support/DibBuilder.h"

#include "tables/Services.h"

#include <cstring>

namespace tolmere::testing {
namespace {

unsigned char* Block(std::size_t size, unsigned char fill) {
    auto* block = reinterpret_cast<unsigned char*>(AllocOrExit(size));
    std::memset(block, fill, size);
    return block;
}

} // namespace

DibDesc MakeDesc(std::uint32_t bitsPerPixel, std::uint32_t width, std::uint32_t height,
                 unsigned char rowFill) {
    DibDesc desc;
    desc.bitsPerPixel = bitsPerPixel;
    desc.width = width;
    desc.height = height;
    desc.stride = static_cast<std::uint32_t>(StrideFor(width, bitsPerPixel));
    desc.rows = Block(std::size_t{desc.stride} * height, rowFill);
    if (bitsPerPixel == 8)
        desc.palette = Block(kPaletteBytes, 0);
    return desc;
}

} // namespace tolmere::testing
