// SPDX-License-Identifier: MIT
// What Spawn On is about to change in the patch archive: each table, and the string
// table, against the archive's copy, as a one-line summary and a full list.
#pragma once

#include "app/SpawnOn.h"
#include "diff/ChangeList.h"

#include <string>
#include <vector>

namespace tolmere {

struct SpawnPreview {
    std::vector<std::string> tableParts; // "UniqueItems.txt: 3 items changed, 5 modifiers"
    std::string namesPart;               // "patchstring.tbl: 1 name", or empty
    std::vector<ChangeLine> tableLines, nameLines;

    // "UniqueItems.txt: 3 items changed, 5 modifiers; patchstring.tbl: 1 name"
    std::string Summary(bool withNames = true) const;
    // One change a line, as tolmere-cli diff prints them.
    std::string List(bool withNames = true) const;
};

// `words` words the modifiers of the list (their four cells when empty).
SpawnPreview PreviewSpawnOn(const CArchiveBridge& bridge, const SpawnOnRequest& request,
                            const SlotWords& words = {});
// Once the tables went in, keeps what was written (the names only when they went in
// too) in the Messages view.
void KeepWrittenInMessages(const SpawnPreview& preview, const SpawnOnResult& result);

// The summary's part for one table or the string table.
std::string TableSummary(const std::string& fileName, const TableDiff& diff);
std::string StringsSummary(const std::string& fileName, const std::vector<EntryDiff>& diff);

} // namespace tolmere
