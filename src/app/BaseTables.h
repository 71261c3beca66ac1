// SPDX-License-Identifier: MIT
// A table as the game's archives hold it, to compare the edited one with: the patch
// archive's copy (what Spawn On would replace) or the game's own (what a mod changed).
#pragma once

#include "archive/ArchiveBridge.h"

#include <string>

namespace tolmere {

enum class BaseSource {
    kPatchArchive, // patch_d2.mpq
    kGameArchives, // d2exp.mpq, then d2data.mpq
};

struct BaseFetch {
    bool found = false;  // an archive held it and it loaded
    std::string problem; // why not, when an archive could not be read or its copy not loaded
    bool Absent() const { return !found && problem.empty(); }
};

// Loads `fileName` from the first archive of `source` that holds it into `table`,
// leaving the working folder clean.
BaseFetch FetchBaseTable(const CArchiveBridge& bridge, const std::string& fileName,
                         BaseSource source, CTxtTable& table);

} // namespace tolmere
