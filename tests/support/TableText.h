// SPDX-License-Identifier: MIT
// Text shaped like the game's tab-separated tables: it compresses, but not to nothing.
// Header-only, so that the stand-alone archive tool's tests and benchmarks share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace tolmere::testing {

inline std::string TableText(std::uint32_t seed, std::size_t size) {
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < size) {
        text += std::to_string(rng() % 100000);
        text += (rng() % 8 == 0) ? "\r\n" : "\t";
    }
    text.resize(size);
    return text;
}

} // namespace tolmere::testing
