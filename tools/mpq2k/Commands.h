// SPDX-License-Identifier: MIT
// The commands mpq2k understands. Each returns the process exit status (a failure is
// already reported on stderr, one line per problem). The editor tells a file that is
// simply not in an archive (3, 4: it tries the next archive) from one that could not
// be read (1: it shows the reason).
#pragma once

#include <string>
#include <vector>

namespace mpq2k {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotInArchive = 3; // the archive opened, the file is not in it
constexpr int kExitNoArchive = 4;    // there is no such archive
constexpr int kExitBusy = 5;         // another mpq2k kept writing into the folder too long

int RunExtract(const std::string& archive, const std::string& name, const std::string& dir);
// `pairs` is FILE NAME [FILE NAME]...: every file goes into the archive, or none does.
int RunAdd(const std::string& archive, const std::vector<std::string>& pairs);
int RunScript(const std::string& script);
int RunList(const std::string& archive);

} // namespace mpq2k
