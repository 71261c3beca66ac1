// SPDX-License-Identifier: MIT
// Writing and reading a string table of 20,000 entries.
#include "support/BenchTemp.h"
#include "tables/StrTbl.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace tolmere {
namespace {

constexpr int kEntries = 20000;

// Keys the way item tables name them ("item0001234") and texts of 10 to 40 bytes
// made of words, so the sizes match a real language file.
void Fill(CStrTbl& table) {
    static const char* const kWords[] = {"the",   "of",    "Storm",  "Grave", "Iron", "Bone",
                                         "Frost", "Ember", "Shadow", "Wolf",  "Ash",  "Crown",
                                         "Veil",  "Fang",  "ward",   "grip",  "coil", "brand"};
    std::mt19937 rng(0x5717b1u);
    char key[16];
    for (int i = 0; i < kEntries; ++i) {
        std::snprintf(key, sizeof key, "item%07d", i);
        const std::size_t length = 10 + rng() % 31;
        std::string text;
        while (text.size() < length) {
            if (!text.empty())
                text += ' ';
            text += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
        }
        text.resize(length);
        table.Add(key, text);
    }
}

CStrTbl& Table() {
    static CStrTbl table;
    static const bool filled = (Fill(table), true);
    (void)filled;
    return table;
}

// The table written once, for the read side.
const std::string& TableFile() {
    static const std::string path = [] {
        std::string p = bench::ScratchPath("strings.tbl");
        if (!Table().Write(p)) {
            std::fprintf(stderr, "tolmere-bench: cannot write %s\n", p.c_str());
            std::exit(1);
        }
        return p;
    }();
    return path;
}

void BM_StrTblWrite(benchmark::State& state) {
    CStrTbl& table = Table();
    const std::string target = bench::ScratchPath("written.tbl");
    for (auto _ : state) {
        if (!table.Write(target)) {
            state.SkipWithError("Write failed");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kEntries);
}
BENCHMARK(BM_StrTblWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StrTblSerialize(benchmark::State& state) {
    CStrTbl& table = Table();
    std::string bytes;
    for (auto _ : state) {
        if (!table.Serialize(bytes)) {
            state.SkipWithError("Serialize failed");
            break;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kEntries);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_StrTblSerialize)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StrTblRead(benchmark::State& state) {
    const std::string& path = TableFile();
    CStrTbl table;
    for (auto _ : state) {
        if (!table.Read(path)) {
            state.SkipWithError("Read failed");
            break;
        }
    }
    if (table.EntryCount() != kEntries)
        state.SkipWithError("Read lost entries");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kEntries);
}
BENCHMARK(BM_StrTblRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// Read without the file system, to tell the parser apart from the disk.
void BM_StrTblParse(benchmark::State& state) {
    std::string bytes;
    if (!Table().Serialize(bytes)) {
        state.SkipWithError("Serialize failed");
        return;
    }
    CStrTbl table;
    for (auto _ : state)
        table.Parse(bytes);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kEntries);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_StrTblParse)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace tolmere
