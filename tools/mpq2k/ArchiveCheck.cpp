// SPDX-License-Identifier: MIT
#include "ArchiveCheck.h"

#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace mpq2k {

namespace {

constexpr std::uint32_t kHeaderId = 0x1A51504D;   // "MPQ\x1A"
constexpr std::uint32_t kUserDataId = 0x1B51504D; // "MPQ\x1B"
constexpr std::uint32_t kHeaderSizeV1 = 32;
constexpr std::uint32_t kHeaderSizeV2 = 44;
constexpr std::uint64_t kTableEntryBytes = 16;
// StormLib stops looking for a header after this many bytes; so do we.
constexpr std::uint64_t kSearchLimit = 0x08000000;
// Real archives use 4 KB sectors (shift 3); StormLib allocates whole sectors, so a wild shift
// is the same kind of trap as a wild table size.
constexpr std::uint16_t kMaxSectorShift = 15;

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t Le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}

// Buffered pread(): the header search touches one small piece every 512 bytes.
class Reader {
public:
    Reader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    // Copies `count` bytes at `offset`, zero-filling what lies past the end of the file.
    bool Read(std::uint64_t offset, unsigned char* out, std::size_t count) {
        std::memset(out, 0, count);
        if (offset >= size_) {
            return true;
        }
        const std::uint64_t left = size_ - offset;
        const auto wanted = static_cast<std::size_t>(left < count ? left : count);
        if (wanted > kWindow) {
            return ReadAt(offset, out, wanted) >= 0;
        }
        if (offset < windowStart_ || offset + wanted > windowStart_ + window_.size()) {
            window_.resize(static_cast<std::size_t>(left < kWindow ? left : kWindow));
            windowStart_ = offset;
            const ssize_t got = ReadAt(offset, window_.data(), window_.size());
            window_.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
            if (got < 0) {
                return false;
            }
        }
        const std::uint64_t available = windowStart_ + window_.size() - offset;
        std::memcpy(out, window_.data() + (offset - windowStart_),
                    static_cast<std::size_t>(available < wanted ? available : wanted));
        return true;
    }

private:
    static constexpr std::size_t kWindow = 64 * 1024;

    // Bytes read (fewer only at the end of the file), or -1.
    ssize_t ReadAt(std::uint64_t offset, unsigned char* out, std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got =
                ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return -1;
            }
            if (got == 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        return static_cast<ssize_t>(done);
    }

    int fd_;
    std::uint64_t size_;
    std::uint64_t windowStart_ = 0;
    std::vector<unsigned char> window_;
};

// Mirrors StormLib's search: every 512-byte boundary, following "MPQ\x1B" user data to the
// header it points at.
bool FindHeader(Reader& reader, std::uint64_t fileSize, std::uint64_t* headerOffset) {
    const std::uint64_t limit = fileSize < kSearchLimit ? fileSize : kSearchLimit;
    unsigned char block[16];
    for (std::uint64_t offset = 0; offset < limit; offset += 512) {
        if (!reader.Read(offset, block, sizeof block)) {
            return false;
        }
        std::uint64_t candidate = offset;
        if (Le32(block) == kUserDataId) {
            const std::uint32_t userDataSize = Le32(block + 4);
            const std::uint32_t headerOffs = Le32(block + 8);
            const std::uint32_t userDataHeader = Le32(block + 12);
            if (userDataHeader <= userDataSize && userDataSize <= headerOffs &&
                offset + headerOffs + kHeaderSizeV1 < fileSize) {
                candidate = offset + headerOffs;
                if (!reader.Read(candidate, block, sizeof block)) {
                    return false;
                }
            }
        }
        if (Le32(block) == kHeaderId && Le32(block + 4) >= kHeaderSizeV1) {
            *headerOffset = candidate;
            return true;
        }
    }
    return false;
}

std::string CheckTable(const char* what, std::uint64_t offset, std::uint64_t entries,
                       std::uint64_t entryBytes, std::uint64_t fileSize) {
    // 64-bit arithmetic: entries < 2^32 and entryBytes <= 16 cannot overflow.
    if (offset > fileSize || entries * entryBytes > fileSize - offset) {
        return std::string("damaged archive: the ") + what + " (" + std::to_string(entries) +
               " entries) reaches past the end of the file";
    }
    return std::string();
}

