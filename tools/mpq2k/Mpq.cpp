// SPDX-License-Identifier: MIT
#include "Mpq.h"

#include <StormLib.h>

#include <strings.h>

#include <cstring>
#include <utility>

namespace mpq2k {

std::string StormErrorText(std::uint32_t code) {
    switch (code) {
    case ERROR_SUCCESS:
        return "unknown error";
    case ERROR_FILE_NOT_FOUND:
        return "not found";
    case ERROR_ACCESS_DENIED:
    case EACCES:
        return "access denied (the archive may be damaged or read-only)";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "out of memory";
    case ERROR_DISK_FULL:
        return "no space left (disk or archive table full)";
    case ERROR_ALREADY_EXISTS:
        return "already exists";
    case ERROR_BAD_FORMAT:
        return "not an MPQ archive or damaged";
    case ERROR_HANDLE_EOF:
        return "unexpected end of data";
    case ERROR_CAN_NOT_COMPLETE:
        return "StormLib could not complete the operation";
    case ERROR_FILE_CORRUPT:
        return "damaged archive";
    case ERROR_AVI_FILE:
        return "an AVI video, not an MPQ archive";
    case ERROR_UNKNOWN_FILE_KEY:
        return "cannot decrypt (unknown file key)";
    case ERROR_CHECKSUM_ERROR:
        return "checksum mismatch (damaged data)";
    case ERROR_INTERNAL_FILE:
        return "not allowed on an internal file";
    case ERROR_UNKNOWN_FILE_NAMES:
        return "the archive holds files whose names are unknown";
    default:
        break;
    }
    if (code < 1000) {
        return std::strerror(static_cast<int>(code));
    }
    return "StormLib error " + std::to_string(code);
}

std::string LastStormError() {
    return StormErrorText(GetLastError());
}

bool IsNotFound(std::uint32_t code) {
    return code == ERROR_FILE_NOT_FOUND;
}

Archive::~Archive() {
    if (handle_ != nullptr) {
        SFileCloseArchive(handle_);
    }
}

Archive::Archive(Archive&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), layout_(other.layout_) {}

Archive& Archive::operator=(Archive&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) {
            SFileCloseArchive(handle_);
        }
        handle_ = std::exchange(other.handle_, nullptr);
        layout_ = other.layout_;
    }
    return *this;
}

bool Archive::Open(const std::string& path, bool writable, std::string* error) {
    std::string ignored;
    Close(&ignored);
    const std::string problem = CheckArchiveHeader(path, &layout_, writable);
    if (!problem.empty()) {
        *error = problem;
        return false;
    }
    HANDLE handle = nullptr;
    if (!SFileOpenArchive(path.c_str(), 0, writable ? 0 : MPQ_OPEN_READ_ONLY, &handle)) {
        *error = LastStormError();
        return false;
    }
    handle_ = handle;
    return true;
}

bool Archive::Close(std::string* error) {
    if (handle_ == nullptr) {
        return true;
    }
    const bool ok = SFileCloseArchive(std::exchange(handle_, nullptr));
    if (!ok) {
        *error = LastStormError();
    }
    return ok;
}

namespace {

// StormLib names a file it has no name for "File" + 8 digits + "." + a guessed extension.
bool IsPseudoName(const char* name) {
    if (std::strncmp(name, "File", 4) != 0) {
        return false;
    }
    for (int i = 4; i < 12; ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return false;
        }
    }
    if (name[12] != '.') {
        return false;
    }
    const std::size_t extension = std::strlen(name + 13);
    return extension >= 1 && extension <= 4;
}

class FileHandle {
public:
    ~FileHandle() {
        if (handle_ != nullptr) {
            SFileCloseFile(handle_);
        }
    }
    HANDLE* Out() { return &handle_; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

} // namespace

bool ListEntries(const Archive& archive, std::vector<ArchiveEntry>* entries, std::string* error) {
    entries->clear();
    SFILE_FIND_DATA data;
    std::memset(&data, 0, sizeof data);
    HANDLE find = SFileFindFirstFile(archive.Handle(), "*", &data, nullptr);
    if (find == nullptr) {
        const DWORD code = GetLastError();
        if (code == ERROR_NO_MORE_FILES || code == ERROR_FILE_NOT_FOUND) {
            return true;
        }
        *error = StormErrorText(code);
        return false;
    }
    do {
        ArchiveEntry entry;
        data.cFileName[sizeof data.cFileName - 1] = '\0';
        entry.name = data.cFileName;
        entry.named = !IsPseudoName(data.cFileName);
        entry.size = data.dwFileSize;
        entry.compressedSize = data.dwCompSize;
        entry.fileIndex = data.dwBlockIndex;
        entries->push_back(std::move(entry));
    } while (SFileFindNextFile(find, &data));
    const DWORD code = GetLastError();
    SFileFindClose(find);
    if (code != ERROR_NO_MORE_FILES && code != ERROR_SUCCESS) {
        *error = StormErrorText(code);
        return false;
    }
    return true;
}

bool ReadArchivedFile(const Archive& archive, const std::string& name, const ChunkSink& sink,
                      std::string* error, std::uint32_t* fileIndex) {
    FileHandle file;
    if (!SFileOpenFileEx(archive.Handle(), name.c_str(), SFILE_OPEN_FROM_MPQ, file.Out())) {
        *error = LastStormError();
        return false;
    }
    if (fileIndex != nullptr) {
        DWORD index = 0;
        if (!SFileGetFileInfo(file.Get(), SFileInfoFileIndex, &index, sizeof index, nullptr)) {
            *error = LastStormError();
            return false;
        }
        *fileIndex = index;
    }
    DWORD high = 0;
    const DWORD size = SFileGetFileSize(file.Get(), &high);
    if (size == SFILE_INVALID_SIZE || high != 0) {
        *error = "implausible file size";
        return false;
    }

    constexpr DWORD kChunk = 64 * 1024;
    std::vector<char> buffer(kChunk);
    DWORD left = size;
    while (left > 0) {
        const DWORD want = left < kChunk ? left : kChunk;
        DWORD got = 0;
        if (!SFileReadFile(file.Get(), buffer.data(), want, &got, nullptr) || got != want) {
            const DWORD code = GetLastError();
            *error = code == ERROR_SUCCESS ? std::string("short read") : StormErrorText(code);
            return false;
        }
        if (!sink(buffer.data(), got)) {
            *error = "stopped";
            return false;
        }
        left -= got;
    }
    return true;
}

bool FindFileIndex(const Archive& archive, const std::string& name, bool* found,
                   std::uint32_t* fileIndex, std::string* error) {
    FileHandle file;
    *found = false;
    if (!SFileOpenFileEx(archive.Handle(), name.c_str(), SFILE_OPEN_FROM_MPQ, file.Out())) {
        const DWORD code = GetLastError();
        if (IsNotFound(code)) {
            return true;
        }
        *error = StormErrorText(code);
        return false;
    }
    DWORD index = 0;
    if (!SFileGetFileInfo(file.Get(), SFileInfoFileIndex, &index, sizeof index, nullptr)) {
        *error = LastStormError();
        return false;
    }
    *found = true;
    *fileIndex = index;
    return true;
}

bool IsInternalName(const std::string& name) {
    // The hash StormLib looks names up by ignores case, so "(LISTFILE)" is the same file.
    for (const char* internal : {LISTFILE_NAME, ATTRIBUTES_NAME, SIGNATURE_NAME}) {
        if (::strcasecmp(name.c_str(), internal) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace mpq2k
