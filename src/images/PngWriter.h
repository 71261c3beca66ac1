// SPDX-License-Identifier: MIT
// Pictures saved as PNG files, for modders who want to look at what the editor shows.
#pragma once

#include "images/Dib.h"

#include <string>

namespace tolmere {

// Encodes an 8-bit picture (an item picture) as a paletted PNG with the descriptor's
// palette. False, with `png` empty, for a descriptor without rows, with a zero size, of
// another depth, or without a palette. `transparentIndex` (0 to 255) makes that
// palette entry fully transparent; -1 keeps every entry opaque.
bool EncodePng(const DibDesc& desc, std::string& png, int transparentIndex = -1);

} // namespace tolmere
