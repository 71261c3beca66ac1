// Pictures saved as PNG files, for modders who want to look at what the editor shows.
#pragma once

#include "images/Dib.h"

#include <string>

namespace tolmere {

// Encodes the picture as PNG bytes: 8-bit pictures as paletted PNG with the
// descriptor's palette, 15-, 24- and 32-bit pictures as RGB (the fourth byte of a
// 32-bit pixel is padding, not alpha). False, with `png` empty, for a descriptor
// without rows, with a zero size, of another depth, or 8-bit without a palette.
// `transparentIndex` (0 to 255) makes that palette entry of an 8-bit picture fully
// transparent; -1 keeps every entry opaque.
bool EncodePng(const DibDesc& desc, std::string& png, int transparentIndex = -1);

// Encodes and replaces `path` through a temporary file, so a failure leaves whatever
// was there untouched.
bool WritePng(const DibDesc& desc, const std::string& path);
bool WritePng(const CDib& dib, const std::string& path);

} // namespace tolmere
