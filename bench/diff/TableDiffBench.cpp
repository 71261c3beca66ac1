// SPDX-License-Identifier: MIT
// The diff of two versions of a table: two 1,000-row unique items tables of the game
// (built from its own rows), and two 20 MB generated tables, whose run also reports the
// most heap memory that loading both and comparing them held at once, over the two
// files' size together (peak_x_file).
#include "diff/TableDiff.h"
#include "support/HeapPeak.h"
#include "tables/TableFile.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace tolmere {
namespace {

// The game's table grown to `rows` data rows by repeating its rows under new keys.
bool GameTable(std::int32_t rows, CTxtTable& table) {
    CTxtTable stock;
    std::string error;
    if (!LoadTableFile(TOLMERE_REAL_DIR "/114d/UniqueItems.txt", stock, error))
        return false;
    std::string text;
    for (std::int32_t c = 0; c < stock.ColumnCount(); ++c)
        text += std::string(c ? "\t" : "") + std::string(*stock.HeaderCell(c));
    text += "\r\n";
    for (std::int32_t row = 0; row < rows; ++row) {
        const std::int32_t from = row % stock.DataRowCount();
        for (std::int32_t c = 0; c < stock.ColumnCount(); ++c) {
            text += c ? "\t" : "";
            text += stock.Text(from, c);
            if (c == 0 && row >= stock.DataRowCount())
                text += " " + std::to_string(row / stock.DataRowCount());
        }
        text += "\r\n";
    }
    table.Parse(text);
    return true;
}

// A mod of the table: a level in every twentieth row, the first two modifiers of every
// fiftieth swapped, a row gone and one added.
CTxtTable Modded(const CTxtTable& table, std::int32_t levelColumn, std::int32_t slotColumn) {
    CTxtTable mod = table;
    for (std::int32_t row = 0; row < mod.DataRowCount(); row += 20)
        mod.SetCell(row, levelColumn, "99");
    for (std::int32_t row = 7; row < mod.DataRowCount(); row += 50) {
        for (std::int32_t c = 0; c < 4; ++c) {
            const std::string first(mod.Text(row, slotColumn + c));
            mod.SetCell(row, slotColumn + c, std::string(mod.Text(row, slotColumn + 4 + c)));
            mod.SetCell(row, slotColumn + 4 + c, first);
        }
    }
    mod.SetCell(3, 0, "Gone");
    mod.AddRow();
    mod.SetCell(mod.DataRowCount() - 1, 0, "New");
    return mod;
}

void BM_DiffGameTables(benchmark::State& state) {
    CTxtTable stock;
    if (!GameTable(1000, stock)) {
        state.SkipWithError("the game's tables are not there");
        return;
    }
    const CTxtTable mod = Modded(stock, 6, 21);
    for (auto _ : state)
        benchmark::DoNotOptimize(DiffTables(stock, mod).rows.size());
    state.counters["changed_rows"] = static_cast<double>(DiffTables(stock, mod).rows.size());
}
BENCHMARK(BM_DiffGameTables)->Unit(benchmark::kMillisecond);

// About 20 MB: a key, a level, twelve modifier slots and filler columns, rows of
// distinct keys with a few repeated.
std::string Generated(std::size_t bytes, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::string text = "index\tcode\tlvl";
    for (int n = 1; n <= 12; ++n)
        for (const char* field : {"prop", "par", "min", "max"})
            text += "\t" + std::string(field) + std::to_string(n);
    for (int n = 0; n < 20; ++n)
        text += "\tx" + std::to_string(n);
    text += "\r\n";
    static const char* const kCodes[] = {"str", "dex", "ac", "res-all", "dmg%", "mana", "hp"};
    for (std::uint32_t row = 0; text.size() < bytes; ++row) {
        text += "Item " + std::to_string(row % 50000 == 7 ? 7 : row) + "\tcap\t" +
                std::to_string(row % 99);
        for (int n = 0; n < 12; ++n)
            text += n < 4 ? "\t" + std::string(kCodes[rng() % 7]) + "\t\t" +
                                std::to_string(rng() % 20) + "\t" + std::to_string(rng() % 40)
                          : "\t\t\t\t";
        for (int n = 0; n < 20; ++n)
            text += "\t" + std::to_string(rng() % 1000);
        text += "\r\n";
    }
    return text;
}

void BM_DiffGenerated20MB(benchmark::State& state) {
    const std::string beforeText = Generated(20u << 20, 1);
    CTxtTable before, after;
    before.Parse(beforeText);
    after = Modded(before, 2, 3);
    const std::string afterText = after.Serialize();
    for (auto _ : state)
        benchmark::DoNotOptimize(DiffTables(before, after).rows.size());
    const std::int64_t peak = bench::PeakHeap([&] {
        CTxtTable a, b;
        a.Parse(beforeText);
        b.Parse(afterText);
        benchmark::DoNotOptimize(DiffTables(a, b).rows.size());
    });
    bench::ReportPeak(state, beforeText.size() + afterText.size(), peak);
    state.counters["rows"] = before.DataRowCount();
}
BENCHMARK(BM_DiffGenerated20MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace tolmere
