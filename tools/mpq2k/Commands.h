// The commands mpq2k understands. Each returns the process exit status:
// 0 success, 1 failure (already reported on stderr, one line per problem).
#pragma once

#include <string>

namespace mpq2k {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int RunExtract(const std::string& archive, const std::string& name, const std::string& dir);
int RunAdd(const std::string& archive, const std::string& file, const std::string& name);
int RunScript(const std::string& script);
int RunList(const std::string& archive);

} // namespace mpq2k
