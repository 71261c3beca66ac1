// SPDX-License-Identifier: MIT
// Compiling the five tables of the 1.14d patch archive that ship with a .bin: the work
// Spawn On adds to a write. Target: all five together under 20 ms.
#include "compiled/BinInputs.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace tolmere {
namespace {

const std::string kRealDir = TOLMERE_REAL_DIR "/114d";
const std::string kStringsDir = TOLMERE_REAL_DIR "/strings";
const char* const kTables[] = {"UniqueItems", "SetItems", "Sets", "Properties", "ItemStatCost"};

struct Input {
    CTxtTable table;
    const BinLayout* layout = nullptr;
    std::unique_ptr<CBinLinks> links = std::make_unique<CBinLinks>();
};

// The tables and what they link to, read once; empty with `error` set when they are
// not there.
std::vector<Input> LoadInputs(bool withLinks, std::string& error) {
    std::vector<Input> inputs(std::size(kTables));
    for (std::size_t i = 0; i < inputs.size() && error.empty(); ++i) {
        if (!inputs[i].table.Load(kRealDir + "/" + kTables[i] + ".txt", &error))
            break;
        inputs[i].layout = FindBinLayout(inputs[i].table);
        if (withLinks)
            error = LoadBinLinks(*inputs[i].layout, kRealDir, kStringsDir, *inputs[i].links);
    }
    if (!error.empty())
        inputs.clear();
    return inputs;
}

// The compile, with the linked tables at hand or (`fromDisk`) with them and the string
// tables read from disk for each table.
void BM_CompileFiveTables(benchmark::State& state, bool fromDisk) {
    std::string error;
    const std::vector<Input> inputs = LoadInputs(!fromDisk, error);
    if (inputs.empty()) {
        state.SkipWithError((error + ": real game tables not measured").c_str());
        return;
    }
    std::string out;
    for (auto _ : state)
        for (const Input& input : inputs) {
            CBinLinks fresh;
            if (fromDisk)
                LoadBinLinks(*input.layout, kRealDir, kStringsDir, fresh);
            CompileBin(input.table, *input.layout, fromDisk ? fresh : *input.links, out);
            benchmark::DoNotOptimize(out.data());
        }
}
BENCHMARK_CAPTURE(BM_CompileFiveTables, linked_tables_at_hand, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CompileFiveTables, linked_tables_read, true)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tolmere
