// SPDX-License-Identifier: MIT
// Scratch files for the benchmarks, removed again when the program ends.
#pragma once

#include <string>

namespace tolmere::bench {

// A private directory under the system's temporary directory (TMPDIR is honoured),
// made on first use and deleted with everything in it at exit. Save and Write
// replace files through a temporary beside the target, so the directory must be
// writable, not just the file.
const std::string& ScratchDir();

// A path inside ScratchDir(); the file itself is not created.
std::string ScratchPath(const std::string& name);

// Writes the bytes as they are; aborts the benchmark program when that fails, since
// every figure after it would be meaningless.
void WriteScratchFile(const std::string& path, const std::string& bytes);

} // namespace tolmere::bench
