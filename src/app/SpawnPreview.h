// SPDX-License-Identifier: MIT
// What Spawn On is about to change in the patch archive: each table, and the string
// table, against the archive's copy, as a one-line summary and a full list.
#pragma once

#include "app/SpawnOn.h"
#include "diff/ChangeList.h"

#include <string>

namespace tolmere {

struct SpawnPreview {
    // "UniqueItems.txt: 3 items changed, 5 modifiers; patchstring.tbl: 1 name"
    std::string summary;
    std::string list; // one change a line, as tolmere-cli diff prints them
};

// `words` words the modifiers of the list (their four cells when empty).
SpawnPreview PreviewSpawnOn(const CArchiveBridge& bridge, const SpawnOnRequest& request,
                            const SlotWords& words = {});

// The summary's part for one table or the string table.
std::string TableSummary(const std::string& fileName, const TableDiff& diff);
std::string StringsSummary(const std::string& fileName, const std::vector<EntryDiff>& diff);

} // namespace tolmere
