// SPDX-License-Identifier: MIT
// Small POSIX file helpers shared by the commands.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace mpq2k {

// Owns a file descriptor; closes it on destruction.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes the descriptor held so far and takes `fd` in its place.
    void Reset(int fd = -1);

private:
    int fd_;
};

// write() until everything is out; false with errno set otherwise.
bool WriteAll(int fd, const char* data, std::size_t size);

// The mode open(..., 0666) would give under the current umask: files mpq2k creates should
// look like files any other program would have created there.
mode_t CreationMode();

// "what: strerror(errno)".
std::string ErrnoText(const std::string& what);

} // namespace mpq2k
