// SPDX-License-Identifier: MIT
#include "archive/Backups.h"

#include "tables/SafeWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tolmere {
namespace {

constexpr std::size_t kStampSize = 17; // YYYY-MM-DD-HHMMSS
constexpr std::size_t kCopySlice = 1 << 20;
constexpr std::size_t kMostNameBytes = 40;
// Beside the backups, for a person looking through the folder: which game they are of.
constexpr char kGameFolderNote[] = "game folder.txt";

bool MakeDirectories(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        const std::string prefix = path.substr(0, at);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

// The game folder as the system reaches it: absolute, links resolved where it exists.
std::string ResolvedGameDir(const std::string& gameDir) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(gameDir, error);
    if (error)
        resolved = std::filesystem::absolute(gameDir, error).lexically_normal();
    std::string text = resolved.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// FNV-1a: stable across builds and platforms, unlike std::hash, so a folder keeps its
// backups from one version of the program to the next.
std::uint64_t StableHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string ReadableName(const std::string& resolved) {
    std::string name = resolved.substr(resolved.find_last_of('/') + 1);
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
            c = '_';
    }
    if (name.empty() || name.find_first_not_of('.') == std::string::npos)
        name = "root";
    return name.substr(0, kMostNameBytes);
}

// "<stamp>[-N]_<archive>" with N the same second's second, third... copy.
struct CopyName {
    std::string stamp;
    int sameSecond = 0;
};

bool ParseCopyName(const std::string& name, const std::string& archiveName, CopyName& parsed) {
    const std::string tail = "_" + archiveName;
    if (name.size() < kStampSize + tail.size() ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string head = name.substr(0, name.size() - tail.size());
    for (std::size_t i = 0; i < kStampSize; ++i) {
        const bool dash = i == 4 || i == 7 || i == 10;
        if (dash ? head[i] != '-' : !std::isdigit(static_cast<unsigned char>(head[i])))
            return false;
    }
    parsed.stamp = head.substr(0, kStampSize);
    parsed.sameSecond = 0;
    if (head.size() == kStampSize)
        return true;
    if (head[kStampSize] != '-' || head.size() == kStampSize + 1 || head.size() > kStampSize + 5)
        return false;
    for (std::size_t i = kStampSize + 1; i < head.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(head[i])))
            return false;
        parsed.sameSecond = parsed.sameSecond * 10 + (head[i] - '0');
    }
    return true;
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* entry = ::readdir(d))
            names.emplace_back(entry->d_name);
        ::closedir(d);
    }
    return names;
}

// Copies a slice at a time, so that a patch archive of hundreds of megabytes costs no
// more memory than a small one; the copy takes its name only once it holds every byte.
bool CopyArchive(const std::string& from, const std::string& to, std::string& error) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (in < 0 || ::fstat(in, &st) != 0) {
        error = from + ": " + std::strerror(errno);
        if (in >= 0)
            ::close(in);
        return false;
    }
    CSafeWriter writer(to);
    if (!writer.Begin()) {
        ::close(in);
        error = "cannot write " + to + ": " + writer.Error();
        return false;
    }
    std::vector<char> slice(kCopySlice);
    std::uint64_t copied = 0;
    for (;;) {
        const ssize_t got = ::read(in, slice.data(), slice.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = from + ": " + std::strerror(errno);
            ::close(in);
            return false;
        }
        if (got == 0)
            break;
        writer.Write(slice.data(), static_cast<std::size_t>(got));
        copied += static_cast<std::uint64_t>(got);
    }
    ::close(in);
    if (copied != static_cast<std::uint64_t>(st.st_size)) {
        error = from + " changed while it was copied (" + std::to_string(copied) + " of " +
                std::to_string(st.st_size) + " bytes)";
        return false;
    }
    if (!writer.Commit()) {
        error = "cannot write " + to + ": " + writer.Error();
        return false;
    }
    return true;
}

} // namespace

std::string DefaultBackupsDir() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && *data) {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.local/share";
    }
    return base + "/tolmere/backups/";
}

std::string GameBackupsDir(const std::string& gameDir, const std::string& backupsDir) {
    const std::string resolved = ResolvedGameDir(gameDir);
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016" PRIx64, StableHash(resolved));
    return WithSlash(backupsDir) + ReadableName(resolved) + "-" + digits + "/";
}

std::string BackupArchive(const std::string& archivePath, const std::string& gameDir,
                          const std::string& backupsDir, std::string& error, int keep,
                          std::time_t now) {
    const std::string dir = GameBackupsDir(gameDir, backupsDir);
    if (!MakeDirectories(dir)) {
        error = "cannot make " + dir + ": " + std::strerror(errno);
        return std::string();
    }
    const std::string note = dir + kGameFolderNote;
    if (::access(note.c_str(), F_OK) != 0)
        WriteFileSafely(note, ResolvedGameDir(gameDir) + "\n");

    const std::string archiveName = archivePath.substr(archivePath.find_last_of('/') + 1);
    char stamp[32];
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    // A second copy in the same second must not replace the first.
    std::string copy = dir + stamp + "_" + archiveName;
    for (int n = 2; ::access(copy.c_str(), F_OK) == 0; ++n)
        copy = dir + stamp + "-" + std::to_string(n) + "_" + archiveName;
    if (!CopyArchive(archivePath, copy, error))
        return std::string();

    std::vector<std::pair<CopyName, std::string>> ours;
    for (const std::string& name : FilesIn(dir)) {
        CopyName parsed;
        if (ParseCopyName(name, archiveName, parsed))
            ours.emplace_back(parsed, name);
    }
    std::sort(ours.begin(), ours.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first.stamp, a.first.sameSecond) <
               std::tie(b.first.stamp, b.first.sameSecond);
    });
    for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < ours.size(); ++i)
        ::unlink((dir + ours[i].second).c_str());
    return copy;
}

void RemoveStaleBackupCopies(const std::string& gameDir, const std::string& backupsDir) {
    const std::string dir = GameBackupsDir(gameDir, backupsDir);
    for (const std::string& name : FilesIn(dir)) {
        if (IsSafeWriterTemp(name))
            ::unlink((dir + name).c_str());
    }
}

} // namespace tolmere
