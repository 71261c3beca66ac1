// SPDX-License-Identifier: MIT
// Raw Edit's spreadsheet operations on a table far larger than any mod's: 20,000 rows
// of 170 columns, shaped like the item tables (a name, codes, small numbers, modifier
// groups of which the first few are filled).
#include "grid/GridFind.h"
#include "grid/GridOps.h"
#include "grid/GridUndo.h"
#include "grid/Tsv.h"

#include <benchmark/benchmark.h>

#include <iterator>
#include <random>
#include <string>

namespace tolmere {
namespace {

constexpr int kRows = 20000;
constexpr int kColumns = 170;
constexpr int kLeadColumns = 10;

const char* const kProps[] = {"ac",   "ac%",  "str",      "dex",      "res-fire", "res-all",
                              "mana", "hp",   "dmg%",     "sock",     "light",    "regen",
                              "att",  "gold", "dmg-cold", "fireskill"};

CGridModel& Model() {
    static CGridModel model = [] {
        CGridModel m;
        for (int c = 0; c < kColumns; ++c)
            m.AddColumn(GridColumn{});
        m.FinishColumns();
        std::mt19937 rng(0x25U);
        for (int r = 0; r < kRows; ++r) {
            m.AddRow();
            const int groups = 4 + static_cast<int>(rng() % 24);
            for (int c = 0; c < kColumns; ++c) {
                std::string cell;
                if (c == 0)
                    cell = "Item " + std::to_string(r);
                else if (c < kLeadColumns)
                    cell = rng() % 3 == 0 ? std::string() : std::to_string(rng() % 100);
                else if ((c - kLeadColumns) / 4 < groups) {
                    const int slot = (c - kLeadColumns) % 4;
                    cell = slot == 0   ? kProps[rng() % std::size(kProps)]
                           : slot == 1 ? ""
                                       : std::to_string(rng() % (slot == 2 ? 40 : 300));
                }
                m.Fill(r, c, cell);
            }
        }
        return m;
    }();
    return model;
}

void BM_FindAll(benchmark::State& state) {
    const CGridModel& model = Model();
    const CCellMatcher matcher("RES-ALL", {false, true, false, -1});
    std::size_t hits = 0;
    for (auto _ : state)
        hits = FindAll(model, matcher).size();
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_FindAll)->Unit(benchmark::kMillisecond);

void BM_FindAllPartOfACell(benchmark::State& state) {
    const CGridModel& model = Model();
    const CCellMatcher matcher("Fire", {});
    std::size_t hits = 0;
    for (auto _ : state)
        hits = FindAll(model, matcher).size();
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_FindAllPartOfACell)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllPreview(benchmark::State& state) {
    const CGridModel& model = Model();
    const CCellMatcher matcher("res-all", {true, true, false, -1});
    std::size_t cells = 0;
    for (auto _ : state)
        cells = ReplaceAll(model, matcher, "res-fire").changes.size();
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_ReplaceAllPreview)->Unit(benchmark::kMillisecond);

void BM_SortView(benchmark::State& state) {
    const CGridModel& model = Model();
    for (auto _ : state)
        benchmark::DoNotOptimize(SortedRows(model, 12, false));
}
BENCHMARK(BM_SortView)->Unit(benchmark::kMillisecond);

void BM_SelectAllAndCopy(benchmark::State& state) {
    CGridModel& model = Model();
    std::size_t bytes = 0;
    for (auto _ : state) {
        model.SelectRange(GridRange::All(model));
        bytes = EncodeTsv(model, model.Selection()).size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SelectAllAndCopy)->Unit(benchmark::kMillisecond);

// 100 × 100 cells decoded from the clipboard's text and written as one undo step, then
// taken back so that every round starts from the same table.
void BM_Paste10000Cells(benchmark::State& state) {
    CGridModel& model = Model();
    CellBlock block(100, std::vector<std::string>(100, "42"));
    const std::string text = EncodeTsv(block);
    CGridUndo undo;
    for (auto _ : state) {
        const GridEditResult result = PasteBlock(model, {5000, 20}, DecodeTsv(text));
        undo.Apply(model, result, "Paste");
        state.PauseTiming();
        undo.Undo(model);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Paste10000Cells)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tolmere
