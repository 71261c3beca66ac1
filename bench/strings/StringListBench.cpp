// SPDX-License-Identifier: MIT
// The Strings window's list on the real English tables (about 8,700 keys): opening it
// (reading the three tables and building the rows) and narrowing it as a word is typed.
#include "strings/StringList.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tolmere {
namespace {

bool ReadReal(CStringTables& tables) {
    const std::string real = TOLMERE_REAL_DIR;
    return tables.Patch().Read(real + "/114d/patchstring.tbl") &&
           tables.Table(StringSource::kExpansion).Read(real + "/strings/expansionstring.tbl") &&
           tables.Table(StringSource::kBase).Read(real + "/strings/string.tbl");
}

// False, with the benchmark skipped, when the real tables are not there.
bool ReadOrSkip(CStringTables& tables, benchmark::State& state) {
    if (ReadReal(tables))
        return true;
    state.SkipWithError("the real string tables are not beside the project");
    return false;
}

void BM_OpenStringList(benchmark::State& state) {
    for (auto _ : state) {
        CStringTables tables;
        if (!ReadOrSkip(tables, state))
            return;
        CStringList list;
        list.Build(tables);
        benchmark::DoNotOptimize(list.Filter(StringFilter{}).size());
    }
}
BENCHMARK(BM_OpenStringList)->Unit(benchmark::kMillisecond);

// Every keystroke of "enhanced damage" searched over the whole list: the slowest way a
// search can go, as if each keystroke were the first.
void BM_SearchKeystroke(benchmark::State& state) {
    CStringTables tables;
    if (!ReadOrSkip(tables, state))
        return;
    CStringList list;
    list.Build(tables);
    const std::string word = "enhanced damage";
    std::size_t found = 0;
    for (auto _ : state) {
        for (std::size_t length = 1; length <= word.size(); ++length) {
            StringFilter filter;
            filter.query = word.substr(0, length);
            found += list.Filter(filter).size();
        }
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(word.size()));
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tolmere
