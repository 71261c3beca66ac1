// SPDX-License-Identifier: MIT
// The game's own wording on the real 1.14d tables: loading the tables it needs, and
// describing one item (each iteration takes the next item of UniqueItems.txt).
#include "items/UniqueLayout.h"
#include "mods/GameDescribe.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tolmere {
namespace {

const std::string kRealDir = TOLMERE_REAL_DIR "/114d";

void BM_LoadGameTables(benchmark::State& state) {
    for (auto _ : state) {
        CGameData game;
        std::string error;
        if (!game.LoadFolder(kRealDir, error)) {
            state.SkipWithError((error + ": real game tables not measured").c_str());
            return;
        }
        benchmark::DoNotOptimize(game);
    }
}
BENCHMARK(BM_LoadGameTables)->Unit(benchmark::kMillisecond);

void BM_DescribeOneItem(benchmark::State& state) {
    CGameData game;
    CTxtTable unique;
    std::string error;
    if (!game.LoadFolder(kRealDir, error) || !unique.Load(kRealDir + "/UniqueItems.txt") ||
        unique.DataRowCount() == 0) {
        state.SkipWithError("real game tables not found: not measured");
        return;
    }
    CStringTables strings;
    strings.Patch().Read(kRealDir + "/patchstring.tbl");
    const SlotList slots = RecogniseUniqueItems(unique).modifiers.slots;
    const CGameDescriber describer(game, strings);
    std::int32_t row = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(describer.Describe(unique, row, slots));
        row = (row + 1) % unique.DataRowCount();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DescribeOneItem)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tolmere
