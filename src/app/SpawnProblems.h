// SPDX-License-Identifier: MIT
// What Spawn On checks before it writes: the problems of the tables about to go into
// the patch archive, and compiled copies of them that the archive already holds.
#pragma once

#include "archive/ArchiveBridge.h"
#include "lint/Lint.h"

#include <string>
#include <vector>

namespace tolmere {

// The compiled ".bin" of each of `tables` ("UniqueItems.txt") that the patch archive
// holds, asked of the archive with one run of the tool each.
std::vector<std::string> CompiledInPatch(const CArchiveBridge& bridge,
                                         const std::vector<std::string>& tables);

} // namespace tolmere
