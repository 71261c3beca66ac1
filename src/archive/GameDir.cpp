// SPDX-License-Identifier: MIT
#include "archive/GameDir.h"

#include "archive/WineRegistry.h"
#include "base/Services.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace tolmere {
namespace {

const char kGameKey[] = "Software\\Blizzard Entertainment\\Diablo II";
// What a 32-bit program sees of the same key on a 64-bit system.
const char kGameKey32[] = "Software\\Wow6432Node\\Blizzard Entertainment\\Diablo II";
const char kValueName[] = "InstallPath";

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The entry of `dir` named `name` without regard to case, or `name` itself.
std::string FindComponent(const std::string& dir, const std::string& name) {
    const std::string found = EntryIgnoringCase(dir, name);
    return found.empty() ? name : found;
}

std::optional<std::string> ReadInstallPath(const CWineRegistryFile& file, bool& keyFound) {
    keyFound = false;
    for (const char* key : {kGameKey, kGameKey32}) {
        if (!file.HasKey(key))
            continue;
        keyFound = true;
        if (auto value = file.Value(key, kValueName))
            return value;
    }
    return std::nullopt;
}

} // namespace

bool LooksLikeGameDir(const std::string& dir) {
    for (const char* archive : {"d2data.mpq", "patch_d2.mpq"}) {
        if (Exists(dir + "/" + FindComponent(dir, archive)))
            return true;
    }
    return false;
}

namespace {

std::optional<std::string> NamedOrRegisteredGameDir(const GameSearch& search,
                                                    std::string& problem) {
    problem.clear();
    std::string named = search.gameDir;
    if (named.empty()) {
        if (const char* fromEnvironment = std::getenv("TOLMERE_GAME_DIR"))
            named = fromEnvironment;
    }
    if (!named.empty()) {
        if (!LooksLikeGameDir(named)) {
            problem = named + ": no d2data.mpq or patch_d2.mpq there";
            return std::nullopt;
        }
        return named.back() == '/' ? named : named + "/";
    }
    return DetectGameDir(search.prefix.empty() ? DefaultRegistryPlace()
                                               : RegistryPlace{search.prefix});
}

} // namespace

std::optional<std::string> FindGameDir(const GameSearch& search, std::string& problem) {
    std::optional<std::string> found = NamedOrRegisteredGameDir(search, problem);
    if (found)
        found = AbsolutePath(found->back() == '/' ? *found : *found + "/");
    return found;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    return error ? path : absolute;
}

RegistryPlace DefaultRegistryPlace() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return {prefix};
    const char* home = std::getenv("HOME");
    return {std::string(home ? home : "") + "/.wine"};
}

std::string MapWindowsPath(const std::string& prefix, const std::string& windowsPath) {
    if (!windowsPath.empty() && windowsPath[0] == '/')
        return windowsPath;
    std::string rest = windowsPath;
    std::string path;
    if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]))) {
        path = prefix + "/dosdevices/" +
               static_cast<char>(std::tolower(static_cast<unsigned char>(rest[0]))) + ":";
        rest = rest.substr(2);
    } else {
        path = prefix + "/dosdevices/c:"; // a path without a drive lies on C:
    }
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = rest.size();
        std::string component = rest.substr(start, end - start);
        if (!component.empty() && component != ".")
            path += "/" + FindComponent(path, component);
        start = end + 1;
    }
    return path;
}

#ifndef _WIN32
std::optional<std::string> DetectGameDir(const RegistryPlace& place) {
    CWineRegistryFile machine;
    if (!machine.Load(place.prefix + "/system.reg"))
        return std::nullopt;
    bool keyFound = false;
    std::optional<std::string> value = ReadInstallPath(machine, keyFound);
    if (!keyFound)
        return std::nullopt; // the current user is not asked then
    if (!value) {
        CWineRegistryFile user;
        if (!user.Load(place.prefix + "/user.reg"))
            return std::nullopt;
        value = ReadInstallPath(user, keyFound);
        if (!value)
            return std::nullopt;
    }
    // The value may carry a terminating zero or a trailing separator.
    while (!value->empty() &&
           (value->back() == '\0' || value->back() == '\\' || value->back() == '/'))
        value->pop_back();
    if (value->empty())
        return std::nullopt;
    return MapWindowsPath(place.prefix, *value) + "/";
}

#endif

} // namespace tolmere
