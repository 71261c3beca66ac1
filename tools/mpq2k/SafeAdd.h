// Putting one file into an archive without ever leaving the archive half-written.
//
// The archive is copied beside itself, the copy is changed and closed, read back and checked
// file by file, synced, and only then renamed over the original. Whatever stops the run
// before the rename (an error, Ctrl+C, SIGKILL, a power cut) leaves the original as it was.
#pragma once

#include <string>

namespace mpq2k {

struct AddRequest {
    std::string archive; // as the editor gave it; found without regard to case
    std::string file;    // local file whose bytes are stored
    std::string name;    // name inside the archive, either separator
};

// Only one run at a time writes into a folder's archives: from reading the archive to the
// final rename the run holds an exclusive lock on the folder the archive really lives in
// (links followed, see WriteLock.h), and a second run waits up to kBusyWaitMs for it before
// giving up with `busy` set.
//
// On failure `error` is one line for the user (without the "mpq2k: " prefix).
bool AddFileSafely(const AddRequest& request, std::string* error, bool* busy = nullptr);

} // namespace mpq2k
