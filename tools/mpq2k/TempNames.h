// SPDX-License-Identifier: MIT
// The names mpq2k gives its temporaries, and the sweep that removes the ones a killed run
// left behind (SIGKILL and power cuts give the run no chance to remove them itself).
#pragma once

#include <string>

namespace mpq2k {

// DIRECTORY/PREFIX.mpq2k-XXXXXX, for TempFile::Create. PREFIX is the archive's name for its
// working copies and "." + the file's name for extracted files.
std::string TempPattern(const std::string& directory, const std::string& prefix);

// Removes from `directory` the temporaries no live run holds (TempFile keeps an flock on each
// for its whole life), and StormLib's ".tmp" beside them. Only the exact shape of our names
// is touched: PREFIX.mpq2k- and six letters or digits, with or without ".tmp".
void RemoveStaleTemps(const std::string& directory);

} // namespace mpq2k
