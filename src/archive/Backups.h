// A way back: the patch archive as it was before the program first wrote into it in a
// run, kept outside the game directory.
#pragma once

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

// Copies `archivePath` into `backupsDir` (made when missing) as
// "<YYYY-MM-DD-HHMMSS>_<game directory, '/' and ' ' as '_'>_<archive name>", and removes the
// oldest copies of the same game directory's archive beyond `keep`. Returns the copy's
// path, or empty with `error` saying why.
std::string BackupArchive(const std::string& archivePath, const std::string& gameDir,
                          const std::string& backupsDir, std::string& error, int keep = 5);

} // namespace tolmere
