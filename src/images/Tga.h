// Truecolour TGA pictures, plain and run-length packed.
#pragma once

#include "images/Dib.h"
#include "tables/BinFile.h"

namespace tolmere {

// Decodes the TGA picture that starts at the file's current position into `desc`.
// Only types 2 and 10 without a colour map, at 15, 16, 24 or 32 bits per pixel, are
// taken; 16-bit pictures come out as 15-bit. Any malformed or short file fails and
// leaves `desc` empty.
bool DecodeTga(DibDesc& desc, CBinFile& file);

} // namespace tolmere
