// SPDX-License-Identifier: MIT
// The most heap memory some work held at once, for benchmarks that report memory beside
// time. Counting is off outside PeakHeap, so other benchmarks are not slowed.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolmere::bench {

void StartHeapCount();
std::int64_t StopHeapCount();

// The most heap `work` held at once beyond what was in use when it began. Blocks freed
// during the work that were allocated before it would lower the figure, so `work` must
// only free what it allocated itself.
template <typename Work> std::int64_t PeakHeap(Work&& work) {
    StartHeapCount();
    work();
    return StopHeapCount();
}

// As peak_bytes and peak_x_file (that peak over the file's size).
void ReportPeak(benchmark::State& state, std::size_t fileBytes, std::int64_t peak,
                const std::string& name = "peak");

} // namespace tolmere::bench
