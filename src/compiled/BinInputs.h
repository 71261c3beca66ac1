// SPDX-License-Identifier: MIT
// The tables a compile links to, read from folders that hold them by the game's names
// in any case ("properties.txt", "Properties.txt").
#pragma once

#include "compiled/BinCompiler.h"

#include <string>

namespace tolmere {

// The path of the file in `dir` whose name is `name` without regard to case, or "".
std::string FindFileNoCase(const std::string& dir, const std::string& name);

// Reads the linked tables the layout needs from `gameDir`, and when it needs them the
// string tables (string.tbl, expansionstring.tbl, patchstring.tbl) from `stringsDir`,
// or from `gameDir` where `stringsDir` lacks one. Empty when it worked; otherwise one
// line saying which table is missing or unreadable.
std::string LoadBinLinks(const BinLayout& layout, const std::string& gameDir,
                         const std::string& stringsDir, CBinLinks& links);

} // namespace tolmere
