#include "archive/Backups.h"

#include "tables/BinFile.h"
#include "tables/SafeWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tolmere {
namespace {

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

// The game directory as one file name component.
std::string Flattened(std::string dir) {
    while (!dir.empty() && dir.back() == '/')
        dir.pop_back();
    while (!dir.empty() && dir.front() == '/')
        dir.erase(0, 1);
    std::replace(dir.begin(), dir.end(), '/', '_');
    std::replace(dir.begin(), dir.end(), ' ', '_');
    return dir;
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

std::string BackupArchive(const std::string& archivePath, const std::string& gameDir,
                          const std::string& backupsDir, std::string& error, int keep) {
    if (!MakeDirectories(backupsDir)) {
        error = "cannot make " + backupsDir + ": " + std::strerror(errno);
        return std::string();
    }
    std::string bytes;
    if (!ReadWholeFile(archivePath, bytes, error)) {
        error = archivePath + ": " + error;
        return std::string();
    }
    const std::string archiveName = archivePath.substr(archivePath.find_last_of('/') + 1);
    const std::string suffix = "_" + Flattened(gameDir) + "_" + archiveName;
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    const std::string dir = backupsDir.back() == '/' ? backupsDir : backupsDir + "/";
    const std::string copy = dir + stamp + suffix;
    if (!WriteFileSafely(copy, bytes, &error)) {
        error = "cannot write " + copy + ": " + error;
        return std::string();
    }

    // The names start with their time, so they sort oldest first.
    std::vector<std::string> ours;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* entry = ::readdir(d)) {
            const std::string name = entry->d_name;
            if (name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                ours.push_back(name);
        }
        ::closedir(d);
    }
    std::sort(ours.begin(), ours.end());
    for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < ours.size(); ++i)
        ::unlink((dir + ours[i]).c_str());
    return copy;
}

} // namespace tolmere
