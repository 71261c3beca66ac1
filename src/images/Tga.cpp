#include "images/Tga.h"

#include "tables/Services.h"

#include <cstring>

namespace tolmere {
namespace {

constexpr std::size_t kTgaHeaderSize = 18;
constexpr unsigned kTypeTrueColour = 2;
constexpr unsigned kTypeTrueColourRle = 10;
constexpr unsigned kMaxPacketPixels = 128;

unsigned U16At(const unsigned char* at) {
    return at[0] | (at[1] << 8);
}

unsigned char* Alloc(std::uint64_t size) {
    return reinterpret_cast<unsigned char*>(AllocOrExit(static_cast<std::size_t>(size)));
}

void Free(unsigned char*& block) {
    char* raw = reinterpret_cast<char*>(block);
    FreeAndClear(raw);
    block = nullptr;
}

// Bytes left between the current position and the end.
std::uint64_t BytesLeft(CBinFile& file) {
    std::int64_t here = file.Seek(0, CBinFile::kFromCurrent);
    std::uint64_t size = file.Size();
    if (here < 0 || static_cast<std::uint64_t>(here) > size)
        return 0;
    return size - static_cast<std::uint64_t>(here);
}

// Walks the picture's pixels in file order. The file's first row always lands in the
// picture's last one; the origin bit is not trusted, as the pictures we load are
// stored bottom row first whatever it says.
class PixelCursor {
public:
    PixelCursor(const DibDesc& desc, std::uint32_t bytesPerPixel)
        : desc_(desc), bytesPerPixel_(bytesPerPixel) {}

    std::uint64_t PixelsLeft() const {
        return std::uint64_t{desc_.width} * desc_.height - pixelsOut_;
    }

    void Put(const unsigned char* pixel) {
        std::uint64_t row = pixelsOut_ / desc_.width;
        std::uint64_t column = pixelsOut_ % desc_.width;
        unsigned char* at =
            desc_.rows + (desc_.height - 1 - row) * desc_.stride + column * bytesPerPixel_;
        std::memcpy(at, pixel, bytesPerPixel_);
        ++pixelsOut_;
    }

private:
    const DibDesc& desc_;
    std::uint32_t bytesPerPixel_;
    std::uint64_t pixelsOut_ = 0;
};

// The least the file can hold for that many pixels: every byte of them when plain;
// packed, every packet costs its count byte and at least one pixel and yields at most
// 128 pixels.
std::uint64_t FewestPixelBytes(unsigned imageType, std::uint64_t pixels,
                               std::uint32_t bytesPerPixel) {
    if (imageType == kTypeTrueColour)
        return pixels * bytesPerPixel;
    std::uint64_t fewestPackets = (pixels + kMaxPacketPixels - 1) / kMaxPacketPixels;
    return fewestPackets * (1 + bytesPerPixel);
}

bool ReadPlain(const DibDesc& desc, std::uint32_t bytesPerPixel, CBinFile& file) {
    std::size_t rowBytes = std::size_t{desc.width} * bytesPerPixel;
    for (std::uint32_t i = 0; i < desc.height; ++i) {
        unsigned char* row = desc.rows + std::size_t{desc.height - 1 - i} * desc.stride;
        if (!file.ReadExact(row, rowBytes))
            return false;
    }
    return true;
}

// Expands the packets, which may run on from one row into the next. A packet that
// would go past the last pixel, or packets cut short by the end of the file, make
// the picture unreadable rather than guessed at.
bool ExpandRuns(const DibDesc& desc, std::uint32_t bytesPerPixel, const unsigned char* data,
                std::size_t size) {
    PixelCursor cursor(desc, bytesPerPixel);
    std::size_t at = 0;
    while (cursor.PixelsLeft() > 0) {
        if (at >= size)
            return false;
        unsigned char packet = data[at++];
        unsigned count = (packet & 0x7F) + 1u;
        if (count > cursor.PixelsLeft())
            return false;
        if (packet & 0x80) {
            if (size - at < bytesPerPixel)
                return false;
            for (unsigned i = 0; i < count; ++i)
                cursor.Put(data + at);
            at += bytesPerPixel;
        } else {
            if ((size - at) / bytesPerPixel < count)
                return false;
            for (unsigned i = 0; i < count; ++i, at += bytesPerPixel)
                cursor.Put(data + at);
        }
    }
    return true;
}

bool ReadRuns(const DibDesc& desc, std::uint32_t bytesPerPixel, CBinFile& file) {
    std::uint64_t left = BytesLeft(file);
    unsigned char* data = Alloc(left);
    bool ok = file.ReadExact(data, static_cast<std::size_t>(left)) &&
              ExpandRuns(desc, bytesPerPixel, data, static_cast<std::size_t>(left));
    Free(data);
    return ok;
}

} // namespace

bool DecodeTga(DibDesc& desc, CBinFile& file) {
    ReleaseDesc(desc);
    unsigned char header[kTgaHeaderSize];
    if (!file.ReadExact(header, sizeof header))
        return false;
    unsigned idLength = header[0];
    unsigned colourMapType = header[1];
    unsigned imageType = header[2];
    unsigned colourMapLength = U16At(header + 5);
    unsigned colourMapEntrySize = header[7];
    unsigned width = U16At(header + 12);
    unsigned height = U16At(header + 14);
    unsigned depth = header[16];

    if (colourMapType != 0 || colourMapLength != 0 || colourMapEntrySize != 0)
        return false;
    if (imageType != kTypeTrueColour && imageType != kTypeTrueColourRle)
        return false;
    if (width == 0 || height == 0)
        return false;
    if (depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return false;
    if (idLength > 0) {
        if (BytesLeft(file) < idLength)
            return false;
        file.Seek(idLength, CBinFile::kFromCurrent);
    }

    DibDesc picture;
    // Sixteen-bit TGA pixels carry an attribute bit above 5-5-5 colour; it is not
    // alpha anyone draws with, so the picture is taken as 15-bit.
    picture.bitsPerPixel = depth == 16 ? 15 : depth;
    picture.width = width;
    picture.height = height;
    std::uint32_t bytesPerPixel = BytesPerPixel(picture.bitsPerPixel);
    picture.stride = static_cast<std::uint32_t>(StrideFor(width, picture.bitsPerPixel));

    // Checked before the rows are allocated, so that a header claiming a huge picture
    // over a few bytes of data costs nothing.
    if (BytesLeft(file) < FewestPixelBytes(imageType, std::uint64_t{width} * height, bytesPerPixel))
        return false;

    std::uint64_t size = std::uint64_t{picture.stride} * height;
    picture.rows = Alloc(size);
    // The row padding is never written by the decoder.
    std::memset(picture.rows, 0, static_cast<std::size_t>(size));

    bool ok = imageType == kTypeTrueColour ? ReadPlain(picture, bytesPerPixel, file)
                                           : ReadRuns(picture, bytesPerPixel, file);
    if (!ok) {
        ReleaseDesc(picture);
        return false;
    }
    desc = picture;
    return true;
}

} // namespace tolmere
