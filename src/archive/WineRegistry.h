// SPDX-License-Identifier: MIT
// Reads values from the text files in which Wine keeps its registry.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace tolmere {

// One registry file (system.reg or user.reg) parsed into keys and their values.
// Key paths are compared without regard to case; value names too, as Windows does.
class CWineRegistryFile {
public:
    bool Load(const std::string& path);
    void Parse(const std::string& text);

    bool HasKey(const std::string& keyPath) const;
    // The value's data as text; string values are decoded from their escapes (UTF-8),
    // hex(1)/hex(2) values from UTF-16LE. Empty when the key or value is missing.
    std::optional<std::string> Value(const std::string& keyPath, const std::string& name) const;

    // Lower-cased key path with single backslashes, as stored in the map.
    static std::string NormalKey(const std::string& keyPath);

private:
    std::map<std::string, std::map<std::string, std::string>> keys_;
};

} // namespace tolmere
