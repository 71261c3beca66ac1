// SPDX-License-Identifier: MIT
#include "support/HeapPeak.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

// Heap bytes in use while a measurement runs, and the most there were. Off, the only cost
// is one flag test per allocation, so the other benchmarks in this program are not slowed.
// Blocks are weighed by malloc_usable_size, which gives the same figure on both sides
// whether or not the caller passes a size to delete.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<std::int64_t> gLive{0};
std::atomic<std::int64_t> gPeak{0};

void* CountedAlloc(std::size_t size) {
    for (;;) {
        if (void* block = std::malloc(size == 0 ? 1 : size)) {
            if (gCounting.load(std::memory_order_relaxed)) {
                const std::int64_t live =
                    gLive.fetch_add(static_cast<std::int64_t>(malloc_usable_size(block)),
                                    std::memory_order_relaxed) +
                    static_cast<std::int64_t>(malloc_usable_size(block));
                std::int64_t peak = gPeak.load(std::memory_order_relaxed);
                while (live > peak && !gPeak.compare_exchange_weak(peak, live))
                    ;
            }
            return block;
        }
        // The program's own out-of-memory handling runs through the new handler.
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void CountedFree(void* block) noexcept {
    if (block && gCounting.load(std::memory_order_relaxed))
        gLive.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)),
                        std::memory_order_relaxed);
    std::free(block);
}
} // namespace

void* operator new(std::size_t size) {
    return CountedAlloc(size);
}
void* operator new[](std::size_t size) {
    return CountedAlloc(size);
}
void operator delete(void* block) noexcept {
    CountedFree(block);
}
void operator delete[](void* block) noexcept {
    CountedFree(block);
}
void operator delete(void* block, std::size_t) noexcept {
    CountedFree(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    CountedFree(block);
}

namespace tolmere::bench {

void StartHeapCount() {
    gLive.store(0);
    gPeak.store(0);
    gCounting.store(true);
}

std::int64_t StopHeapCount() {
    gCounting.store(false);
    return gPeak.load();
}

void ReportPeak(benchmark::State& state, std::size_t fileBytes, std::int64_t peak,
                const std::string& name) {
    state.counters[name + "_bytes"] = static_cast<double>(peak);
    state.counters[name + "_x_file"] = static_cast<double>(peak) / static_cast<double>(fileBytes);
}

} // namespace tolmere::bench
