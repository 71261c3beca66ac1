// SPDX-License-Identifier: MIT
#include "tables/BinFile.h"

#include "base/Services.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace tolmere {

CBinFile::~CBinFile() {
    Close();
}

bool CBinFile::Open(const std::string& path, Mode mode) {
    if (IsOpen())
        return false;
    int flags = mode == kCreate ? (O_WRONLY | O_CREAT | O_TRUNC) : O_RDONLY;
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    length_ = static_cast<std::uint64_t>(st.st_size);
    atEnd_ = false;
    return true;
}

bool CBinFile::Open(MemFileDesc* memFile) {
    if (IsOpen() || !memFile)
        return false;
    mem_ = memFile;
    length_ = memFile->length;
    atEnd_ = memFile->position >= memFile->length;
    return true;
}

void CBinFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (mem_ && mem_->owned) {
        delete[] mem_->data;
        delete mem_;
    }
    mem_ = nullptr;
    length_ = 0;
}

bool CBinFile::Read(void* buffer, std::size_t count, std::size_t& got) {
    got = 0;
    if (mem_) {
        std::size_t left = mem_->length - std::min(mem_->position, mem_->length);
        got = std::min(count, left);
        std::copy_n(mem_->data + mem_->position, got, static_cast<unsigned char*>(buffer));
        mem_->position += got;
        atEnd_ = mem_->position >= mem_->length;
        return true;
    }
    if (fd_ < 0)
        return false;
    auto* out = static_cast<char*>(buffer);
    while (got < count) {
        ssize_t n = ::read(fd_, out + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got < count)
        atEnd_ = true;
    return true;
}

bool CBinFile::ReadExact(void* buffer, std::size_t count) {
    std::size_t got = 0;
    return Read(buffer, count, got) && got == count;
}

bool CBinFile::Write(const void* buffer, std::size_t count) {
    return fd_ >= 0 && WriteAll(fd_, buffer, count);
}

bool WriteAll(int fd, const void* buffer, std::size_t count) {
    auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        ssize_t n = ::write(fd, in, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        in += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t CBinFile::Seek(std::int64_t offset, Origin origin) {
    if (mem_) {
        std::int64_t base = origin == kFromStart     ? 0
                            : origin == kFromCurrent ? static_cast<std::int64_t>(mem_->position)
                                                     : static_cast<std::int64_t>(mem_->length);
        std::int64_t target =
            std::clamp<std::int64_t>(base + offset, 0, static_cast<std::int64_t>(mem_->length));
        mem_->position = static_cast<std::size_t>(target);
        atEnd_ = mem_->position >= mem_->length;
        return target;
    }
    if (fd_ < 0)
        return -1;
    int whence = origin == kFromStart ? SEEK_SET : origin == kFromCurrent ? SEEK_CUR : SEEK_END;
    return ::lseek(fd_, offset, whence);
}

std::uint64_t CBinFile::Size() {
    if (length_ == 0 && fd_ >= 0) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0)
            length_ = static_cast<std::uint64_t>(st.st_size);
    }
    return length_;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    CBinFile file;
    if (!file.Open(path, CBinFile::kRead))
        return false;
    std::string buffer;
    buffer.resize(static_cast<std::size_t>(file.Size()));
    if (!file.ReadExact(buffer.data(), buffer.size()))
        return false;
    bytes.swap(buffer);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error,
                   std::uint64_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
        ::close(fd);
        return false;
    }
    if (static_cast<std::uint64_t>(info.st_size) >= maxBytes) {
        error = "it is too large (" + std::to_string(info.st_size / (1024 * 1024)) + " MB)";
        ::close(fd);
        return false;
    }
    std::string buffer;
    try {
        // A file too large for memory fails the read, not the program.
        CAllocationMayFail mayFail;
        buffer.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory to read it";
        ::close(fd);
        return false;
    }
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = got < 0 ? std::strerror(errno) : "it ended before its size was read";
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.swap(buffer);
    return true;
}

} // namespace tolmere
