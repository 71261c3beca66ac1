// SPDX-License-Identifier: MIT
#include "grid/RawEdit.h"

#include "items/UniqueLayout.h"
#include "mods/ModifierChoices.h"
#include "sets/SetTree.h"
#include "tables/ColumnFinder.h"

#include <optional>
#include <tuple>

namespace tolmere {
namespace {

constexpr int kChoiceWidth = 70;
constexpr int kModifierWidth = 100;
// The first columns (name, version, level …) are narrow or wide as their texts are.
constexpr int kLeadingWidths[] = {120, 70, 60, 60, 60, 50};

struct Marks {
    std::map<std::int32_t, ChoiceKind> kinds;
    std::map<std::int32_t, std::string> tips; // a modifier slot's parameter, min and max
    std::map<std::int32_t, std::pair<std::int32_t, SlotPart>> parts; // … their code column
    std::map<std::int32_t, std::int32_t> nameColumns; // base code column → its name column
    // Whose wording the modifiers take: the catalogue's for the classic tables, the
    // game's otherwise.
    std::optional<ModifierSlots> modifierSlots;
};

void Mark(Marks& marks, std::int32_t column, ChoiceKind kind) {
    if (column >= 0)
        marks.kinds[column] = kind;
}

std::int32_t ColumnNamed(const CTxtTable& table, const char* name) {
    return CColumnFinder(table).Find(name);
}

void MarkSlots(Marks& marks, const ModifierSlots& slots) {
    for (const SlotColumns& slot : slots.slots) {
        Mark(marks, slot.code, ChoiceKind::kModifierCode);
        if (slot.code < 0)
            continue;
        const std::string of = " of the property in column " + std::to_string(slot.code + 1) +
                               "; what it means depends on the property (Properties.txt)";
        const struct {
            std::int32_t column;
            const char* what;
            SlotPart part;
        } parts[] = {{slot.param, "The parameter (a skill, a stat, a chance, a duration …)",
                      SlotPart::kParam},
                     {slot.min, "The least value", SlotPart::kMin},
                     {slot.max, "The greatest value", SlotPart::kMax}};
        for (const auto& part : parts) {
            if (part.column >= 0) {
                marks.tips[part.column] = part.what + of;
                marks.parts[part.column] = {slot.code, part.part};
            }
        }
    }
    if (!marks.modifierSlots)
        marks.modifierSlots = slots;
}

void MarkSetTree(Marks& marks, const SetTree& tree, SetTableId which, const CTxtTable& table) {
    for (const SetNode& node : tree.nodes) {
        if (node.table != which || node.row < 0)
            continue;
        for (const SetSlotGroup& group : node.groups)
            MarkSlots(marks, group.edit);
        Mark(marks, node.nameKeyColumn, ChoiceKind::kNameKey);
        Mark(marks, node.secondKeyColumn, ChoiceKind::kNameKey);
        Mark(marks, node.colourColumn, ChoiceKind::kColourCode);
        if (node.codeColumn >= 0) {
            Mark(marks, node.codeColumn, ChoiceKind::kBaseCode);
            // The classic layout names the base item beside its code; the game's own
            // keeps it in the comment column "*item".
            const bool named = node.shownColumn >= 0 && node.shownColumn != node.codeColumn;
            marks.nameColumns[node.codeColumn] = named ? node.shownColumn : -1;
        }
    }
    Mark(marks, ColumnNamed(table, "chrtransform"), ChoiceKind::kColourCode);
}

// A SetItems.txt header of the game's own layout without rows, for reading a Sets.txt
// on its own.
CTxtTable EmptySplitSetItems() {
    CTxtTable items;
    items.Parse("index\tset\titem\tprop1\tpar1\tmin1\tmax1\taprop1a\tapar1a\tamin1a\tamax1a\r\n");
    return items;
}

Marks MarksFor(const CTxtTable& table) {
    Marks marks;
    const UniqueItemsLayout unique = RecogniseUniqueItems(table);
    if (unique.Editable()) {
        MarkSlots(marks, unique.modifiers);
        Mark(marks, unique.keyColumn, ChoiceKind::kNameKey);
        Mark(marks, unique.codeColumn, ChoiceKind::kBaseCode);
        // The base item's name goes only into the comment column the game never reads.
        marks.nameColumns[unique.codeColumn] = ColumnNamed(table, "*type");
        for (const char* colour : {"chrtransform", "invtransform"})
            Mark(marks, ColumnNamed(table, colour), ChoiceKind::kColourCode);
        return marks;
    }
    const SetTree items = BuildSetTree(table, nullptr);
    if (items.Editable()) {
        MarkSetTree(marks, items, SetTableId::kSetItems, table);
        return marks;
    }
    CTxtTable emptyItems = EmptySplitSetItems();
    const SetTree sets = BuildSetTree(emptyItems, &table);
    if (sets.Editable())
        MarkSetTree(marks, sets, SetTableId::kSets, table);
    return marks;
}

std::vector<std::string> BaseChoices(const CBaseLists& lists) {
    std::vector<std::string> choices;
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i) {
        const CTxtTable& list = lists.List(i);
        const BaseListLayout& layout = lists.Layout(i);
        for (std::int32_t r = 0; layout.codeColumn >= 0 && r < list.DataRowCount(); ++r) {
            const std::string_view code = list.Text(r, layout.codeColumn);
            if (!code.empty())
                choices.push_back(std::string(list.Text(r, layout.nameColumn)) + " |" +
                                  std::string(code));
        }
    }
    return choices;
}

std::vector<std::string> ModifierChoiceTexts(const ModifierSlots& slots,
                                             const RawEditSources& sources) {
    std::vector<std::string> choices;
    const CModifierChoices modifiers =
        CModifierChoices::For(slots, sources.keys, sources.game, sources.strings);
    for (const ModifierChoice& choice : modifiers.Entries())
        choices.push_back(choice.text + " |" + choice.code);
    return choices;
}

std::vector<std::string> ColourChoices(const CTxtTable& colours) {
    std::vector<std::string> choices;
    for (std::int32_t r = 0; r < colours.DataRowCount(); ++r)
        choices.push_back(std::string(colours.Text(r, 1)) + " |" + std::string(colours.Text(r, 0)));
    return choices;
}

} // namespace

