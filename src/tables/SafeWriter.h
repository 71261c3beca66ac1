// SPDX-License-Identifier: MIT
// Replaces a file only once its new contents are completely on disk.
#pragma once

#include <cstddef>
#include <string>

namespace tolmere {

// Writes into a temporary file beside the target and renames it over the target in
// Commit(). Any failed write, a missing Commit() or a failed Commit() leaves the old
// target exactly as it was and removes the temporary file.
class CSafeWriter {
public:
    explicit CSafeWriter(std::string targetPath);
    ~CSafeWriter();
    CSafeWriter(const CSafeWriter&) = delete;
    CSafeWriter& operator=(const CSafeWriter&) = delete;

    // Creates the temporary file; false when the target's directory is not writable.
    bool Begin();
    // Buffered; a failure is remembered and reported by Commit().
    void Write(const char* data, std::size_t size);
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    // Flushes, syncs and renames over the target; true only if every byte arrived.
    bool Commit();
    // Why Begin or Commit failed, in the system's words.
    const std::string& Error() const { return error_; }

private:
    void Fail();
    bool Flush();
    void Discard();

    std::string target_;
    std::string temp_;
    std::string buffer_;
    int fd_ = -1;
    bool failed_ = false;
    std::string error_;
};

// Whether a file name is one CSafeWriter gives its temporary files: what a killed run
// leaves behind.
bool IsSafeWriterTemp(const std::string& fileName);

// Replaces `path` with `bytes` through CSafeWriter; `error`, when given, says why not.
bool WriteFileSafely(const std::string& path, const std::string& bytes,
                     std::string* error = nullptr);

} // namespace tolmere
