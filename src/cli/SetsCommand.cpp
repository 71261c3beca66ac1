// SPDX-License-Identifier: MIT
// tolmere-cli sets: the set item window's tree, for reading and scripting; and mod
// --node: its Add, Edit and Delete, by the window's rules and messages.
#include "cli/Commands.h"

#include "sets/SetModel.h"
#include "tables/ColumnFinder.h"
#include "tables/StrTblText.h"

namespace tolmere {
namespace {

// The set tables of a command: SetItems.txt and, when given, Sets.txt.
struct LoadedSets {
    CTxtTable setItems;
    CTxtTable sets;
};

bool LoadSets(const std::string& setItemsPath, const std::string& setsPath, LoadedSets& loaded) {
    return LoadTable(setItemsPath, loaded.setItems) &&
           (setsPath.empty() || LoadTable(setsPath, loaded.sets));
}

// Each node and each of its lines on a line of its own, for scripts: a line break in a
// name or a column's header is escaped as tbl2txt escapes it.
std::string Describe(const CSetModel& model, const Wording& wording) {
    std::string out = "layout: " + model.Tree().layout + "\n";
    for (std::int32_t i = 0; i < model.NodeCount(); ++i) {
        const SetNode& node = model.Node(i);
        const std::string indent = node.IsMember() ? "  " : "";
        out += indent + "#" + std::to_string(node.number) + " " +
               EscapeOnOneLine(model.Label(node, wording.strings)) + "\n";
        for (const SetListLine& line :
             model.Lines(node, wording.keys, wording.game, wording.strings)) {
            const std::string text = EscapeOnOneLine(line.text);
            out += indent +
                   (line.slot < 0 ? "  -- " + text
                                  : "  [" + EscapeOnOneLine(line.column) + "] " + text) +
                   "\n";
        }
    }
    return out;
}

// The group and slot whose code column is named `column`.
bool FindSlot(const CSetModel& model, const SetNode& node, const std::string& column,
              std::int32_t& group, std::int32_t& slot) {
    const CTxtTable* table = model.TableOf(node);
    for (std::size_t g = 0; table && g < node.groups.size(); ++g) {
        const SetSlotGroup& candidate = node.groups[g];
        for (std::int32_t s = candidate.first; s < candidate.first + candidate.count; ++s) {
            const std::string name(
                table->HeaderCell(candidate.edit.CodeColumn(s)).value_or(std::string_view()));
            if (CColumnFinder::SameName(name, column)) {
                group = static_cast<std::int32_t>(g);
                slot = s;
                return true;
            }
        }
    }
    return false;
}

const char kSetModUsage[] = "mod add SETITEMS CODE PAR MIN MAX OUT --node N [--group COLUMN] | "
                            "mod edit SETITEMS COLUMN CODE PAR MIN MAX OUT --node N | "
                            "mod delete SETITEMS COLUMN OUT --node N; each with [--sets SETS.txt]";

} // namespace

int SetsCommand(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--sets", "--modkey", "--tbl", "--strings", "--game-data"}, {}, parsed))
        return 1;
    if (parsed.positional.size() != 1)
        return Fail("sets needs SETITEMS.txt alone");
    Wording wording;
    LoadedSets loaded;
    if (!LoadWording({parsed.Option("--modkey"), parsed.Option("--tbl"), parsed.Option("--strings"),
                      parsed.Option("--game-data")},
                     wording) ||
        !LoadSets(parsed.positional[0], parsed.Option("--sets"), loaded))
        return 1;
    const CSetModel model({&loaded.setItems, &loaded.sets});
    if (!model.Tree().Editable()) {
        Emit("-", "layout: unknown (" + model.Tree().problem + ")\n");
        return Fail(parsed.positional[0] +
                    " is not a set items table this editor knows: " + model.Tree().problem);
    }
    if (model.Tree().usesSetsTable && parsed.Option("--sets").empty())
        Warn("no --sets: the sets' own bonuses are in Sets.txt");
    if (!Emit("-", Describe(model, wording)))
        return Fail("cannot write to standard output");
    return 0;
}

int SetModCommand(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--node", "--group", "--sets", "--game-data"}, {"--replace"}, parsed))
        return 1;
    const std::vector<std::string>& pos = parsed.positional;
    const std::string verb = pos.empty() ? "" : pos[0];
    const std::size_t wanted = verb == "add" ? 7 : verb == "edit" ? 8 : verb == "delete" ? 4 : 0;
    if (wanted == 0 || pos.size() != wanted)
        return Fail(std::string("usage: ") + kSetModUsage);
    const std::string nodeText = parsed.Option("--node");
    std::int32_t number = -1;
    if (!ReadWholeNumber("--node", nodeText, number))
        return 1;
    LoadedSets loaded;
    if (!LoadSets(pos[1], parsed.Option("--sets"), loaded))
        return 1;
    CSetModel model({&loaded.setItems, &loaded.sets});
    if (!model.Tree().Editable())
        return Fail(model.Tree().problem + "; the table is read-only");
    const std::int32_t index = model.Tree().Find(number);
    if (index < 0)
        return Fail("no node " + nodeText + " (sets prints each node's number after #)");
    const SetNode& node = model.Node(index);
    CTxtTable* table = model.TableOf(node);
    const std::string& out = pos.back();
    const std::string gameDir = parsed.Option("--game-data");

    if (verb == "add") {
        std::int32_t group = -1;
        std::int32_t unused = -1;
        const std::string groupColumn = parsed.Option("--group");
        if (!groupColumn.empty() && !FindSlot(model, node, groupColumn, group, unused))
            return Fail("node " + nodeText + " has no column " + groupColumn);
        const SetAddTarget target = model.SlotForNewModifier(node, group);
        if (target.slot < 0)
            return Fail(target.refusal);
        const SetSlotGroup& chosen = node.groups[static_cast<std::size_t>(target.group)];
        return ApplyModifier(*table, node.row, target.slot, chosen.edit,
                             {pos.begin() + 2, pos.end() - 1}, parsed.Flag("--replace"), gameDir,
                             out);
    }
    std::int32_t group = -1;
    std::int32_t slot = -1;
    if (!FindSlot(model, node, pos[2], group, slot) ||
        !SlotUsed(*table, node.row, node.groups[static_cast<std::size_t>(group)].edit.Slot(slot)))
        return Fail("node " + nodeText + " holds no modifier in " + pos[2]);
    if (verb == "edit")
        return ApplyModifier(
            *table, node.row, slot, node.groups[static_cast<std::size_t>(group)].edit,
            {pos.begin() + 3, pos.end() - 1}, parsed.Flag("--replace"), gameDir, out);
    const std::string refusal = model.DeleteRefusal(node, group);
    if (!refusal.empty())
        return Fail(refusal);
    model.DeleteModifier(node, group, slot);
    return WriteTable(*table, out);
}

} // namespace tolmere
