// SPDX-License-Identifier: MIT
#include "tables/SafeWriter.h"

#include "tables/BinFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolmere {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr char kTempMark[] = ".tolmere-";
constexpr std::size_t kTempMarkSize = sizeof kTempMark - 1;
constexpr std::size_t kTempLetters = 6; // mkstemp's XXXXXX

// The file the user means: through a symbolic link to its real place, so that the
// rename replaces the file and not the link.
std::string ResolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

} // namespace

CSafeWriter::CSafeWriter(std::string targetPath) : target_(ResolveTarget(targetPath)) {}

CSafeWriter::~CSafeWriter() {
    Discard();
}

void CSafeWriter::Fail() {
    if (!failed_)
        error_ = std::strerror(errno);
    failed_ = true;
}

bool CSafeWriter::Begin() {
    Discard();
    failed_ = false;
    error_.clear();
    std::string pattern = target_ + kTempMark + std::string(kTempLetters, 'X');
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        Fail();
        return false;
    }
    fd_ = fd;
    temp_ = pattern;
    // mkstemp makes the file private; give it the mode the target has, or the mode a
    // newly created file would get.
    struct stat st {};
    mode_t mode;
    if (::stat(target_.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
    buffer_.reserve(kBufferSize);
    return true;
}

void CSafeWriter::Write(const char* data, std::size_t size) {
    if (failed_ || fd_ < 0) {
        failed_ = true;
        return;
    }
    if (buffer_.size() + size > kBufferSize && !Flush())
        return;
    if (size >= kBufferSize) {
        if (!WriteAll(fd_, data, size))
            Fail();
        return;
    }
    buffer_.append(data, size);
}

bool CSafeWriter::Flush() {
    if (!buffer_.empty() && !WriteAll(fd_, buffer_.data(), buffer_.size()))
        Fail();
    buffer_.clear();
    return !failed_;
}

bool CSafeWriter::Commit() {
    if (fd_ < 0 || failed_ || !Flush() || ::fsync(fd_) != 0) {
        if (!failed_ && fd_ >= 0)
            Fail();
        Discard();
        return false;
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        Fail();
        Discard();
        return false;
    }
    temp_.clear();
    return true;
}

void CSafeWriter::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    buffer_.clear();
}

bool IsSafeWriterTemp(const std::string& fileName) {
    const std::size_t tail = kTempMarkSize + kTempLetters;
    if (fileName.size() <= tail ||
        fileName.compare(fileName.size() - tail, kTempMarkSize, kTempMark) != 0)
        return false;
    for (std::size_t i = fileName.size() - kTempLetters; i < fileName.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(fileName[i])))
            return false;
    }
    return true;
}

bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string* error) {
    CSafeWriter writer(path);
    const bool written = writer.Begin() && (writer.Write(bytes), writer.Commit());
    if (!written && error)
        *error = writer.Error();
    return written;
}

} // namespace tolmere