// The classic MPQ cipher: a 0x500-entry table derived from a fixed seed.
std::array<std::uint32_t, 0x500> BuildCryptTable() {
    std::array<std::uint32_t, 0x500> table{};
    std::uint32_t seed = 0x00100001;
    for (std::uint32_t index1 = 0; index1 < 0x100; ++index1) {
        for (std::uint32_t index2 = index1, i = 0; i < 5; ++i, index2 += 0x100) {
            seed = (seed * 125 + 3) % 0x2AAAAB;
            const std::uint32_t high = (seed & 0xFFFF) << 0x10;
            seed = (seed * 125 + 3) % 0x2AAAAB;
            table[index2] = high | (seed & 0xFFFF);
        }
    }
    return table;
}

void Decrypt(std::vector<std::uint32_t>& words, std::uint32_t key) {
    static const std::array<std::uint32_t, 0x500> table = BuildCryptTable();
    std::uint32_t seed = 0xEEEEEEEE;
    for (std::uint32_t& word : words) {
        seed += table[0x400 + (key & 0xFF)];
        const std::uint32_t plain = word ^ (key + seed);
        key = ((~key << 0x15) + 0x11111111) | (key >> 0x0B);
        seed = plain + seed + (seed << 5) + 3;
        word = plain;
    }
}

constexpr std::uint32_t kBlockTableKey = 0xEC83B3A3; // hash of "(block table)"
constexpr std::uint32_t kFileImplode = 0x00000100;
constexpr std::uint32_t kFileCompress = 0x00000200;
constexpr std::uint32_t kFileEncrypted = 0x00010000;
constexpr std::uint32_t kFileFixKey = 0x00020000;
constexpr std::uint32_t kFileSectorCrc = 0x04000000;
constexpr std::uint32_t kFileSingleUnit = 0x01000000;
constexpr std::uint32_t kFileDeleteMarker = 0x02000000;
constexpr std::uint32_t kFileExists = 0x80000000;
// What the game's own archives use, and so what mpq2k writes into.
constexpr std::uint32_t kGameFlags =
    kFileImplode | kFileCompress | kFileEncrypted | kFileFixKey | kFileSectorCrc | kFileExists;
// Single-unit files and deletion markers came with later games but are read safely once
// their sizes are checked. Incremental patches are never accepted: StormLib 9.22 mishandles
// damaged ones badly enough to overrun its own buffers.
constexpr std::uint32_t kReadableFlags = kGameFlags | kFileSingleUnit | kFileDeleteMarker;
// Implode and deflate never expand more than about 1000 to 1.
constexpr std::uint64_t kMaxExpansion = 1100;

std::string Hex(std::uint32_t value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

// Empty when the entry is possible; StormLib 9.22 trusts each of these numbers when it
// sizes the buffers it reads a file through.
std::string CheckEntry(const BlockEntry& entry, const ArchiveLayout& layout, bool forWriting) {
    if ((entry.flags & ~(forWriting ? kGameFlags : kReadableFlags)) != 0) {
        return "uses storage the game's archives never use (flags " + Hex(entry.flags) + ")" +
               (forWriting ? "; mpq2k reads such an archive but does not write into it" : "");
    }
    if ((entry.flags & kFileDeleteMarker) != 0) {
        return std::string(); // it marks a name as gone and holds no data
    }
    if (layout.headerOffset + entry.position + entry.compressedSize > layout.fileSize) {
        return "reaches past the end of the file";
    }
    if ((entry.flags & kFileSingleUnit) != 0 && (entry.flags & (kFileImplode | kFileCompress))) {
        // One compressed block: StormLib sizes its buffer by the file size alone.
        if (entry.fileSize > entry.compressedSize * kMaxExpansion) {
            return "claims more data than its stored bytes can hold";
        }
        return std::string();
    }
    if ((entry.flags & (kFileImplode | kFileCompress)) == 0) {
        if (entry.compressedSize < entry.fileSize) {
            return "is stored uncompressed in fewer bytes than it holds";
        }
        return std::string();
    }
    if (entry.fileSize != 0) {
        const std::uint64_t sectorSize = std::uint64_t{512} << layout.sectorShift;
        const std::uint64_t sectors = (entry.fileSize + sectorSize - 1) / sectorSize;
        if ((sectors + 1) * 4 > entry.compressedSize) {
            return "claims more data than its stored bytes can describe";
        }
    }
    return std::string();
}

std::string CheckBlockTable(Reader& reader, ArchiveLayout& layout, bool forWriting) {
    std::vector<unsigned char> raw(static_cast<std::size_t>(layout.blockTableEntries) *
                                   kTableEntryBytes);
    if (!reader.Read(layout.blockTableOffset, raw.data(), raw.size())) {
        return std::strerror(errno);
    }
    std::vector<std::uint32_t> words(raw.size() / 4);
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = Le32(raw.data() + i * 4);
    }
    Decrypt(words, kBlockTableKey);
    layout.blocks.clear();
    layout.blocks.reserve(layout.blockTableEntries);
    for (std::size_t i = 0; i + 3 < words.size(); i += 4) {
        const BlockEntry entry{words[i], words[i + 1], words[i + 2], words[i + 3]};
        if ((entry.flags & kFileExists) != 0) {
            const std::string problem = CheckEntry(entry, layout, forWriting);
            if (!problem.empty()) {
                return "damaged archive: file entry " + std::to_string(i / 4) + " " + problem;
            }
        }
        layout.blocks.push_back(entry);
    }
    return std::string();
}

} // namespace

