// SPDX-License-Identifier: MIT
// A way back: the patch archive as it was before the program first wrote into it in a
// run, kept outside the game directory, in a folder of each game folder's own.
#pragma once

#include <ctime>
#include <string>

namespace tolmere {

// Whether a run has kept its copy of the patch archive yet, and where copies go (the
// default place when empty).
struct BackupSession {
    bool taken = false;
    std::string dir;
};

// $XDG_DATA_HOME/tolmere/backups/, else ~/.local/share/tolmere/backups/ (ending in '/').
std::string DefaultBackupsDir();

// The folder under `backupsDir` that holds the backups of `gameDir` and nothing else,
// ending in '/': "<the folder's last name>-<16 hex digits>", the digits a hash of the
// game folder's absolute path with its links resolved, so that two game folders never
// share one (nor one folder reached by two names split into two).
std::string GameBackupsDir(const std::string& gameDir, const std::string& backupsDir);

// Copies `archivePath` into the game folder's backups folder (made when missing) as
// "<YYYY-MM-DD-HHMMSS>_<archive name>", read and written a slice at a time and checked
// against the archive's size before it takes its name, and removes the oldest copies
// there beyond `keep`. Returns the copy's path, or empty with `error` saying why.
std::string BackupArchive(const std::string& archivePath, const std::string& gameDir,
                          const std::string& backupsDir, std::string& error, int keep = 5,
                          std::time_t now = std::time(nullptr));

// Removes what a run killed while copying left in the game folder's backups folder: its
// half-written copies. Only for the one run that holds the game folder (CWorkLock).
void RemoveStaleBackupCopies(const std::string& gameDir, const std::string& backupsDir);

} // namespace tolmere
