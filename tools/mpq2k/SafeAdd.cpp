// SPDX-License-Identifier: MIT
#include "SafeAdd.h"

#include "Files.h"
#include "Mpq.h"
#include "Names.h"
#include "TempFiles.h"
#include "TempNames.h"
#include "TestHold.h"
#include "WriteLock.h"

#include <StormLib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace mpq2k {

namespace {

// New archives start with room for this many files; the table grows when it fills up.
constexpr DWORD kInitialFileCount = 1024;
// The game's archives use 4 KB sectors; so do ours.
constexpr DWORD kSectorSize = 0x1000;
// StormLib appends a replaced file after the last one and leaves a hole where the old copy
// was. Holes larger than this are squeezed out with a compaction.
constexpr std::int64_t kCompactThreshold = 64 * 1024;
// Tables and sprites are kilobytes; anything near StormLib's 32-bit sizes is a mistake.
constexpr std::uint64_t kMaxFileBytes = 1ull << 30;

bool ReadLocalFile(const std::string& path, std::string* bytes, struct stat* st,
                   std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = ErrnoText(path);
        return false;
    }
    const UniqueFd closer(fd);
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        *error = path + ": not a regular file";
        return false;
    }
    if (static_cast<std::uint64_t>(st->st_size) > kMaxFileBytes) {
        *error = path + ": too large to store";
        return false;
    }
    bytes->resize(static_cast<std::size_t>(st->st_size));
    std::size_t done = 0;
    while (done < bytes->size()) {
        const ssize_t got = ::read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *error = ErrnoText(path);
            return false;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    if (done != bytes->size()) {
        *error = path + ": changed while it was read";
        return false;
    }
    return true;
}

bool CopyContents(const std::string& from, int toFd, std::string* error) {
    const UniqueFd fd(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        *error = ErrnoText(from);
        return false;
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *error = ErrnoText(from);
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!WriteAll(toFd, buffer.data(), static_cast<std::size_t>(got))) {
            *error = ErrnoText("cannot copy the archive");
            return false;
        }
    }
}

// Windows FILETIME: 100 ns ticks since 1601. Only stored when the archive keeps (attributes).
ULONGLONG FileTimeOf(const struct stat& st) {
    constexpr ULONGLONG kEpochDifference = 11644473600ull;
    return (static_cast<ULONGLONG>(st.st_mtim.tv_sec) + kEpochDifference) * 10000000ull +
           static_cast<ULONGLONG>(st.st_mtim.tv_nsec) / 100;
}

// What must be true of the other files after the change, keyed so that it survives StormLib
// renumbering the block table.
struct Summary {
    std::map<std::string, std::vector<std::uint32_t>> named; // upper-case name -> sizes
    std::vector<std::uint32_t> unnamedSizes;
    std::set<std::string> internal;
};

// `written` (upper case) and `skipped` (block indices) are the files the run replaces: the
// only ones allowed to differ.
Summary Summarize(const std::vector<ArchiveEntry>& entries, const std::set<std::string>& written,
                  const std::set<std::uint32_t>& skipped) {
    Summary summary;
    for (const ArchiveEntry& entry : entries) {
        if (skipped.count(entry.fileIndex) != 0) {
            continue;
        }
        const std::string upper = UpperAscii(entry.name);
        if (IsInternalName(entry.name)) {
            summary.internal.insert(upper);
        } else if (!entry.named) {
            summary.unnamedSizes.push_back(entry.size);
        } else if (written.count(upper) == 0) {
            summary.named[upper].push_back(entry.size);
        }
    }
    for (auto& item : summary.named) {
        std::sort(item.second.begin(), item.second.end());
    }
    std::sort(summary.unnamedSizes.begin(), summary.unnamedSizes.end());
    return summary;
}

std::string CompareSummaries(const Summary& before, const Summary& after) {
    for (const auto& item : before.named) {
        const auto found = after.named.find(item.first);
        if (found == after.named.end()) {
            return item.first + " went missing";
        }
        if (found->second != item.second) {
            return item.first + " changed size";
        }
    }
    if (after.named.size() != before.named.size()) {
        return "an unexpected file appeared";
    }
    if (before.unnamedSizes != after.unnamedSizes) {
        return "a file without a known name went missing or changed";
    }
    for (const std::string& name : before.internal) {
        if (after.internal.count(name) == 0) {
            return name + " went missing";
        }
    }
    return std::string();
}

