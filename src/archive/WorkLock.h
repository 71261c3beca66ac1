// SPDX-License-Identifier: MIT
// Which running editor may clear up after a killed one: every run on a game folder
// holds its lock shared; the one that found no other run holds it alone while it
// removes what was left behind.
#pragma once

#include <string>

namespace tolmere {

class CWorkLock {
public:
    CWorkLock() = default;
    ~CWorkLock();
    CWorkLock(const CWorkLock&) = delete;
    CWorkLock& operator=(const CWorkLock&) = delete;

    // Opens (making it, and its folder, when missing) the lock file `path`. True when
    // no other run holds it: the lock is then held alone until Share(). Otherwise the
    // lock is held shared, as the other runs hold it, and false returned.
    bool TakeAlone(const std::string& path);
    // Lets other runs in: the lock is then held shared until this object goes.
    void Share();
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Removes what a killed run on `gameDir` left: the working files in the game folder
// (only while no archive tool writes there) and the half-written backup copies in its
// backups folder. Call only with a lock taken alone.
void RemoveStaleWorkFiles(const std::string& gameDir, const std::string& backupsDir);

// The lock file of the runs on `gameDir`, in its backups folder.
std::string WorkLockPath(const std::string& gameDir, const std::string& backupsDir);

} // namespace tolmere
