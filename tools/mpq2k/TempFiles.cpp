// SPDX-License-Identifier: MIT
#include "TempFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace mpq2k {

namespace {

// A run never has more than a handful of temporaries at once (archive copy, compacted copy,
// StormLib's own, one extracted file).
constexpr int kSlots = 8;
constexpr std::size_t kPathBytes = 4096;

// Read from signal handlers: plain storage, written before the flag is raised.
char gPaths[kSlots][kPathBytes];
volatile sig_atomic_t gInUse[kSlots];

int Register(const std::string& path) {
    if (path.size() >= kPathBytes) {
        return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
        if (!gInUse[i]) {
            std::memcpy(gPaths[i], path.c_str(), path.size() + 1);
            gInUse[i] = 1;
            return i;
        }
    }
    return -1;
}

void Unregister(int slot) {
    if (slot >= 0) {
        gInUse[slot] = 0;
    }
}

void RemoveAll() {
    for (int i = 0; i < kSlots; ++i) {
        if (gInUse[i]) {
            ::unlink(gPaths[i]);
            // StormLib's compaction writes "<archive>.tmp" next to the archive it compacts.
            char extra[kPathBytes + 4];
            const std::size_t length = std::strlen(gPaths[i]);
            std::memcpy(extra, gPaths[i], length);
            std::memcpy(extra + length, ".tmp", 5);
            ::unlink(extra);
        }
    }
}

void OnTerminate(int signal) {
    RemoveAll();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void OnAbort(int) {
    RemoveAll();
    static const char kLine[] =
        "mpq2k: stopped by a failed internal check (damaged archive?); nothing was changed\n";
    const ssize_t ignored = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
    (void)ignored;
    ::_exit(1);
}

// Whether `fd` is still the file at `path`: another run's sweep may have removed it (and
// something else may have taken the name) between mkstemp and the flock.
bool StillAt(int fd, const std::string& path) {
    struct stat byFd {};
    struct stat byPath {};
    return ::fstat(fd, &byFd) == 0 && ::lstat(path.c_str(), &byPath) == 0 &&
           byFd.st_ino == byPath.st_ino && byFd.st_dev == byPath.st_dev;
}

} // namespace

void InstallCleanupHandlers() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnTerminate;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        ::sigaction(signal, &action, nullptr);
    }
    action.sa_handler = OnAbort;
    ::sigaction(SIGABRT, &action, nullptr);
}

TempFile::~TempFile() {
    Remove();
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_), slot_(other.slot_) {
    other.path_.clear();
    other.fd_ = -1;
    other.slot_ = -1;
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    if (this != &other) {
        Remove();
        path_ = std::move(other.path_);
        fd_ = other.fd_;
        slot_ = other.slot_;
        other.path_.clear();
        other.fd_ = -1;
        other.slot_ = -1;
    }
    return *this;
}

bool TempFile::Create(const std::string& pattern) {
    Remove();
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!CreateOnce(pattern)) {
            return false;
        }
        // Blocks only while a sweep in another run holds the new file to remove it.
        if (::flock(fd_, LOCK_EX) != 0) {
            const int saved = errno;
            Remove();
            errno = saved;
            return false;
        }
        if (StillAt(fd_, path_)) {
            return true;
        }
        Forget();
    }
    errno = EAGAIN;
    return false;
}

bool TempFile::HoldAgain() {
    if (path_.empty()) {
        return false;
    }
    const int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !StillAt(fd, path_)) {
        ::close(fd);
        return false;
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
    return true;
}

bool TempFile::CreateOnce(const std::string& pattern) {
    std::string buffer = pattern;
    // Block the cleanup signals so that the file never exists unregistered.
    sigset_t block;
    sigset_t previous;
    sigemptyset(&block);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        sigaddset(&block, signal);
    }
    ::sigprocmask(SIG_BLOCK, &block, &previous);
    const int fd = ::mkstemp(buffer.data());
    int saved = errno;
    if (fd >= 0) {
        slot_ = Register(buffer);
        if (slot_ < 0) {
            ::close(fd);
            ::unlink(buffer.c_str());
            saved = ENAMETOOLONG;
        } else {
            fd_ = fd;
            path_ = buffer;
        }
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    errno = saved;
    return fd_ >= 0;
}

bool TempFile::CloseFd() {
    if (fd_ < 0) {
        return true;
    }
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
}

void TempFile::Release() {
    CloseFd();
    Unregister(slot_);
    slot_ = -1;
    path_.clear();
}

// The name is no longer ours: it is let go without being removed.
void TempFile::Forget() {
    CloseFd();
    Unregister(slot_);
    slot_ = -1;
    path_.clear();
}

void TempFile::Remove() {
    if (path_.empty()) {
        return;
    }
    CloseFd();
    ::unlink(path_.c_str());
    ::unlink((path_ + ".tmp").c_str());
    Unregister(slot_);
    slot_ = -1;
    path_.clear();
}

} // namespace mpq2k
