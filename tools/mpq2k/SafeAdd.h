// SPDX-License-Identifier: MIT
// Putting files into an archive without ever leaving the archive half-written.
//
// The archive is copied beside itself, the copy is changed and closed, read back and checked
// file by file, synced, and only then renamed over the original. Whatever stops the run
// before the rename (an error, Ctrl+C, SIGKILL, a power cut) leaves the original as it was.
// Several files go in with one copy and one rename: all of them, or none.
#pragma once

#include <string>
#include <vector>

namespace mpq2k {

struct AddItem {
    std::string file; // local file whose bytes are stored
    std::string name; // name inside the archive, either separator
};

struct AddRequest {
    std::string archive; // as the editor gave it; found without regard to case
    std::vector<AddItem> items;
};

struct AddFailure {
    std::string error; // one line for the user (without the "mpq2k: " prefix)
    // The archived name of the item at fault; empty when the failure is the archive's.
    std::string name;
    bool busy = false;
};

// The first name given twice (separators converted, case ignored), as archived; "" if none.
// Two copies of one name in one run would leave only the last, so such a run is refused.
std::string RepeatedName(const std::vector<AddItem>& items);

// Only one run at a time writes into a folder's archives: from reading the archive to the
// final rename the run holds an exclusive lock on the folder the archive really lives in
// (links followed, see WriteLock.h), and a second run waits up to kBusyWaitMs for it before
// giving up with `busy` set.
bool AddFilesSafely(const AddRequest& request, AddFailure* failure);

} // namespace mpq2k
