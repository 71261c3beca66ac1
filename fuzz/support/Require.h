// SPDX-License-Identifier: MIT
// Invariant checks for the fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace tolmere::fuzz {

// Names the broken invariant on stderr before aborting, so that a crash log read
// without the source still says what went wrong; libFuzzer saves the input on abort.
inline void Require(bool holds, const char* invariant) {
    if (holds)
        return;
    std::fprintf(stderr, "invariant failed: %s\n", invariant);
    std::abort();
}

} // namespace tolmere::fuzz
