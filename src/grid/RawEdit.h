// SPDX-License-Identifier: MIT
// Raw editing of a whole item table: which columns get choosers and what they offer,
// what picking a choice writes, and writing the edited cells back. Shared by the raw
// edit window and tolmere-cli.
#pragma once

#include "grid/SlotTip.h"
#include "items/BaseLists.h"
#include "mods/GameData.h"
#include "mods/ModKeys.h"
#include "tables/EditHistory.h"
#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tolmere {

enum class ChoiceKind : int {
    kPlain = 0,
    kBaseCode = 1,     // a base item's code; offers the base item lists
    kModifierCode = 2, // a property code; offers the modifiers
    kColourCode = 3,   // a colour code; offers colors.txt
    kNameKey = 4,      // a string key: committing it offers to rename it
};

struct RawColumn {
    ChoiceKind kind = ChoiceKind::kPlain;
    int width = 100; // pixels
    // "Name |code" items; picking one leaves the code in the cell.
    std::vector<std::string> choices;
    // A base code column's neighbour that takes the base item's name, -1 for none.
    std::int32_t nameColumn = -1;
    // What the column holds, for its header's tooltip; empty for a plain column.
    std::string tip;
    // A modifier slot's parameter, min or max: which, and the column of its property
    // code, whose row decides what the cell means (SlotCellTip).
    SlotPart slotPart = SlotPart::kNone;
    std::int32_t slotCode = -1;
};

// What the choosers offer.
struct RawEditSources {
    const CBaseLists& lists;
    const CModKeys& keys;
    const CGameData& game;
    const CStringTables& strings;
    const CTxtTable& colours;
};

// The columns of a table, found by the layout its header has (unique items, set items
// or sets, in any layout the editor knows); any other table's columns are plain.
std::vector<RawColumn> RawColumnsFor(const CTxtTable& table, const RawEditSources& sources);

// The modifier choices the table's slots take (what each property's cells mean); none
// for a table without slots.
CModifierChoices RawSlotChoices(const CTxtTable& table, const RawEditSources& sources);

// What committing `text` into a choice column writes: a picked "Name |code" leaves the
// code in the cell and, for a base code, the name in its name column. A text without
// "|" is written as typed.
struct RawPick {
    std::string cell;
    bool writesName = false;
    std::string name;
};
RawPick PickChoice(ChoiceKind kind, const std::string& text);

// The cells of an edited copy of the table: its row count, the texts that changed and
// the columns renamed.
struct RawEdits {
    std::int32_t rows = 0;
    std::map<std::pair<std::int32_t, std::int32_t>, std::string> cells; // (row, column)
    std::map<std::int32_t, std::string> headers;                        // column → name
};

// Why the table's header fits none of the layouts its file name asks for (unique items
// or set items), naming the column missed; empty when it fits or the file has none.
std::string RawLayoutProblem(const CTxtTable& table, const std::string& name);

// Writes the edits into the table: rows appended up to `edits.rows`, then every cell
// and column name whose text differs from the table's; nothing else is touched, so an
// untouched cell keeps its bytes. The rows appended and the changed cells (a column
// name as data row -1) are added to `step` for undo.
void ApplyRawEdits(CTxtTable& table, const RawEdits& edits, EditStep& step);

} // namespace tolmere
