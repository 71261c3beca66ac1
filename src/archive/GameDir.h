// SPDX-License-Identifier: MIT
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

// Where the user pointed the editor: `tolmere --game DIR` or `--prefix DIR`.
struct GameSearch {
    std::string gameDir; // a folder holding the game's archives
    std::string prefix;  // a Wine prefix whose registry knows the game
};

// `path` from the current folder, cleaned of "." and "..": tools run with the game
// folder as their working folder, so a path relative to ours would be looked for
// inside it. An absolute path is kept as it is.
std::string AbsolutePath(const std::string& path);

// A folder the editor can work on: it holds d2data.mpq or patch_d2.mpq (any case).
bool LooksLikeGameDir(const std::string& dir);

// The game directory, ending with '/', from the first of: the --game folder, the
// folder in $TOLMERE_GAME_DIR, the registry of the --prefix prefix, the registry of
// the default prefix. A folder given by name that holds no archive is not taken;
// `problem` then says so.
std::optional<std::string> FindGameDir(const GameSearch& search, std::string& problem);

// Turns a Windows path ("C:\Program Files\Diablo II") into a path of this system
// through the prefix's dosdevices, finding each component without regard to case
// where the exact name does not exist. A path that already starts with '/' is kept.
std::string MapWindowsPath(const std::string& prefix, const std::string& windowsPath);

} // namespace tolmere
