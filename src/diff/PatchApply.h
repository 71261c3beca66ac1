// SPDX-License-Identifier: MIT
// Applying a patch's changes to a table: each change goes in where the cell still holds
// the old value; any other cell is a conflict and keeps its bytes. Cells are written
// by the editor's own cell edit, so nothing outside the changed cells moves.
#pragma once

#include "diff/ChangeLines.h"
#include "tables/EditHistory.h"

#include <string>
#include <vector>

namespace tolmere {

struct PatchOutcome {
    std::int32_t applied = 0;
    std::int32_t already = 0; // cells that held the new value already
    // One sentence each: the change's line and why it did not go in.
    std::vector<std::string> conflicts;
};

// The patch's lines for a table of this file name: those naming it (ignoring ASCII
// case), or all of them when the patch names one table only.
std::vector<ChangeLine> LinesFor(const std::vector<ChangeLine>& lines, const std::string& fileName);

// Rows to add (in the order of their "\added N") and cells to change; lines of other
// kinds are conflicts. What changed is added to `step`.
PatchOutcome ApplyPatch(CTxtTable& table, const std::vector<ChangeLine>& lines, EditStep& step);
// Texts to change and entries to add.
PatchOutcome ApplyPatch(CStrTbl& strings, const std::vector<ChangeLine>& lines, EditStep& step);

} // namespace tolmere
