// Commands of tolmere-cli that live in files of their own.
#pragma once

#include <string>
#include <vector>

namespace tolmere {

// Both return the process exit code and print one line on stderr on failure.
int Dc6Command(const std::vector<std::string>& args);
int ResourceCommand(const std::vector<std::string>& args);

} // namespace tolmere
