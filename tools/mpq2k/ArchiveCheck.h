// SPDX-License-Identifier: MIT
// A look at the MPQ header before StormLib sees the file.
//
// StormLib trusts the table sizes in the header: a header claiming 0x0FFFFFFF blocks makes it
// allocate and decrypt gigabytes for seconds before it gives up, and a truncated archive sends
// it reading tables that are not there. Both are cheap to spot from the header alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mpq2k {

// One decrypted block table entry: where a file's stored bytes are and how they are stored.
struct BlockEntry {
    std::uint32_t position = 0; // relative to the header
    std::uint32_t compressedSize = 0;
    std::uint32_t fileSize = 0;
    std::uint32_t flags = 0;

    bool operator==(const BlockEntry& other) const {
        return position == other.position && compressedSize == other.compressedSize &&
               fileSize == other.fileSize && flags == other.flags;
    }
};

struct ArchiveLayout {
    std::uint64_t fileSize = 0;
    std::uint64_t headerOffset = 0; // where "MPQ\x1A" starts
    std::uint32_t headerSize = 0;   // bytes of header the tables follow, as StormLib reads it
    std::uint16_t formatVersion = 0;
    std::uint16_t sectorShift = 0;
    std::uint64_t hashTableOffset = 0; // absolute file offsets
    std::uint64_t blockTableOffset = 0;
    std::uint64_t hiBlockTableOffset = 0; // 0 when absent
    std::uint32_t hashTableEntries = 0;
    std::uint32_t blockTableEntries = 0;
    std::vector<BlockEntry> blocks;

    // Bytes that belong to the header and the tables, not to any file.
    std::uint64_t TableBytes() const;
};

// Empty when the header is sane; otherwise a short reason for the user. An archive that
// mpq2k reads safely may still hold entries of kinds it does not write (single-unit files,
// deletion markers): `forWriting` refuses those too.
std::string CheckArchiveHeader(const std::string& path, ArchiveLayout* layout,
                               bool forWriting = true);

} // namespace mpq2k
