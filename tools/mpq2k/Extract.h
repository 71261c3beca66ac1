// SPDX-License-Identifier: MIT
// Copying one file out of an archive into the editor's scratch directory.
#pragma once

#include "Mpq.h"

#include <string>

namespace mpq2k {

// Writes `name` (archive spelling, either separator) as DIR/<last component of name>.
// The file appears complete or not at all: it is written to a temporary in DIR and renamed.
// On failure `error` says why (without the archive or name in front), and `absent`, when
// given, whether that was because the archive does not hold the name.
bool ExtractToDirectory(const Archive& archive, const std::string& name, const std::string& dir,
                        std::string* error, bool* absent = nullptr);

} // namespace mpq2k