struct Baseline {
    bool exists = false;
    std::string originalPath;
    ArchiveLayout originalLayout;
    std::vector<ArchiveEntry> entries;
    std::set<std::uint32_t> oldIndices; // where the files being replaced were
};

// One file to store, read and named before the archive is touched.
struct Pending {
    std::string name; // as archived
    std::string bytes;
    ULONGLONG fileTime = 0;
};

bool FailWith(AddFailure* failure, const std::string& name, const std::string& error) {
    failure->name = name;
    failure->error = error;
    return false;
}

struct Snapshot {
    ArchiveLayout layout;
    std::vector<ArchiveEntry> entries;
};

bool ReadsCleanly(const Archive& archive, const ArchiveEntry& entry) {
    std::uint64_t total = 0;
    std::string ignored;
    const ChunkSink count = [&](const char*, std::size_t size) {
        total += size;
        return true;
    };
    return ReadArchivedFile(archive, entry.name, count, &ignored) && total == entry.size;
}

// Files that were already unreadable in the original cannot be held against the new copy.
bool AlreadyBroken(const Baseline& before, const std::vector<ArchiveEntry>& broken) {
    if (!before.exists) {
        return false;
    }
    Archive original;
    std::string ignored;
    if (!original.Open(before.originalPath, false, &ignored)) {
        return false;
    }
    std::vector<ArchiveEntry> entries;
    if (!ListEntries(original, &entries, &ignored)) {
        return false;
    }
    std::set<std::string> brokenNamed;
    std::size_t brokenUnnamed = 0;
    for (const ArchiveEntry& entry : entries) {
        if (!ReadsCleanly(original, entry)) {
            if (entry.named) {
                brokenNamed.insert(UpperAscii(entry.name));
            } else {
                ++brokenUnnamed;
            }
        }
    }
    std::size_t unnamed = 0;
    for (const ArchiveEntry& entry : broken) {
        if (!entry.named) {
            ++unnamed;
        } else if (brokenNamed.count(UpperAscii(entry.name)) == 0) {
            return false;
        }
    }
    return unnamed <= brokenUnnamed;
}

bool SameBytes(int fdA, int fdB, std::uint64_t offset, std::uint64_t size) {
    char a[64 * 1024];
    char b[sizeof a];
    while (size > 0) {
        const std::size_t want = static_cast<std::size_t>(size < sizeof a ? size : sizeof a);
        if (::pread(fdA, a, want, static_cast<off_t>(offset)) != static_cast<ssize_t>(want) ||
            ::pread(fdB, b, want, static_cast<off_t>(offset)) != static_cast<ssize_t>(want) ||
            std::memcmp(a, b, want) != 0) {
            return false;
        }
        offset += want;
        size -= want;
    }
    return true;
}

