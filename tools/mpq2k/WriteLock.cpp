// SPDX-License-Identifier: MIT
#include "WriteLock.h"

#include "Names.h"
#include "TestHold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace mpq2k {

namespace {

namespace fs = std::filesystem;

// The kernel's own limit on links followed in one path.
constexpr int kMaxLinks = 40;

// A link to an archive not made yet: the new archive is made where the link leads, so that
// the link keeps sharing it.
bool FollowDanglingLinks(fs::path* path, std::string* error) {
    std::error_code ignored;
    for (int depth = 0; fs::is_symlink(fs::symlink_status(*path, ignored)); ++depth) {
        std::error_code ec;
        const fs::path to = fs::read_symlink(*path, ec);
        if (ec || depth == kMaxLinks) {
            *error =
                path->string() + ": " +
                (ec ? ec.message()
                    : std::make_error_code(std::errc::too_many_symbolic_link_levels).message());
            return false;
        }
        *path = to.is_absolute() ? to : path->parent_path() / to;
    }
    return true;
}

bool Resolve(const std::string& given, WriteTarget* target, std::string* error) {
    const ArchiveLookup lookup = FindArchive(given);
    if (lookup.status == ArchiveLookup::Status::Ambiguous) {
        *error = "more than one file matches this name when case is ignored";
        return false;
    }
    target->exists = lookup.status == ArchiveLookup::Status::Found;
    fs::path path = lookup.path;
    if (!target->exists && !FollowDanglingLinks(&path, error)) {
        return false;
    }
    std::error_code ec;
    // Absolute first: a relative name with no part on disk comes back as it went in.
    const fs::path absolute = fs::absolute(path, ec);
    const fs::path resolved = ec               ? absolute
                              : target->exists ? fs::canonical(absolute, ec)
                                               : fs::weakly_canonical(absolute, ec);
    if (ec) {
        *error = path.string() + ": " + ec.message();
        return false;
    }
    target->path = resolved.string();
    target->directory = resolved.parent_path().string();
    target->base = resolved.filename().string();
    if (!IsSafeLeafName(target->base)) {
        *error = "'" + given + "' does not name a file";
        return false;
    }
    return true;
}

// Returns the locked folder's descriptor, which holds the lock until it is closed, or -1.
int LockFolder(const std::string& directory, std::string* error, bool* busy) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = ErrnoText(directory);
        return -1;
    }
    for (int waited = 0;; waited += 10) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return fd;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            *error = ErrnoText("cannot lock " + directory);
            break;
        }
        if (waited == 0) {
            HoldPoint("busy");
        }
        if (waited >= kBusyWaitMs) {
            *error = "archive busy: another mpq2k is still writing into " + directory;
            if (busy != nullptr) {
                *busy = true;
            }
            break;
        }
        ::usleep(10 * 1000);
    }
    ::close(fd);
    return -1;
}

bool IsFolder(int fd, const std::string& directory) {
    struct stat locked {};
    struct stat named {};
    return ::fstat(fd, &locked) == 0 && ::stat(directory.c_str(), &named) == 0 &&
           locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
}

} // namespace

bool LockWriteTarget(const std::string& given, WriteTarget* target, UniqueFd* lock,
                     std::string* error, bool* busy) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        WriteTarget before;
        if (!Resolve(given, &before, error)) {
            return false;
        }
        lock->Reset(LockFolder(before.directory, error, busy));
        if (!lock->Valid()) {
            return false;
        }
        // Found again under the lock: while this run waited, another may have created the
        // archive, or someone pointed the link elsewhere.
        if (!Resolve(given, target, error)) {
            lock->Reset();
            return false;
        }
        if (IsFolder(lock->Get(), target->directory)) {
            return true;
        }
        lock->Reset();
    }
    *error = "the archive keeps moving to another folder";
    return false;
}

} // namespace mpq2k
