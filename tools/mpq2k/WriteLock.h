// SPDX-License-Identifier: MIT
// Which file a write into an archive replaces, and the lock that makes writers to it take turns.
//
// The archive is replaced by a rename in its own folder, so that is what is locked: a lock on
// the archive would be a lock on the file the rename throws away, and a new archive has no
// file yet. When the name given is a symbolic link (game folders that share one archive), the
// folder is the one the link leads to: every writer into that archive, whichever link it came
// through, takes the same lock, and the folder of the link is not locked at all.
#pragma once

#include "Files.h"

#include <string>

namespace mpq2k {

// A second run waits this long for the lock before giving up with `busy` set.
constexpr int kBusyWaitMs = 3000;

struct WriteTarget {
    bool exists = false;
    std::string path;      // absolute, with every symbolic link followed
    std::string directory; // where the working copy is made; locked
    std::string base;      // the archive's own name there
};

// Finds the archive as the game would (case ignored), follows links (also to an archive not
// made yet), and takes the exclusive lock on the folder it lives in. The lock lasts as long
// as `lock` holds the descriptor. On failure `error` is one line for the user.
bool LockWriteTarget(const std::string& given, WriteTarget* target, UniqueFd* lock,
                     std::string* error, bool* busy);

} // namespace mpq2k
