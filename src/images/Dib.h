// Pictures held in memory in the layout the display layer draws from.
#pragma once

#include "tables/BinFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolmere {

// A decoded picture. Rows run top row first, each starting a multiple of four bytes
// after the previous one. `rows` and `palette` are blocks from AllocOrExit; whoever
// holds a filled descriptor owns them until it is handed to a CDib.
struct DibDesc {
    std::uint32_t format = 0;       // always 0: a plain picture
    std::uint32_t bitsPerPixel = 0; // 8, 15, 16, 24 or 32
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t stride = 0; // bytes from one row to the next
    unsigned char* rows = nullptr;
    // 256 entries of blue, green, red, 0; 8-bit pictures only.
    unsigned char* palette = nullptr;
};

constexpr std::size_t kPaletteEntries = 256;
constexpr std::size_t kPaletteBytes = kPaletteEntries * 4;

// Bytes one pixel takes in the rows: 15- and 16-bit pixels both take two. 0 for a
// depth no picture has.
std::uint32_t BytesPerPixel(std::uint32_t bitsPerPixel);

// Width × bytes per pixel rounded up to a multiple of four.
std::uint64_t StrideFor(std::uint32_t width, std::uint32_t bitsPerPixel);

// Releases the descriptor's rows and palette, if any, and zeroes it.
void ReleaseDesc(DibDesc& desc);

// Decodes the disk file at `path`, choosing the decoder by the extension (the text
// from the last '.' on, in any case); only ".tga" has one. On failure `desc` is left
// empty; a descriptor that already held a picture is released first.
bool DecodePicture(DibDesc& desc, const std::string& path);
// The same for an in-memory file, whose `name` field carries the extension. A file
// marked `owned` is released whatever the outcome, so the caller never touches it
// again.
bool DecodePicture(DibDesc& desc, MemFileDesc* memFile);

class CDib {
public:
    // A device-independent bitmap info header followed by a 256-entry colour table and
    // four bytes of slack that stay zero; the display layer takes the block as it is.
    static constexpr std::size_t kInfoHeaderSize = 40;
    static constexpr std::size_t kHeaderSize = 1068;
    static_assert(kHeaderSize >= kInfoHeaderSize + kPaletteBytes);

    CDib();
    ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;
    CDib(CDib&& other);
    CDib& operator=(CDib&& other) noexcept;

    // Refuses, changing nothing, a descriptor without rows, with a zero width, height
    // or stride, of 8 bits per pixel without a palette, of an unknown depth, with rows
    // narrower than the width, or too large for the header's 32-bit fields. Otherwise
    // drops the current picture, takes the rows and palette and zeroes `desc`.
    bool TakeDesc(DibDesc& desc);

    // Decode and take the picture; on failure the current picture stays.
    bool LoadPicture(const std::string& path);
    bool LoadPicture(MemFileDesc* memFile);

    bool IsEmpty() const { return desc_.rows == nullptr; }
    const DibDesc& Desc() const { return desc_; }
    // kHeaderSize bytes; all zero while the picture is empty.
    const unsigned char* Header() const { return header_; }

private:
    void Release();
    void RebuildHeader();
    void Swap(CDib& other) noexcept;

    DibDesc desc_;
    unsigned char* header_ = nullptr;
    bool ownsRows_ = true;
};

} // namespace tolmere
