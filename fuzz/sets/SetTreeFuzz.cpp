// SPDX-License-Identifier: MIT
// Arbitrary set tables, headers included: a mod's SetItems.txt and Sets.txt of any
// shape must give a tree whose every node reads, lists and edits inside its own
// table, never a crash.
#include "sets/SetModel.h"
#include "support/Require.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    // Two tables, split at the first 0x01 byte.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = bytes.find('\x01');
    CTxtTable items, sets;
    items.Parse(std::string(bytes.substr(0, cut)));
    if (cut != std::string_view::npos)
        sets.Parse(std::string(bytes.substr(cut + 1)));
    const std::int32_t itemCells = items.CellCount();
    const std::int32_t setCells = sets.CellCount();

    CSetModel model({&items, &sets});
    const CModKeys keys;
    const CGameData game;
    const CStringTables strings;
    for (std::int32_t i = 0; i < model.NodeCount(); ++i) {
        const SetNode& node = model.Node(i);
        const CTxtTable* table = model.TableOf(node);
        Require(!node.IsMember() || (node.parent >= 0 && node.parent < i), "member after its set");
        for (const SetSlotGroup& group : node.groups) {
            Require(group.first >= 0 && group.first + group.count <= group.edit.SlotCount(),
                    "group inside its slots");
            for (const SlotColumns& slot : group.Slots())
                Require(table && slot.max < table->ColumnCount() && slot.code >= 0,
                        "slot inside its table");
        }
        model.Label(node, strings);
        model.Info(i);
        for (const SetListLine& line : model.Lines(node, keys, game, strings)) {
            const SetSlotGroup& group = node.groups[static_cast<std::size_t>(line.group)];
            Require(line.slot < 0 ||
                        (line.slot >= group.first && line.slot < group.first + group.count),
                    "line inside its group");
        }
        model.SlotForNewModifier(node, -1);
        if (model.DeleteRefusal(node, -1).empty()) {
            for (std::size_t g = 0; g < node.groups.size(); ++g) {
                const SetSlotGroup& group = node.groups[g];
                if (!group.fixed && group.count > 0)
                    model.DeleteModifier(node, static_cast<std::int32_t>(g), group.first);
            }
        }
    }
    Require(items.CellCount() == itemCells && sets.CellCount() == setCells,
            "edits change cells, never the shape");
    return 0;
}
