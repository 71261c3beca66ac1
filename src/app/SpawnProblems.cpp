// SPDX-License-Identifier: MIT
#include "app/SpawnProblems.h"

#include <unistd.h>

namespace tolmere {

std::vector<std::string> CompiledInPatch(const CArchiveBridge& bridge,
                                         const std::vector<std::string>& tables) {
    std::vector<std::string> held;
    for (const std::string& table : tables) {
        const std::string compiled = CompiledName(table);
        if (bridge.ExtractTable(compiled, Archive::kPatch).Ok())
            held.push_back(compiled);
        // Only asked for, never kept: the working folder is made for the asking, and
        // goes again unless it holds something else.
        ::unlink(bridge.WorkFile(compiled).c_str());
        ::rmdir(bridge.WorkDir().c_str());
    }
    return held;
}

} // namespace tolmere
