// SPDX-License-Identifier: MIT
// Scratch files for tests: a private directory removed with everything in it.
#pragma once

#include <string>

namespace tolmere::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// Names in the directory, sorted.
std::string ListDir(const std::string& path);

} // namespace tolmere::testing