std::vector<RawColumn> RawColumnsFor(const CTxtTable& table, const RawEditSources& sources) {
    const Marks marks = MarksFor(table);
    const bool itemTable = !marks.kinds.empty();
    std::vector<RawColumn> columns(static_cast<std::size_t>(table.ColumnCount()));
    std::vector<std::string> base, modifiers, colours;
    for (std::int32_t c = 0; c < table.ColumnCount(); ++c) {
        RawColumn& column = columns[static_cast<std::size_t>(c)];
        const auto kind = marks.kinds.find(c);
        column.kind = kind == marks.kinds.end() ? ChoiceKind::kPlain : kind->second;
        switch (column.kind) {
        case ChoiceKind::kBaseCode:
            if (base.empty())
                base = BaseChoices(sources.lists);
            column.choices = base;
            column.width = kChoiceWidth;
            column.nameColumn = marks.nameColumns.count(c) ? marks.nameColumns.at(c) : -1;
            break;
        case ChoiceKind::kModifierCode:
            if (modifiers.empty())
                modifiers = ModifierChoiceTexts(*marks.modifierSlots, sources);
            column.choices = modifiers;
            column.width = kModifierWidth;
            break;
        case ChoiceKind::kColourCode:
            if (colours.empty())
                colours = ColourChoices(sources.colours);
            column.choices = colours;
            column.width = kChoiceWidth;
            break;
        case ChoiceKind::kNameKey:
        case ChoiceKind::kPlain:
            break;
        }
        if (itemTable && c < static_cast<std::int32_t>(std::size(kLeadingWidths)))
            column.width = kLeadingWidths[c];
        static const char* const kTips[] = {
            "", "A base item's code (weapons.txt, armor.txt, misc.txt): pick it by name",
            "A property's code (Properties.txt): pick it by its wording",
            "A colour's code (colors.txt): pick it by name",
            "A string key: the shown name is its text in the string tables"};
        column.tip = marks.tips.count(c) ? marks.tips.at(c) : kTips[static_cast<int>(column.kind)];
        if (const auto part = marks.parts.find(c); part != marks.parts.end())
            std::tie(column.slotCode, column.slotPart) = part->second;
    }
    return columns;
}

CModifierChoices RawSlotChoices(const CTxtTable& table, const RawEditSources& sources) {
    const Marks marks = MarksFor(table);
    if (!marks.modifierSlots)
        return CModifierChoices();
    return CModifierChoices::For(*marks.modifierSlots, sources.keys, sources.game, sources.strings);
}

RawPick PickChoice(ChoiceKind kind, const std::string& text) {
    RawPick pick;
    pick.cell = text;
    const std::size_t bar = text.find('|');
    const bool choice = kind == ChoiceKind::kBaseCode || kind == ChoiceKind::kModifierCode ||
                        kind == ChoiceKind::kColourCode;
    if (!choice || bar == std::string::npos)
        return pick;
    pick.cell = text.substr(bar + 1);
    if (kind == ChoiceKind::kBaseCode) {
        // "Name |code": the name without the space before the bar.
        pick.writesName = true;
        pick.name = text.substr(0, bar);
        if (!pick.name.empty() && pick.name.back() == ' ')
            pick.name.pop_back();
    }
    return pick;
}

std::string RawLayoutProblem(const CTxtTable& table, const std::string& name) {
    if (name == "UniqueItems.txt")
        return RecogniseUniqueItems(table, name).problem;
    if (name == "SetItems.txt")
        return BuildSetTree(table, nullptr).problem;
    return std::string();
}

void ApplyRawEdits(CTxtTable& table, const RawEdits& edits, EditStep& step) {
    // A table without a header row takes no rows (AddRow adds none to it).
    if (table.DataRowCount() < edits.rows && table.ColumnCount() > 0) {
        step.rows.push_back({&table, table.DataRowCount(), edits.rows});
        while (table.DataRowCount() < edits.rows)
            table.AddRow();
    }
    for (const auto& [column, text] : edits.headers) {
        const std::optional<std::string_view> name = table.HeaderCell(column);
        if (!name || *name == text)
            continue;
        step.cells.push_back({&table, -1, column, std::string(*name), text});
        table.SetCell(-1, column, text);
    }
    for (const auto& [at, text] : edits.cells) {
        const auto [row, column] = at;
        const std::optional<std::string_view> cell = table.Cell(row, column);
        if (!cell || *cell == text)
            continue;
        step.cells.push_back({&table, row, column, std::string(*cell), text});
        table.SetCell(row, column, text);
    }
}

} // namespace tolmere