// Block entries of the new archive whose stored bytes sit, unchanged, where they sat in the
// original. StormLib writes the new file after the others and rewrites only the tables, so
// normally that is every other file: they read back as well as they did before, and need no
// decompressing to prove it (which would be most of the run's time).
std::vector<bool> UnchangedBlocks(const Baseline& before, const std::string& path,
                                  const ArchiveLayout& now) {
    std::vector<bool> unchanged(now.blocks.size(), false);
    const ArchiveLayout& was = before.originalLayout;
    if (!before.exists || was.headerOffset != now.headerOffset || was.hiBlockTableOffset != 0 ||
        now.hiBlockTableOffset != 0) {
        return unchanged;
    }
    std::vector<BlockEntry> old;
    for (const BlockEntry& entry : was.blocks) {
        if ((entry.flags & MPQ_FILE_EXISTS) != 0) {
            old.push_back(entry);
        }
    }
    const auto order = [](const BlockEntry& a, const BlockEntry& b) {
        return std::tie(a.position, a.compressedSize, a.fileSize, a.flags) <
               std::tie(b.position, b.compressedSize, b.fileSize, b.flags);
    };
    std::sort(old.begin(), old.end(), order);

    const UniqueFd fdWas(::open(before.originalPath.c_str(), O_RDONLY | O_CLOEXEC));
    const UniqueFd fdNow(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    for (std::size_t i = 0; fdWas.Valid() && fdNow.Valid() && i < now.blocks.size(); ++i) {
        const BlockEntry& entry = now.blocks[i];
        const std::uint64_t start = now.headerOffset + entry.position;
        const std::uint64_t end = start + entry.compressedSize;
        unchanged[i] = (entry.flags & MPQ_FILE_EXISTS) != 0 &&
                       std::binary_search(old.begin(), old.end(), entry, order) &&
                       end <= was.fileSize && end <= now.fileSize &&
                       SameBytes(fdWas.Get(), fdNow.Get(), start, entry.compressedSize);
    }
    return unchanged;
}

// Reads the written archive back the way the game and the editor will.
bool Verify(const std::string& path, const std::vector<Pending>& items, const Baseline& before,
            Snapshot* after, AddFailure* failure) {
    Archive archive;
    std::string why;
    if (!archive.Open(path, false, &why)) {
        failure->error = "the written archive does not open: " + why;
        return false;
    }
    after->layout = archive.Layout();

    // Listed before any written file is opened: opening by name teaches StormLib the name,
    // and the listing must show what the (listfile) knows.
    if (!ListEntries(archive, &after->entries, &why)) {
        failure->error = "the written archive cannot be listed: " + why;
        return false;
    }
    std::set<std::string> written;
    std::set<std::uint32_t> newIndices;
    for (const Pending& item : items) {
        std::string stored;
        std::uint32_t newIndex = 0;
        const ChunkSink collect = [&](const char* data, std::size_t size) {
            stored.append(data, size);
            return stored.size() <= item.bytes.size();
        };
        if (!ReadArchivedFile(archive, item.name, collect, &why, &newIndex)) {
            return FailWith(failure, item.name, "the written file does not read back: " + why);
        }
        if (stored != item.bytes) {
            return FailWith(failure, item.name, "the written file reads back different bytes");
        }
        written.insert(UpperAscii(item.name));
        newIndices.insert(newIndex);
    }

    const Summary now = Summarize(after->entries, written, newIndices);
    if (now.internal.count(UpperAscii(LISTFILE_NAME)) != 0) {
        for (const Pending& item : items) {
            const std::string upperName = UpperAscii(item.name);
            const bool listed = std::any_of(
                after->entries.begin(), after->entries.end(), [&](const ArchiveEntry& entry) {
                    return entry.named && UpperAscii(entry.name) == upperName;
                });
            if (!listed) {
                return FailWith(failure, item.name,
                                "the (listfile) does not name the written file");
            }
        }
    }
    const Summary was = Summarize(before.entries, written, before.oldIndices);
    const std::string difference = CompareSummaries(was, now);
    if (!difference.empty()) {
        failure->error = "check after writing failed: " + difference;
        return false;
    }

    const std::vector<bool> unchanged = UnchangedBlocks(before, path, after->layout);
    std::vector<ArchiveEntry> broken;
    for (const ArchiveEntry& entry : after->entries) {
        const bool proven = entry.fileIndex < unchanged.size() && unchanged[entry.fileIndex];
        if (newIndices.count(entry.fileIndex) == 0 && !proven && !ReadsCleanly(archive, entry)) {
            broken.push_back(entry);
        }
    }
    if (!broken.empty() && !AlreadyBroken(before, broken)) {
        failure->error =
            "check after writing failed: " + broken.front().name + " does not read back";
        return false;
    }
    return true;
}

bool CreateNewArchive(const std::string& path, Archive* archive, std::string* error) {
    SFILE_CREATE_MPQ info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.dwMpqVersion = MPQ_FORMAT_VERSION_1;
    // A (listfile), imploded like everything else: the game's Storm predates the other
    // compressions StormLib would pick by default.
    info.dwFileFlags1 = MPQ_FILE_IMPLODE;
    info.dwSectorSize = kSectorSize;
    info.dwMaxFileCount = kInitialFileCount;
    HANDLE handle = nullptr;
    if (!SFileCreateArchive2(path.c_str(), &info, &handle)) {
        *error = "cannot create the archive: " + LastStormError();
        return false;
    }
    // Closing at once gives a file that Archive::Open checks like any other.
    if (!SFileCloseArchive(handle)) {
        *error = "cannot create the archive: " + LastStormError();
        return false;
    }
    return archive->Open(path, true, error);
}

bool StoreFile(const Archive& archive, const std::string& name, const std::string& bytes,
               ULONGLONG fileTime, std::string* error) {
    // Removing by name first: asked to replace a file it has no name for (archives without a
    // (listfile), like the game's own patch), StormLib 9.22 fails an assertion and aborts.
    if (!SFileRemoveFile(archive.Handle(), name.c_str(), 0)) {
        const DWORD code = GetLastError();
        if (!IsNotFound(code)) {
            *error = "cannot replace the old copy: " + StormErrorText(code);
            return false;
        }
    }
    const auto size = static_cast<DWORD>(bytes.size());
    HANDLE file = nullptr;
    if (!SFileCreateFile(archive.Handle(), name.c_str(), fileTime, size, 0, MPQ_FILE_IMPLODE,
                         &file)) {
        DWORD code = GetLastError();
        if (code != ERROR_DISK_FULL) {
            *error = "cannot add the file: " + StormErrorText(code);
            return false;
        }
        // The hash table is full. Growing it rehashes every file, which needs every name.
        const DWORD count = SFileGetMaxFileCount(archive.Handle());
        if (count >= HASH_TABLE_SIZE_MAX || !SFileSetMaxFileCount(archive.Handle(), count * 2)) {
            *error = "the archive's file table is full (" + std::to_string(count) +
                     " files) and cannot grow: " + LastStormError();
            return false;
        }
        if (!SFileCreateFile(archive.Handle(), name.c_str(), fileTime, size, 0, MPQ_FILE_IMPLODE,
                             &file)) {
            *error = "cannot add the file: " + LastStormError();
            return false;
        }
    }
    bool ok = true;
    if (size > 0) {
        ok = SFileWriteFile(file, bytes.data(), size, MPQ_COMPRESSION_PKWARE);
        if (!ok) {
            *error = "cannot write the file into the archive: " + LastStormError();
        }
    }
    // Finishing also releases the handle, so it runs even after a failed write.
    if (!SFileFinishFile(file) && ok) {
        *error = "cannot finish the file in the archive: " + LastStormError();
        ok = false;
    }
    return ok;
}

// The copy gets the original's permissions and reaches the disk before it is renamed over
// the original: after a power cut the name points at the old archive or the complete new one.
bool FinishCopy(const std::string& path, mode_t mode, std::string* error) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid() || ::fchmod(fd.Get(), mode) != 0 || ::fsync(fd.Get()) != 0) {
        *error = ErrnoText(path);
        return false;
    }
    return true;
}

