// SPDX-License-Identifier: MIT
// The Changes view's work: the table being edited (and its names) against a base the
// user chooses, and where in the table each change is.
#pragma once

#include "app/BaseTables.h"
#include "diff/ChangeList.h"
#include "tables/StringTables.h"

#include <string>
#include <vector>

namespace tolmere {

struct ChangesBase {
    BaseSource source = BaseSource::kPatchArchive;
    std::string file; // a table file to compare with instead of an archive's copy
};

struct ChangesRequest {
    const CTxtTable* table = nullptr;
    std::string fileName; // "UniqueItems.txt"
    // Compared with the patch archive's patchstring.tbl when that is the base.
    const CStringTables* strings = nullptr;
    std::string language;
    SlotWords words;
};

struct ChangesReport {
    std::string problem; // why there is nothing to show; empty when it worked
    std::string summary; // "UniqueItems.txt: 3 items changed, 5 modifiers"
    std::vector<ChangeLine> lines;
};

// `bridge` may be null when the base is a file.
ChangesReport CompareWithBase(const CArchiveBridge* bridge, const ChangesBase& base,
                              const ChangesRequest& request);

// The data row of `table` that a change is in (the key's occurrence among the rows of
// its key; for a name, the first row of its key), or -1: a removed row, a name no item
// has.
std::int32_t RowOfChange(const CTxtTable& table, const ChangeLine& line);
// The column of a changed cell in `table` (by its header name), or -1: a line of another
// kind, a column the table no longer has.
std::int32_t ColumnOfChange(const CTxtTable& table, const ChangeLine& line);

} // namespace tolmere
