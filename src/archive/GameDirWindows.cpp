// SPDX-License-Identifier: MIT
// On Windows the game directory comes from the registry itself.
#ifdef _WIN32
#include "archive/GameDir.h"

#include <windows.h>

namespace tolmere {
namespace {

const char kMachineKey[] = "SOFTWARE\\Blizzard Entertainment\\Diablo II";
const char kUserKey[] = "Software\\Blizzard Entertainment\\Diablo II";

bool ReadInstallPath(HKEY key, std::string& value) {
    char buffer[8192];
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key, "InstallPath", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS)
        return false;
    buffer[size] = '\0';
    value = buffer;
    return true;
}

} // namespace

std::optional<std::string> DetectGameDir(const RegistryPlace&) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::string value;
    bool found = ReadInstallPath(key, value);
    RegCloseKey(key);
    if (!found) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        found = ReadInstallPath(key, value);
        RegCloseKey(key);
    }
    if (!found)
        return std::nullopt;
    return value.c_str() + std::string("\\");
}

} // namespace tolmere
#endif
