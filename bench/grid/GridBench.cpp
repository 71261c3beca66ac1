// SPDX-License-Identifier: MIT
// The raw grid at the size of the largest item tables: filling it, what its cells
// take in memory, and painting one screenful after a page scroll. Painting needs an
// application object, so this is a program of its own on the offscreen platform.
#include "grid/GridModel.h"
#include "ui/Griddor.h"
#include "ui/SkinLook.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tolmere {
namespace {

constexpr int kRows = 2000;
constexpr int kColumns = 170;
constexpr int kLeadColumns = 10; // name, codes and levels before the modifier groups

const char* const kWords[] = {"Storm", "Grave", "Iron",   "Bone",  "Frost", "Ember",
                              "Thorn", "Wolf",  "Raven",  "Blood", "Crown", "Veil",
                              "Fang",  "Spire", "Mantle", "Grip",  "Talon", "Sigil"};
const char* const kCodes[] = {"cap", "skp", "hlm", "lea", "rng", "amu", "buc", "gth", "xpk"};
const char* const kProps[] = {"ac",   "ac%",  "str",      "dex",      "res-fire", "res-all",
                              "mana", "hp",   "dmg%",     "sock",     "light",    "regen",
                              "att",  "gold", "dmg-cold", "fireskill"};

struct Table {
    std::vector<std::string> cells; // row by row
    std::size_t fileBytes = 0;      // as a tab file: every cell and its separator
    std::size_t cellBytes = 0;
};

// Shaped like the game's item tables: a name, a few codes and small numbers, then
// modifier groups (code, parameter, minimum, maximum) of which only the first few are
// filled. About half the cells are empty, as in the real tables.
const Table& MakeTable() {
    static const Table table = [] {
        Table t;
        std::mt19937 rng(0x6e1dU);
        const auto pick = [&rng](const auto& words) { return words[rng() % std::size(words)]; };
        const auto number = [&rng](int high) { return std::to_string(rng() % high); };
        t.cells.reserve(static_cast<std::size_t>(kRows) * kColumns);
        for (int r = 0; r < kRows; ++r) {
            const int groups = 4 + static_cast<int>(rng() % 24);
            for (int c = 0; c < kColumns; ++c) {
                std::string cell;
                if (c == 0)
                    cell = std::string(pick(kWords)) + " " + pick(kWords);
                else if (c == 1)
                    cell = pick(kCodes);
                else if (c < kLeadColumns)
                    cell = rng() % 3 == 0 ? std::string() : number(100);
                else if ((c - kLeadColumns) / 4 < groups) {
                    const int slot = (c - kLeadColumns) % 4;
                    cell = slot == 0 ? pick(kProps) : slot == 1 ? "" : number(slot == 2 ? 40 : 300);
                }
                t.fileBytes += cell.size() + 1;
                t.cellBytes += cell.size();
                t.cells.push_back(std::move(cell));
            }
        }
        return t;
    }();
    return table;
}

void AddColumns(CGridModel& model) {
    for (int c = 0; c < kColumns; ++c) {
        GridColumn column;
        column.header = "col" + std::to_string(c);
        model.AddColumn(column);
    }
    model.FinishColumns();
}

void BM_GridModelFill(benchmark::State& state) {
    const Table& table = MakeTable();
    std::size_t memory = 0;
    for (auto _ : state) {
        CGridModel model;
        AddColumns(model);
        std::size_t i = 0;
        for (int r = 0; r < kRows; ++r) {
            model.AddRow();
            for (int c = 0; c < kColumns; ++c)
                model.Fill(r, c, table.cells[i++]);
        }
        memory = model.MemoryBytes();
        benchmark::DoNotOptimize(model);
    }
    state.counters["memory_bytes"] = static_cast<double>(memory);
    state.counters["file_bytes"] = static_cast<double>(table.fileBytes);
    state.counters["memory_per_file_byte"] =
        static_cast<double>(memory) / static_cast<double>(table.fileBytes);
    state.counters["memory_per_cell_byte"] =
        static_cast<double>(memory) / static_cast<double>(table.cellBytes);
}
BENCHMARK(BM_GridModelFill)->Unit(benchmark::kMillisecond);

// The owner's way in: AddRow and SetCellText on the widget, scroll bars kept in step.
void FillGrid(CGriddor& grid) {
    const Table& table = MakeTable();
    for (int c = 0; c < kColumns; ++c) {
        GridColumn column;
        column.header = "col" + std::to_string(c);
        column.width = c == 0 ? 120 : 60;
        grid.AddColumn(column);
    }
    grid.FinishColumns();
    std::size_t i = 0;
    for (int r = 0; r < kRows; ++r) {
        grid.AddRow();
        for (int c = 0; c < kColumns; ++c)
            grid.SetCellText(r, c, table.cells[i++]);
    }
}

void BM_GriddorFill(benchmark::State& state) {
    for (auto _ : state) {
        CGriddor grid(nullptr);
        grid.resize(1000, 600);
        FillGrid(grid);
        benchmark::DoNotOptimize(grid.RowCount());
    }
}
BENCHMARK(BM_GriddorFill)->Unit(benchmark::kMillisecond);

void BM_GriddorPaintAfterPageScroll(benchmark::State& state) {
    CGriddor grid(nullptr);
    grid.resize(1000, 600);
    FillGrid(grid);
    grid.show();
    QApplication::processEvents();
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    bool down = true;
    for (auto _ : state) {
        grid.verticalScrollBar()->triggerAction(down ? QAbstractSlider::SliderPageStepAdd
                                                     : QAbstractSlider::SliderPageStepSub);
        down = grid.TopRow() < grid.Model().MaxTopRow() / 2;
        grid.viewport()->render(&image);
    }
    state.counters["visible_rows"] = grid.VisibleRows();
    state.counters["viewport_width"] = grid.viewport()->width();
}
BENCHMARK(BM_GriddorPaintAfterPageScroll)->Unit(benchmark::kMicrosecond);

// The same page scrolls with a thousand found cells highlighted and a selected block.
void BM_GriddorPaintWith1000Hits(benchmark::State& state) {
    CGriddor grid(nullptr);
    grid.resize(1000, 600);
    FillGrid(grid);
    std::vector<GridCell> hits;
    for (int r = 0; r < kRows && hits.size() < 1000; r += 2)
        for (int c = 0; c < 12 && hits.size() < 1000; c += 3)
            hits.push_back({r, c});
    grid.SetHits(hits);
    grid.SelectRange({0, 0, kRows - 1, 5});
    grid.show();
    QApplication::processEvents();
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    bool down = true;
    for (auto _ : state) {
        grid.verticalScrollBar()->triggerAction(down ? QAbstractSlider::SliderPageStepAdd
                                                     : QAbstractSlider::SliderPageStepSub);
        down = grid.TopRow() < 400;
        grid.viewport()->render(&image);
    }
}
BENCHMARK(BM_GriddorPaintWith1000Hits)->Unit(benchmark::kMicrosecond);

// What Ctrl+A, Ctrl+C put on the clipboard: every cell as the screen shows it.
void BM_GriddorSelectAllText(benchmark::State& state) {
    CGriddor grid(nullptr);
    grid.resize(1000, 600);
    FillGrid(grid);
    for (auto _ : state) {
        grid.SelectRange({0, 0, kRows - 1, kColumns - 1});
        benchmark::DoNotOptimize(grid.SelectionText());
    }
    state.counters["cells"] = static_cast<double>(kRows) * kColumns;
}
BENCHMARK(BM_GriddorSelectAllText)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tolmere

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tolmere::InstallFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
