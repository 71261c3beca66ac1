// SPDX-License-Identifier: MIT
#include "images/Tga.h"

#include "base/ByteOrder.h"

namespace tolmere {
namespace {

constexpr std::size_t kTgaHeaderSize = 18;
constexpr unsigned kTypeTrueColour = 2;
constexpr unsigned kDepth = 24;

// Bytes left between the current position and the end.
std::uint64_t BytesLeft(CBinFile& file) {
    std::int64_t here = file.Seek(0, CBinFile::kFromCurrent);
    std::uint64_t size = file.Size();
    if (here < 0 || static_cast<std::uint64_t>(here) > size)
        return 0;
    return size - static_cast<std::uint64_t>(here);
}

} // namespace

std::optional<DibDesc> DecodeTga(CBinFile& file) {
    unsigned char header[kTgaHeaderSize];
    if (!file.ReadExact(header, sizeof header))
        return std::nullopt;
    const unsigned idLength = header[0];
    const unsigned colourMapType = header[1];
    const unsigned imageType = header[2];
    const unsigned colourMapLength = ReadLe16(header + 5);
    const unsigned colourMapEntrySize = header[7];
    const unsigned depth = header[16];
    if (idLength != 0 || colourMapType != 0 || colourMapLength != 0 || colourMapEntrySize != 0 ||
        imageType != kTypeTrueColour || depth != kDepth)
        return std::nullopt;

    DibDesc picture;
    picture.bitsPerPixel = kDepth;
    picture.width = ReadLe16(header + 12);
    picture.height = ReadLe16(header + 14);
    if (picture.width == 0 || picture.height == 0)
        return std::nullopt;
    picture.stride = static_cast<std::uint32_t>(StrideFor(picture.width, kDepth));
    const std::size_t rowBytes = std::size_t{picture.width} * 3;
    // Checked before the rows are allocated, so that a header claiming a huge picture
    // over a few bytes of data costs nothing.
    if (BytesLeft(file) < std::uint64_t{rowBytes} * picture.height)
        return std::nullopt;

    // Zeroed, as the row padding is never written.
    picture.rows.assign(std::size_t{picture.stride} * picture.height, 0);
    // The file's first row always lands in the picture's last one; the origin bit is not
    // looked at, as the skin is stored bottom row first whatever it says.
    for (std::uint32_t i = 0; i < picture.height; ++i) {
        unsigned char* row =
            picture.rows.data() + std::size_t{picture.height - 1 - i} * picture.stride;
        if (!file.ReadExact(row, rowBytes))
            return std::nullopt;
    }
    return picture;
}

} // namespace tolmere
