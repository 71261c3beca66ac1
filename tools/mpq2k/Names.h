// SPDX-License-Identifier: MIT
// How names given by the editor become names inside an archive and paths on disk.
//
// The editor was written for Windows: it sends backslashes, and real installations spell the
// archive names with whatever case the installer chose ("Patch_D2.mpq", "D2data.mpq").
#pragma once

#include <string>
#include <string_view>

namespace mpq2k {

// Names inside an archive always use backslashes: StormLib hashes "data/global/..." to a
// different slot than the game's "data\global\...".
std::string ArchivedName(std::string_view name);

// The part after the last "\" or "/"; this is all extraction ever uses of a name.
std::string LastComponent(std::string_view name);

// False for "", "." and "..": none of them names a file inside the target directory.
bool IsSafeLeafName(std::string_view leaf);

// "tmp08187262\" -> "tmp08187262"; both separators accepted, "" -> ".".
std::string DirectoryPath(std::string_view dir);

// Case-insensitive (ASCII) equality, as the game sees archive and file names.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);
std::string UpperAscii(std::string_view text);

struct ArchiveLookup {
    enum class Status { Found, Missing, Ambiguous };
    Status status = Status::Missing;
    // For Found, the file to open; for Missing, where a new archive would be created.
    std::string path;
};

// An exact match wins; otherwise the single regular file whose name differs only in case.
ArchiveLookup FindArchive(std::string_view given);

// Splits a path into its directory ("." when there is none) and its last component.
void SplitPath(const std::string& path, std::string* directory, std::string* leaf);

} // namespace mpq2k
