// Commands of tolmere-cli that live in files of their own, and what they share.
#pragma once

#include <string>
#include <vector>

namespace tolmere {

class CStringTables;
class CTxtTable;

// Each returns the process exit code and prints one line on stderr on failure.
int Dc6Command(const std::vector<std::string>& args);
int ResourceCommand(const std::vector<std::string>& args);
int DescribeCommand(const std::vector<std::string>& args);
int ModCommand(const std::vector<std::string>& args);

// Prints "tolmere-cli: MESSAGE" on stderr; returns exit code 1.
int Fail(const std::string& message);
// Prints "tolmere-cli: warning: MESSAGE" on stderr.
void Warn(const std::string& message);
// Writes the bytes to the file, safely, or to standard output for "-".
bool Emit(const std::string& path, const std::string& bytes);
// Loads a table; on failure says why and returns false.
bool LoadTable(const std::string& path, CTxtTable& table);
// Reads string.tbl, expansionstring.tbl and patchstring.tbl from a folder (any that
// are there); false, having said why, when one cannot be read or none is there.
bool LoadStringFolder(const std::string& dir, CStringTables& strings);

} // namespace tolmere
