// SPDX-License-Identifier: MIT
// Describing the modifiers of every item of a 2,000-row unique items table, as the
// item list does when a table is opened.
#include "base/Services.h"
#include "items/UniqueLayout.h"
#include "mods/Describe.h"
#include "mods/ModKeys.h"
#include "tables/TxtTable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace tolmere {
namespace {

constexpr int kRows = 2000;

const CModKeys& Keys() {
    static CModKeys keys;
    static const bool loaded = [] {
        // The source tree's catalogue first, then the copy beside the program.
        if (keys.Load(TOLMERE_MODKEY_PATH) || keys.Load(ModuleDir() + "modkey.txt"))
            return true;
        std::fprintf(stderr, "tolmere-bench: cannot load modkey.txt\n");
        std::exit(1);
    }();
    (void)loaded;
    return keys;
}

// Rows in the classic layout with 6 to 10 used slots each, their codes drawn from the
// catalogue (one in fifty unknown to it, as hand-edited tables have), so that every
// wording and damage merge path is taken.
std::string MakeUniqueItemsText(const CModKeys& keys) {
    const UniqueItemsLayout layout = ClassicUniqueLayout();
    const ModifierSlots& mods = layout.modifiers;
    const int columns = mods.Slot(mods.SlotCount() - 1).max + 1;
    std::vector<std::string> codes;
    for (std::int32_t r = 0; r < keys.Count(); ++r)
        if (!keys.Code(r).empty())
            codes.emplace_back(keys.Code(r));
    if (codes.empty()) {
        std::fprintf(stderr, "tolmere-bench: modkey.txt holds no codes\n");
        std::exit(1);
    }

    std::vector<std::string> header(static_cast<std::size_t>(columns));
    header[0] = "index";
    header[1] = "version";
    header[2] = "enabled";
    header[static_cast<std::size_t>(layout.codeColumn)] = "code";
    header[static_cast<std::size_t>(layout.shownColumn)] = "level";
    header[5] = "level req";
    header[6] = "rarity";
    header[7] = "cost mult";
    header[static_cast<std::size_t>(mods.countColumn)] = "nummods";
    static const char* const kFields[] = {"prop", "par", "min", "max"};
    for (int slot = 0; slot < mods.SlotCount(); ++slot)
        for (int f = 0; f < kSlotWidth; ++f)
            header[static_cast<std::size_t>(mods.CodeColumn(slot) + f)] =
                kFields[f] + std::to_string(slot + 1);

    std::string text;
    for (int c = 0; c < columns; ++c)
        text += header[static_cast<std::size_t>(c)] + (c + 1 < columns ? "\t" : "\r\n");

    std::mt19937 rng(0xde5c71u);
    std::vector<std::string> cells(static_cast<std::size_t>(columns));
    for (int row = 0; row < kRows; ++row) {
        for (std::string& cell : cells)
            cell.clear();
        const int used = 6 + static_cast<int>(rng() % 5);
        cells[0] = "Unique " + std::to_string(row);
        cells[1] = "100";
        cells[2] = "1";
        cells[static_cast<std::size_t>(layout.codeColumn)] = "cap";
        cells[static_cast<std::size_t>(layout.shownColumn)] = std::to_string(1 + rng() % 99);
        cells[static_cast<std::size_t>(mods.countColumn)] = std::to_string(used);
        for (int slot = 0; slot < mods.SlotCount(); ++slot) {
            const auto at = static_cast<std::size_t>(mods.CodeColumn(slot));
            if (slot >= used) {
                cells[at + kSlotParam] = cells[at + kSlotMin] = cells[at + kSlotMax] = "0";
                continue;
            }
            cells[at + kSlotCode] = rng() % 50 == 0 ? "no-such-code" : codes[rng() % codes.size()];
            cells[at + kSlotParam] = rng() % 4 == 0 ? std::to_string(rng() % 30) : "0";
            const int low = 1 + static_cast<int>(rng() % 100);
            cells[at + kSlotMin] = std::to_string(low);
            cells[at + kSlotMax] = std::to_string(low + static_cast<int>(rng() % 100));
        }
        for (int c = 0; c < columns; ++c)
            text += cells[static_cast<std::size_t>(c)] + (c + 1 < columns ? "\t" : "\r\n");
    }
    return text;
}

void BM_DescribeAllRows(benchmark::State& state) {
    const CModKeys& keys = Keys();
    const std::string text = MakeUniqueItemsText(keys);
    CTxtTable table;
    table.Parse(text.data(), text.size());
    if (table.DataRowCount() != kRows) {
        state.SkipWithError("the generated table did not parse into 2,000 rows");
        return;
    }
    const SlotList slots = ClassicUniqueLayout().modifiers.slots;
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (std::int32_t row = 0; row < kRows; ++row) {
            std::vector<ModLine> described = DescribeModifiers(table, row, slots, keys);
            lines += described.size();
            benchmark::DoNotOptimize(described.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRows);
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DescribeAllRows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace tolmere