// Makes the rename itself durable. Some file systems refuse fsync on directories; the rename
// is then as durable as they make it.
void SyncDirectory(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY));
    if (fd.Valid()) {
        ::fsync(fd.Get());
    }
}

std::int64_t WastedBytes(const Snapshot& snapshot) {
    std::int64_t used =
        static_cast<std::int64_t>(snapshot.layout.headerOffset + snapshot.layout.TableBytes());
    for (const ArchiveEntry& entry : snapshot.entries) {
        used += entry.compressedSize;
    }
    return static_cast<std::int64_t>(snapshot.layout.fileSize) - used;
}

// Squeezes the holes out of a verified copy into a second copy. Any failure just keeps the
// uncompacted copy: compaction is a nicety, the change itself is already safe.
void TryCompact(const std::string& directory, const std::string& base, TempFile* result,
                const std::vector<Pending>& items, const Baseline& before) {
    TempFile compacted;
    std::string ignored;
    if (!compacted.Create(TempPattern(directory, base)) ||
        !CopyContents(result->Path(), compacted.Fd(), &ignored)) {
        return;
    }
    Archive archive;
    if (!archive.Open(compacted.Path(), true, &ignored)) {
        return;
    }
    const bool ok = SFileCompactArchive(archive.Handle(), nullptr, false);
    // The compaction renamed a new file over the copy: the held one is gone.
    if (!archive.Close(&ignored) || !ok || !compacted.HoldAgain()) {
        return;
    }
    Snapshot snapshot;
    AddFailure unused;
    if (Verify(compacted.Path(), items, before, &snapshot, &unused)) {
        *result = std::move(compacted);
    }
}

