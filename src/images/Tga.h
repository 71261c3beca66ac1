// SPDX-License-Identifier: MIT
// The one kind of TGA picture the program reads: its own window skin.
#pragma once

#include "images/Dib.h"
#include "tables/BinFile.h"

#include <optional>

namespace tolmere {

// Decodes the TGA picture that starts at the file's current position. Only what the
// build's skin generator writes is taken: plain (type 2) 24-bit truecolour with no
// identification field and no colour map. Anything else, and any short file, is
// refused rather than guessed at.
std::optional<DibDesc> DecodeTga(CBinFile& file);

} // namespace tolmere
