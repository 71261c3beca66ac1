// SPDX-License-Identifier: MIT
// A patch file from anyone, applied to any table: the reader refuses what it cannot
// read, what it reads writes back to the same lines, and applying it never breaks the
// table; undoing the step gives back the table's very bytes.
#include "diff/ChangeLines.h"
#include "diff/PatchApply.h"
#include "support/Parts.h"
#include "support/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    const auto parts = SplitParts<2>(data, size);
    std::vector<ChangeLine> lines;
    std::string error;
    if (!ParseChanges(parts[0], lines, error)) {
        Require(!error.empty(), "a refused patch says why");
        return 0;
    }
    std::vector<ChangeLine> again;
    Require(ParseChanges(FormatChanges(lines), again, error), "a patch written back reads");
    Require(FormatChanges(again) == FormatChanges(lines), "a patch reads back to its lines");

    CTxtTable table;
    table.Parse(parts[1]);
    const std::string before = table.Serialize();
    CEditHistory history;
    EditStep step;
    const PatchOutcome outcome = ApplyPatch(table, LinesFor(lines, "UniqueItems.txt"), step);
    Require(outcome.applied >= 0 && outcome.already >= 0, "counts are counts");
    CTxtTable reread;
    reread.Parse(table.Serialize());
    Require(reread.Serialize() == table.Serialize(), "a patched table reads back as written");
    history.Push(std::move(step));
    if (history.CanUndo())
        history.Undo();
    Require(table.Serialize() == before, "undoing the patch gives back the table's bytes");
    return 0;
}
