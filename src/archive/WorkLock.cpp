// SPDX-License-Identifier: MIT
#include "archive/WorkLock.h"

#include "archive/ArchiveBridge.h"
#include "archive/Backups.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace tolmere {
namespace {

int FlockRetrying(int fd, int operation) {
    int result;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

CWorkLock::~CWorkLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool CWorkLock::TakeAlone(const std::string& path) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return false;
    if (FlockRetrying(fd_, LOCK_EX | LOCK_NB) == 0)
        return true;
    // Another run is there. Waiting for a shared hold is waiting at most for that run's
    // own clearing up, which is short.
    if (FlockRetrying(fd_, LOCK_SH) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return false;
}

void CWorkLock::Share() {
    if (fd_ >= 0)
        FlockRetrying(fd_, LOCK_SH);
}

std::string WorkLockPath(const std::string& gameDir, const std::string& backupsDir) {
    return GameBackupsDir(gameDir, backupsDir) + "running.lock";
}

void RemoveStaleWorkFiles(const std::string& gameDir, const std::string& backupsDir) {
    RemoveStaleBackupCopies(gameDir, backupsDir);
    // mpq2k holds the game folder itself while it writes; its input files must stay.
    const int folder = ::open(gameDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    if (FlockRetrying(folder, LOCK_EX | LOCK_NB) == 0)
        CArchiveBridge(gameDir).RemoveWorkFiles();
    ::close(folder);
}

} // namespace tolmere
