// SPDX-License-Identifier: MIT
// tolmere-cli mod: the main window's Add, Edit and Delete, for scripts. The rules and
// messages are the window's own: both go through the same core operations.
#include "cli/Commands.h"

#include "items/UniqueModel.h"
#include "mods/ModifierChoices.h"
#include "mods/ModifierEdit.h"

#include <algorithm>
#include <optional>

namespace tolmere {
namespace {

// ROW: a data row number, or key=TEXT for the first row whose key column holds TEXT;
// nothing, having said why, when there is no such row.
std::optional<std::int32_t> FindRow(const CUniqueModel& model, const std::string& tablePath,
                                    const std::string& text) {
    if (text.rfind("key=", 0) == 0) {
        const std::string key = text.substr(4);
        // Rows left empty at a table's end (1.14d's has one) would match it.
        if (key.empty()) {
            Fail("ROW key= names no key; give key=TEXT with the row's key");
            return std::nullopt;
        }
        for (std::int32_t row = 0; row < model.ItemCount(); ++row) {
            if (model.Key(row) == key)
                return row;
        }
    } else {
        std::int32_t row = -1;
        if (!ReadWholeNumber("ROW", text, row))
            return std::nullopt;
        if (row < model.ItemCount())
            return row;
    }
    Fail(tablePath + " has no row " + text);
    return std::nullopt;
}

const char kModUsage[] =
    "mod add TABLE ROW CODE PAR MIN MAX OUT [--replace] [--game-data DIR] | "
    "mod edit TABLE ROW SLOT CODE PAR MIN MAX OUT [--replace] [--game-data DIR] | "
    "mod delete TABLE ROW SLOT OUT";

} // namespace

int WriteTable(const CTxtTable& table, const std::string& out) {
    if (!Emit(out, table.Serialize()))
        return Fail("cannot write " + out);
    return 0;
}

int ApplyModifier(CTxtTable& table, std::int32_t row, std::int32_t slot,
                  const ModifierSlots& layout, const std::vector<std::string>& values, bool replace,
                  const std::string& gameDir, const std::string& out) {
    const ModifierValues modifier{values[0], values[1], values[2], values[3]};
    const std::string problem = ModifierValuesProblem(modifier);
    if (!problem.empty())
        return Fail(problem);
    if (!gameDir.empty()) {
        // What the window asks about is said here and written anyway: the command
        // was the answer.
        CGameData game;
        std::string error;
        if (!game.LoadFolder(gameDir, error))
            return Fail(error);
        const CModifierChoices choices = CModifierChoices::ForGame(CModKeys(), game, {});
        const int entry = choices.Find(modifier.code);
        const ModifierChoice choice = entry >= 0
                                          ? choices.Entries()[static_cast<std::size_t>(entry)]
                                          : choices.Unlisted(modifier.code);
        for (const std::string& warning : choices.Warnings(choice, modifier))
            Warn(warning);
    }
    std::string refusal;
    const std::int32_t target = SettleModifierTarget(
        PlanModifier(table, row, slot, layout, modifier.code), slot,
        [&](const std::string& question) {
            // Naming the command is saying Yes to the change; overwriting another slot
            // takes --replace.
            if (question == kAskOverwriteModifier && !replace) {
                refusal = std::string(kAskOverwriteModifier) + " (--replace overwrites it)";
                return false;
            }
            return true;
        },
        [&](const std::string& message) { refusal = message; });
    if (target < 0)
        return Fail(refusal);
    if (!WriteModifier(table, row, target, layout, modifier))
        return Fail("row " + std::to_string(row) + " has no cell for slot " +
                    std::to_string(target));
    return WriteTable(table, out);
}

int ModCommand(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--node") != args.end())
        return SetModCommand(args);
    ParsedArgs parsed;
    if (!ParseArgs(args, {"--game-data"}, {"--replace"}, parsed))
        return 1;
    struct {
        std::string verb;
        std::vector<std::string> args;
    } request;
    if (!parsed.positional.empty()) {
        request.verb = parsed.positional.front();
        request.args.assign(parsed.positional.begin() + 1, parsed.positional.end());
    }
    const std::size_t wanted = request.verb == "add"      ? 7
                               : request.verb == "edit"   ? 8
                               : request.verb == "delete" ? 4
                                                          : 0;
    if (wanted == 0 || request.args.size() != wanted)
        return Fail(std::string("usage: ") + kModUsage);
    const std::string& tablePath = request.args[0];
    const std::string& out = request.args.back();

    CTxtTable table;
    if (!LoadTable(tablePath, table))
        return 1;
    CUniqueModel model(table, RecogniseUniqueItems(table));
    if (!model.Layout().Editable())
        return Fail(model.Layout().problem + "; the table is read-only");
    const std::optional<std::int32_t> row = FindRow(model, tablePath, request.args[1]);
    if (!row)
        return 1;

    if (request.verb == "add") {
        const std::int32_t slot = model.SlotForNewModifier(*row);
        if (slot < 0)
            return Fail(kCannotAddModifiers);
        return ApplyModifier(table, *row, slot, model.Modifiers(),
                             {request.args.begin() + 2, request.args.end() - 1},
                             parsed.Flag("--replace"), parsed.Option("--game-data"), out);
    }
    std::int32_t slot = -1;
    if (!ReadWholeNumber("SLOT", request.args[2], slot))
        return 1;
    if (!model.Modifiers().HasSlot(slot) || !SlotUsed(table, *row, model.Modifiers().Slot(slot)))
        return Fail("row " + std::to_string(*row) + " holds no modifier in slot " +
                    request.args[2]);
    if (request.verb == "edit")
        return ApplyModifier(table, *row, slot, model.Modifiers(),
                             {request.args.begin() + 3, request.args.end() - 1},
                             parsed.Flag("--replace"), parsed.Option("--game-data"), out);
    if (model.DeleteModifier(*row, slot) == DeleteResult::kProtected)
        return Fail(kProtectedItemMessage);
    return WriteTable(table, out);
}

} // namespace tolmere
