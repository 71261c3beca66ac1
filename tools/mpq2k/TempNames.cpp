// SPDX-License-Identifier: MIT
#include "TempNames.h"

#include "Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string_view>

namespace mpq2k {

namespace {

constexpr std::string_view kInfix = ".mpq2k-";
// mkstemp fills its six X with letters and digits.
constexpr std::size_t kRandom = 6;
// StormLib's compaction writes this beside the archive it compacts.
constexpr std::string_view kCompactSuffix = ".tmp";

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The temporary `name` is or belongs to, or "" when it is not one of ours.
std::string OwnerOf(std::string_view name) {
    if (name.size() > kCompactSuffix.size() &&
        name.substr(name.size() - kCompactSuffix.size()) == kCompactSuffix) {
        name.remove_suffix(kCompactSuffix.size());
    }
    if (name.size() < kInfix.size() + kRandom + 1) {
        return std::string();
    }
    const std::string_view random = name.substr(name.size() - kRandom);
    const std::string_view infix =
        name.substr(name.size() - kRandom - kInfix.size(), kInfix.size());
    for (const char c : random) {
        if (!IsAlnum(c)) {
            return std::string();
        }
    }
    return infix == kInfix ? std::string(name) : std::string();
}

void RemoveIfStale(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd.Valid()) {
        // Gone already: only StormLib's file may be left. Anything else (a name we cannot
        // open) may belong to a live run of another user, and stays.
        if (errno == ENOENT) {
            ::unlink((path + std::string(kCompactSuffix)).c_str());
        }
        return;
    }
    struct stat byFd {};
    struct stat byPath {};
    if (::fstat(fd.Get(), &byFd) != 0 || !S_ISREG(byFd.st_mode) ||
        ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    // Removed while the flock is still held: a run that has just created this name takes its
    // flock after this one lets go, sees the name gone, and picks another.
    if (::lstat(path.c_str(), &byPath) == 0 && byPath.st_ino == byFd.st_ino &&
        byPath.st_dev == byFd.st_dev) {
        ::unlink(path.c_str());
    }
    ::unlink((path + std::string(kCompactSuffix)).c_str());
}

} // namespace

std::string TempPattern(const std::string& directory, const std::string& prefix) {
    return directory + "/" + prefix + std::string(kInfix) + std::string(kRandom, 'X');
}

void RemoveStaleTemps(const std::string& directory) {
    std::set<std::string> owners;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string owner = OwnerOf(it->path().filename().native());
        if (!owner.empty()) {
            owners.insert(owner);
        }
    }
    for (const std::string& owner : owners) {
        RemoveIfStale(directory + "/" + owner);
    }
}

} // namespace mpq2k