std::uint64_t ArchiveLayout::TableBytes() const {
    std::uint64_t bytes =
        headerSize + (hashTableEntries + std::uint64_t{blockTableEntries}) * kTableEntryBytes;
    if (hiBlockTableOffset != 0) {
        bytes += std::uint64_t{blockTableEntries} * 2;
    }
    return bytes;
}

std::string CheckArchiveHeader(const std::string& path, ArchiveLayout* layout, bool forWriting) {
    // O_NONBLOCK: a FIFO given as an archive must not hang us in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    const UniqueFd closer(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return "not a regular file";
    }
    ArchiveLayout found;
    found.fileSize = static_cast<std::uint64_t>(st.st_size);
    Reader reader(fd, found.fileSize);

    unsigned char header[kHeaderSizeV2];
    if (found.fileSize < kHeaderSizeV1) {
        return "not an MPQ archive (only " + std::to_string(found.fileSize) + " bytes)";
    }
    if (!FindHeader(reader, found.fileSize, &found.headerOffset)) {
        return "not an MPQ archive (no MPQ header found)";
    }
    if (!reader.Read(found.headerOffset, header, sizeof header)) {
        return std::strerror(errno);
    }

    const std::uint64_t base = found.headerOffset;
    const std::uint32_t declaredSize = Le32(header + 4);
    found.formatVersion = Le16(header + 12);
    found.sectorShift = Le16(header + 14);
    found.hashTableEntries = Le32(header + 24);
    found.blockTableEntries = Le32(header + 28);
    std::uint64_t hashPos = Le32(header + 16);
    std::uint64_t blockPos = Le32(header + 20);
    found.headerSize = kHeaderSizeV1;

    if (found.formatVersion > 1) {
        return "MPQ format version " + std::to_string(found.formatVersion + 1) +
               " is not supported (the game reads version 1)";
    }
    if (found.formatVersion == 1 && declaredSize >= kHeaderSizeV2) {
        found.headerSize = kHeaderSizeV2;
        const std::uint64_t hiBlockPos = Le64(header + 32);
        hashPos |= static_cast<std::uint64_t>(Le16(header + 40)) << 32;
        blockPos |= static_cast<std::uint64_t>(Le16(header + 42)) << 32;
        if (hiBlockPos != 0) {
            found.hiBlockTableOffset = base + hiBlockPos;
        }
    }
    if (base + found.headerSize > found.fileSize) {
        return "damaged archive: the MPQ header is cut short";
    }
    if (found.sectorShift > kMaxSectorShift) {
        return "damaged archive: implausible sector size (shift " +
               std::to_string(found.sectorShift) + ")";
    }
    if (found.hashTableEntries == 0) {
        return "damaged archive: the hash table is empty";
    }
    found.hashTableOffset = base + hashPos;
    found.blockTableOffset = base + blockPos;

    std::string problem = CheckTable("hash table", found.hashTableOffset, found.hashTableEntries,
                                     kTableEntryBytes, found.fileSize);
    if (problem.empty()) {
        problem = CheckTable("block table", found.blockTableOffset, found.blockTableEntries,
                             kTableEntryBytes, found.fileSize);
    }
    if (problem.empty() && found.hiBlockTableOffset != 0) {
        problem = CheckTable("high block table", found.hiBlockTableOffset, found.blockTableEntries,
                             2, found.fileSize);
    }
    if (problem.empty()) {
        problem = CheckBlockTable(reader, found, forWriting);
    }
    if (problem.empty() && layout != nullptr) {
        *layout = found;
    }
    return problem;
}

} // namespace mpq2k
