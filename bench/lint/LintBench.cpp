// SPDX-License-Identifier: MIT
// Every check over the game's own 1.14d tables, and over a 10,000-row unique items
// table made from them, as the Problems view runs them after each edit.
#include "lint/Lint.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tolmere {
namespace {

constexpr std::int32_t kGeneratedRows = 10000;

struct Stock {
    bool loaded = false;
    CTxtTable uniqueItems, setItems, sets;
    GameTables tables;
    CGameData game;
    CStringTables strings;
};

const Stock& Stock114d() {
    static Stock stock;
    static const bool once = [] {
        const std::string dir = TOLMERE_REAL_DIR "/114d/";
        bool ok = stock.uniqueItems.Load(dir + "UniqueItems.txt") &&
                  stock.setItems.Load(dir + "SetItems.txt") && stock.sets.Load(dir + "Sets.txt") &&
                  stock.strings.Patch().Read(dir + "patchstring.tbl");
        for (std::size_t i = 0; ok && i < GameTables::FileNames().size(); ++i)
            ok = stock.tables[i].Load(dir + GameTables::FileNames()[i]);
        ok = ok &&
             stock.strings.Table(StringSource::kExpansion)
                 .Read(TOLMERE_REAL_DIR "/strings/expansionstring.tbl") &&
             stock.strings.Table(StringSource::kBase).Read(TOLMERE_REAL_DIR "/strings/string.tbl");
        stock.game.Assign(stock.tables);
        stock.loaded = ok;
        return ok;
    }();
    (void)once;
    return stock;
}

void BM_LintStock114d(benchmark::State& state) {
    const Stock& stock = Stock114d();
    if (!stock.loaded) {
        state.SkipWithError("the real 1.14d tables are not beside the project");
        return;
    }
    const LintInput input{&stock.uniqueItems, &stock.setItems, &stock.sets, &stock.game,
                          &stock.strings};
    for (auto _ : state)
        benchmark::DoNotOptimize(LintTables(input));
}
BENCHMARK(BM_LintStock114d)->Unit(benchmark::kMillisecond);

// The stock items over and over, each under a key of its own that patchstring.tbl
// holds; one in fifty has a code with a trailing space, so that problems are made too.
void BM_LintGenerated10000(benchmark::State& state) {
    const Stock& stock = Stock114d();
    if (!stock.loaded) {
        state.SkipWithError("the real 1.14d tables are not beside the project");
        return;
    }
    const CTxtTable& source = stock.uniqueItems;
    std::string text;
    for (std::int32_t c = 0; c < source.ColumnCount(); ++c)
        text += std::string(c ? "\t" : "") + std::string(*source.HeaderCell(c));
    text += "\r\n";
    CStringTables strings;
    for (std::int32_t row = 0; row < kGeneratedRows; ++row) {
        const std::int32_t from = row % source.DataRowCount();
        const std::string key = "Item " + std::to_string(row);
        strings.Patch().Add(key, key);
        for (std::int32_t c = 0; c < source.ColumnCount(); ++c) {
            std::string cell(c == 0 ? key : source.Text(from, c));
            if (row % 50 == 0 && *source.HeaderCell(c) == "prop1")
                cell += " ";
            text += (c ? "\t" : "") + cell;
        }
        text += "\r\n";
    }
    CTxtTable uniqueItems;
    uniqueItems.Parse(std::move(text));
    const LintInput input{&uniqueItems, nullptr, nullptr, &stock.game, &strings};
    std::size_t problems = 0;
    for (auto _ : state)
        problems = LintTables(input).size();
    state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(BM_LintGenerated10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tolmere
