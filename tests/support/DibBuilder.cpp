// SPDX-License-Identifier: MIT
#include "support/DibBuilder.h"

namespace tolmere::testing {

DibDesc MakeDesc(std::uint32_t bitsPerPixel, std::uint32_t width, std::uint32_t height,
                 unsigned char rowFill) {
    DibDesc desc;
    desc.bitsPerPixel = bitsPerPixel;
    desc.width = width;
    desc.height = height;
    desc.stride = static_cast<std::uint32_t>(StrideFor(width, bitsPerPixel));
    desc.rows.assign(std::size_t{desc.stride} * height, rowFill);
    if (bitsPerPixel == 8)
        desc.palette.assign(kPaletteBytes, 0);
    return desc;
}

} // namespace tolmere::testing