// Everything about one file that can be refused before the archive is touched.
bool PrepareItem(const AddItem& given, Pending* item, std::string* error) {
    item->name = ArchivedName(given.name);
    if (item->name.empty() || !IsSafeLeafName(LastComponent(item->name))) {
        *error = "'" + given.name + "' is not a file name";
        return false;
    }
    if (item->name.size() >= MAX_PATH) {
        *error = "the name is too long for an archive";
        return false;
    }
    if (IsInternalName(item->name)) {
        *error = item->name + " is maintained by StormLib itself";
        return false;
    }
    struct stat fileStat {};
    if (!ReadLocalFile(given.file, &item->bytes, &fileStat, error)) {
        return false;
    }
    item->fileTime = FileTimeOf(fileStat);
    return true;
}

} // namespace

std::string RepeatedName(const std::vector<AddItem>& items) {
    std::set<std::string> seen;
    for (const AddItem& item : items) {
        const std::string name = ArchivedName(item.name);
        if (!seen.insert(UpperAscii(name)).second) {
            return name;
        }
    }
    return std::string();
}

bool AddFilesSafely(const AddRequest& request, AddFailure* failure) {
    std::string* const error = &failure->error;
    const std::string repeated = RepeatedName(request.items);
    if (!repeated.empty()) {
        return FailWith(failure, repeated, "given twice");
    }
    std::vector<Pending> items;
    for (const AddItem& given : request.items) {
        Pending item;
        if (!PrepareItem(given, &item, error)) {
            failure->name = ArchivedName(given.name);
            return false;
        }
        items.push_back(std::move(item));
    }
    if (items.empty()) {
        *error = "no file to add";
        return false;
    }

    // Held until the new archive has replaced the old one, so that no other run reads
    // the archive this one is about to replace.
    WriteTarget target;
    UniqueFd folderLock;
    if (!LockWriteTarget(request.archive, &target, &folderLock, error, &failure->busy)) {
        return false;
    }
    Baseline before;
    before.exists = target.exists;
    before.originalPath = target.path;
    mode_t mode = 0;
    if (before.exists) {
        struct stat archiveStat {};
        if (::stat(target.path.c_str(), &archiveStat) != 0) {
            *error = ErrnoText(target.path);
            return false;
        }
        mode = archiveStat.st_mode & 07777;
        const std::string problem = CheckArchiveHeader(target.path, &before.originalLayout);
        if (!problem.empty()) {
            *error = problem;
            return false;
        }
    } else {
        mode = CreationMode();
    }
    // The lock keeps every other writer out of this folder, so what is not held here is
    // what killed runs left behind.
    RemoveStaleTemps(target.directory);

    TempFile temp;
    if (!temp.Create(TempPattern(target.directory, target.base))) {
        *error = ErrnoText("cannot create a temporary file in " + target.directory);
        return false;
    }
    Archive archive;
    if (before.exists) {
        if (!CopyContents(target.path, temp.Fd(), error) ||
            !archive.Open(temp.Path(), true, error) ||
            !ListEntries(archive, &before.entries, error)) {
            return false;
        }
        for (const Pending& item : items) {
            bool found = false;
            std::uint32_t oldIndex = 0;
            if (!FindFileIndex(archive, item.name, &found, &oldIndex, error)) {
                failure->name = item.name;
                return false;
            }
            if (found) {
                before.oldIndices.insert(oldIndex);
            }
        }
    } else if (!CreateNewArchive(temp.Path(), &archive, error)) {
        return false;
    }

    for (const Pending& item : items) {
        if (!StoreFile(archive, item.name, item.bytes, item.fileTime, error)) {
            failure->name = item.name;
            return false;
        }
    }
    if (!archive.Close(error)) {
        *error = "cannot write the archive's tables: " + *error;
        return false;
    }

    Snapshot snapshot;
    if (!Verify(temp.Path(), items, before, &snapshot, failure)) {
        return false;
    }
    const bool allNamed = std::all_of(snapshot.entries.begin(), snapshot.entries.end(),
                                      [](const ArchiveEntry& entry) { return entry.named; });
    if (allNamed && WastedBytes(snapshot) > kCompactThreshold) {
        TryCompact(target.directory, target.base, &temp, items, before);
    }

    HoldPoint("copied");
    if (!FinishCopy(temp.Path(), mode, error)) {
        return false;
    }
    if (::rename(temp.Path().c_str(), target.path.c_str()) != 0) {
        *error = ErrnoText("cannot replace " + target.path);
        return false;
    }
    temp.Release();
    SyncDirectory(target.directory);
    return true;
}

} // namespace mpq2k
