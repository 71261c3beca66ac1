// SPDX-License-Identifier: MIT
// Picture descriptors filled for tests.
#pragma once

#include "images/Dib.h"

#include <cstdint>

namespace tolmere::testing {

// A filled descriptor whose rows hold `rowFill`; 8-bit pictures get an all-black
// palette.
DibDesc MakeDesc(std::uint32_t bitsPerPixel, std::uint32_t width, std::uint32_t height,
                 unsigned char rowFill = 0);

} // namespace tolmere::testing
