// Finding the game's installation directory from the registry.
#pragma once

#include <optional>
#include <string>

namespace tolmere {

// Where the registry lives and how Windows paths map onto this system's files.
struct RegistryPlace {
    std::string prefix; // a Wine prefix: system.reg, user.reg, dosdevices/
};

// The Wine prefix this process would use: $WINEPREFIX, else ~/.wine.
RegistryPlace DefaultRegistryPlace();

// The game directory, ending with '/', from the value "InstallPath" of the game's
// key: under the local machine first; only when that key exists without the value,
// under the current user. Empty when not found.
std::optional<std::string> DetectGameDir(const RegistryPlace& place = DefaultRegistryPlace());

// Turns a Windows path ("C:\Program Files\Diablo II") into a path of this system
// through the prefix's dosdevices, finding each component without regard to case
// where the exact name does not exist. A path that already starts with '/' is kept.
std::string MapWindowsPath(const std::string& prefix, const std::string& windowsPath);

} // namespace tolmere
