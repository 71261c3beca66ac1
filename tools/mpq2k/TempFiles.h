// SPDX-License-Identifier: MIT
// Temporary files that must not outlive an interrupted run.
//
// mpq2k never writes a final file in place: it writes a temporary beside it and renames. When
// the run is interrupted (Ctrl+C, the editor closing, a StormLib assertion) the temporaries
// are removed here; the files they would have replaced were never touched.
#pragma once

#include <string>

namespace mpq2k {

// SIGINT, SIGTERM, SIGHUP and SIGQUIT remove the temporaries and end the process the way the
// signal would have. SIGABRT (StormLib's assertions are compiled in) does the same but exits
// with status 1 after one line on stderr.
void InstallCleanupHandlers();

// A temporary file created and owned by this process. Unless Release()d, the destructor
// removes it. Move-only.
//
// The process holds an exclusive flock on each of its temporaries for as long as it may still
// use them: a temporary nobody holds is what a killed run left behind (see TempNames.h).
class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // mkstemp() on `pattern` (ending in "XXXXXX"), then the flock. On failure returns false
    // with errno set.
    bool Create(const std::string& pattern);
    // Holds the file now at Path() after another was renamed over it (StormLib's compaction
    // does that); the old one is let go. False, keeping the old hold, when that fails.
    bool HoldAgain();

    const std::string& Path() const { return path_; }
    int Fd() const { return fd_; }
    bool Valid() const { return !path_.empty(); }

    // Closes the descriptor but keeps the file registered for removal.
    bool CloseFd();
    // The file was renamed into place: nothing to remove any more.
    void Release();
    // Removes the file now.
    void Remove();

private:
    bool CreateOnce(const std::string& pattern);
    void Forget();

    std::string path_;
    int fd_ = -1;
    int slot_ = -1;
};

} // namespace mpq2k
