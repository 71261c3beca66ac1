// SPDX-License-Identifier: MIT
// The copy Spawn On keeps of the patch archive before its first write: how fast, and how
// little memory, whatever the archive's size. A mod's patch archive runs to hundreds of
// megabytes; the copy must not cost that in memory.
#include "archive/Backups.h"
#include "support/BenchTemp.h"
#include "support/HeapPeak.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tolmere {
namespace {

void BM_BackupArchive(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
    const std::string game = bench::ScratchPath("game-" + std::to_string(state.range(0)));
    const std::string archive = game + "/patch_d2.mpq";
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; i += 4096)
        bytes[i] = static_cast<char>(i >> 12);
    std::filesystem::create_directories(game);
    bench::WriteScratchFile(archive, bytes);
    bytes = std::string();
    const std::string backups = bench::ScratchPath("backups");
    std::string error;
    const auto copy = [&] {
        if (BackupArchive(archive, game, backups, error, 1).empty()) {
            state.SkipWithError(error.c_str());
        }
    };
    for (auto _ : state)
        copy();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    bench::ReportPeak(state, size, bench::PeakHeap(copy));
}
BENCHMARK(BM_BackupArchive)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace tolmere
