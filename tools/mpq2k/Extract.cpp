// SPDX-License-Identifier: MIT
#include "Extract.h"

#include "Files.h"
#include "Names.h"
#include "TempFiles.h"
#include "TempNames.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mpq2k {

bool ExtractToDirectory(const Archive& archive, const std::string& name, const std::string& dir,
                        std::string* error, bool* absent) {
    const std::string archived = ArchivedName(name);
    const std::string leaf = LastComponent(archived);
    if (!IsSafeLeafName(leaf)) {
        *error = "refusing to extract: the name does not end in a file name";
        return false;
    }
    const std::string directory = DirectoryPath(dir);
    struct stat st {};
    if (::stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = "target directory " + directory + " does not exist";
        return false;
    }
    const std::string target = directory == "/" ? "/" + leaf : directory + "/" + leaf;
    bool found = false;
    std::uint32_t index = 0;
    if (!FindFileIndex(archive, archived, &found, &index, error)) {
        return false;
    }
    if (!found) {
        *error = "not found";
        if (absent != nullptr) {
            *absent = true;
        }
        return false;
    }

    // No lock guards the scratch folder; the flock each run holds on its own temporaries is
    // enough to tell a killed run's leftovers from a live run's files.
    RemoveStaleTemps(directory);
    TempFile temp;
    if (!temp.Create(TempPattern(directory, "." + leaf))) {
        *error = "cannot create a file in " + directory + ": " + std::strerror(errno);
        return false;
    }
    int writeErrno = 0;
    const ChunkSink sink = [&](const char* data, std::size_t size) {
        if (!WriteAll(temp.Fd(), data, size)) {
            writeErrno = errno;
            return false;
        }
        return true;
    };
    if (!ReadArchivedFile(archive, archived, sink, error)) {
        if (writeErrno != 0) {
            *error = "cannot write " + target + ": " + std::strerror(writeErrno);
        }
        return false;
    }
    // The scratch copy is read back at once by the editor and the archive still holds the
    // original, so durability buys nothing here; the rename keeps readers from seeing a
    // half-written file. The duplicate keeps the flock until the rename, while closing the
    // original still reports a failed write.
    const UniqueFd hold(::dup(temp.Fd()));
    if (::fchmod(temp.Fd(), CreationMode()) != 0 || !temp.CloseFd()) {
        *error = "cannot write " + target + ": " + std::strerror(errno);
        return false;
    }
    if (::rename(temp.Path().c_str(), target.c_str()) != 0) {
        *error = "cannot create " + target + ": " + std::strerror(errno);
        return false;
    }
    temp.Release();
    return true;
}

} // namespace mpq2k
