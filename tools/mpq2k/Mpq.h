// SPDX-License-Identifier: MIT
// The small part of StormLib that mpq2k uses, with handles that close themselves.
#pragma once

#include "ArchiveCheck.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mpq2k {

// StormLib's error codes (errno values and its own 1000+/10000+ range) as words.
std::string StormErrorText(std::uint32_t code);
std::string LastStormError();

// True when `code` (a GetLastError() value) means "no such file in the archive".
bool IsNotFound(std::uint32_t code);

class Archive {
public:
    Archive() = default;
    ~Archive();
    Archive(Archive&& other) noexcept;
    Archive& operator=(Archive&& other) noexcept;
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // Checks the header first (see ArchiveCheck.h); StormLib never sees a file that fails.
    bool Open(const std::string& path, bool writable, std::string* error);
    // Writes the tables (SFileCloseArchive flushes) and reports whether that worked.
    bool Close(std::string* error);

    void* Handle() const { return handle_; }
    bool IsOpen() const { return handle_ != nullptr; }
    const ArchiveLayout& Layout() const { return layout_; }

private:
    void* handle_ = nullptr;
    ArchiveLayout layout_;
};

struct ArchiveEntry {
    std::string name; // StormLib's pseudo name ("File00000012.xxx") when the name is unknown
    bool named = true;
    std::uint32_t size = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t fileIndex = 0;
};

// Every file StormLib can see, named ones by the (listfile).
bool ListEntries(const Archive& archive, std::vector<ArchiveEntry>* entries, std::string* error);

// Streams a file's contents to `sink` in chunks; `sink` returns false to stop. `fileIndex`
// (optional) receives the file's block index.
using ChunkSink = std::function<bool(const char* data, std::size_t size)>;
bool ReadArchivedFile(const Archive& archive, const std::string& name, const ChunkSink& sink,
                      std::string* error, std::uint32_t* fileIndex = nullptr);

// Looks a name up without reading it: `found` false (and true returned) when it is absent.
bool FindFileIndex(const Archive& archive, const std::string& name, bool* found,
                   std::uint32_t* fileIndex, std::string* error);

// Internal files StormLib maintains itself: "(listfile)", "(attributes)", "(signature)".
bool IsInternalName(const std::string& name);

} // namespace mpq2k
