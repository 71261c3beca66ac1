// SPDX-License-Identifier: MIT
// A binary file: a disk file, or an in-memory file handed over in place of a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolmere {

// An in-memory file. `name` is a zero-terminated text beginning with '.', whose
// extension (".tga") tells picture decoders what the bytes are.
struct MemFileDesc {
    static constexpr std::uint32_t kMarker = 0x01020304;

    char name[16] = {};
    std::uint32_t marker = kMarker;
    const unsigned char* data = nullptr;
    std::size_t length = 0;
    std::size_t position = 0;
    // When set, closing the file releases the data (delete[]) and the descriptor
    // (delete); the caller must not touch the descriptor afterwards.
    bool owned = false;
};

class CBinFile {
public:
    enum Mode {
        kRead = 1,    // existing file, read access, others may read too
        kCreate = 42, // write access, an existing file is truncated, a missing one made
    };
    enum Origin { kFromStart, kFromCurrent, kFromEnd };

    CBinFile() = default;
    ~CBinFile();
    CBinFile(const CBinFile&) = delete;
    CBinFile& operator=(const CBinFile&) = delete;

    // False when already open or when the disk file cannot be opened.
    bool Open(const std::string& path, Mode mode);
    // Opens an in-memory file; false when already open.
    bool Open(MemFileDesc* memFile);
    void Close();
    bool IsOpen() const { return fd_ >= 0 || mem_ != nullptr; }

    // Reads up to `count` bytes; `got` receives how many arrived. Sets the end-of-file
    // flag on a short read or when a memory file's position reaches its end.
    bool Read(void* buffer, std::size_t count, std::size_t& got);
    // True only when exactly `count` bytes arrived.
    bool ReadExact(void* buffer, std::size_t count);
    // Disk files only; true only when every byte was written.
    bool Write(const void* buffer, std::size_t count);
    // Returns the new position; a memory file's position is clamped to 0 … length.
    std::int64_t Seek(std::int64_t offset, Origin origin);
    std::uint64_t Size();
    bool AtEnd() const { return atEnd_; }

private:
    int fd_ = -1;
    std::uint64_t length_ = 0;
    bool atEnd_ = false;
    MemFileDesc* mem_ = nullptr;
};

// Writes every byte to a file descriptor, going on after interruptions.
bool WriteAll(int fd, const void* buffer, std::size_t count);

// Reads a whole disk file into `bytes`; false when it cannot be opened or read fully.
bool ReadWholeFile(const std::string& path, std::string& bytes);
// The same, saying why it failed ("No such file or directory"). Files of `maxBytes` or
// more are refused before anything is read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error,
                   std::uint64_t maxBytes = UINT64_MAX);

} // namespace tolmere
