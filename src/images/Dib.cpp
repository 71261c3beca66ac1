#include "images/Dib.h"

#include "images/Tga.h"
#include "tables/Services.h"

#include <cctype>
#include <cstring>
#include <limits>
#include <utility>

namespace tolmere {
namespace {

constexpr std::uint32_t kCompressionPlain = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

void PutU16(unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void PutU32(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void FreeBlock(unsigned char*& block) {
    // The blocks came from AllocOrExit as char arrays; give them back as such.
    char* raw = reinterpret_cast<char*>(block);
    FreeAndClear(raw);
    block = nullptr;
}

bool ExtensionIs(const char* name, const char* wanted) {
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return false;
    std::size_t i = 0;
    for (; dot[i] && wanted[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(dot[i])) != wanted[i])
            return false;
    }
    return dot[i] == '\0' && wanted[i] == '\0';
}

} // namespace

std::uint32_t BytesPerPixel(std::uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

std::uint64_t StrideFor(std::uint32_t width, std::uint32_t bitsPerPixel) {
    std::uint64_t bytes = std::uint64_t{width} * BytesPerPixel(bitsPerPixel);
    return (bytes + 3) & ~std::uint64_t{3};
}

void ReleaseDesc(DibDesc& desc) {
    FreeBlock(desc.rows);
    FreeBlock(desc.palette);
    desc = DibDesc{};
}

bool DecodePicture(DibDesc& desc, const std::string& path) {
    ReleaseDesc(desc);
    if (!ExtensionIs(path.c_str(), ".tga"))
        return false;
    CBinFile file;
    if (!file.Open(path, CBinFile::kRead))
        return false;
    return DecodeTga(desc, file);
}

bool DecodePicture(DibDesc& desc, MemFileDesc* memFile) {
    ReleaseDesc(desc);
    if (!memFile)
        return false;
    // Opening the file even when no decoder wants it lets Close release an owned one.
    CBinFile file;
    if (!file.Open(memFile))
        return false;
    // The name need not be terminated within its field if the caller filled it all.
    char name[sizeof memFile->name + 1] = {};
    std::memcpy(name, memFile->name, sizeof memFile->name);
    if (!ExtensionIs(name, ".tga"))
        return false;
    return DecodeTga(desc, file);
}

CDib::CDib() {
    header_ = reinterpret_cast<unsigned char*>(AllocOrExit(kHeaderSize));
    std::memset(header_, 0, kHeaderSize);
}

CDib::~CDib() {
    Release();
    FreeBlock(header_);
}

CDib::CDib(CDib&& other) : CDib() {
    Swap(other);
}

CDib& CDib::operator=(CDib&& other) noexcept {
    // The picture this one held leaves with `other` and is released there.
    Swap(other);
    return *this;
}

void CDib::Swap(CDib& other) noexcept {
    std::swap(desc_, other.desc_);
    std::swap(header_, other.header_);
    std::swap(ownsRows_, other.ownsRows_);
}

bool CDib::TakeDesc(DibDesc& desc) {
    std::uint32_t bytesPerPixel = BytesPerPixel(desc.bitsPerPixel);
    if (!desc.rows || desc.width == 0 || desc.height == 0 || desc.stride == 0)
        return false;
    if (desc.bitsPerPixel == 8 && !desc.palette)
        return false;
    if (bytesPerPixel == 0)
        return false;
    // The header holds width, height and image size in 32-bit fields, and drawing
    // must not read past a row's end.
    constexpr std::uint32_t kMaxSide = std::numeric_limits<std::int32_t>::max();
    if (desc.width > kMaxSide || desc.height > kMaxSide)
        return false;
    if (std::uint64_t{desc.width} * bytesPerPixel > desc.stride)
        return false;
    if (std::uint64_t{desc.stride} * desc.height > std::numeric_limits<std::uint32_t>::max())
        return false;

    Release();
    desc_ = desc;
    desc = DibDesc{};
    ownsRows_ = true;
    RebuildHeader();
    return true;
}

bool CDib::LoadPicture(const std::string& path) {
    DibDesc desc;
    if (!DecodePicture(desc, path))
        return false;
    if (TakeDesc(desc))
        return true;
    ReleaseDesc(desc);
    return false;
}

bool CDib::LoadPicture(MemFileDesc* memFile) {
    DibDesc desc;
    if (!DecodePicture(desc, memFile))
        return false;
    if (TakeDesc(desc))
        return true;
    ReleaseDesc(desc);
    return false;
}

void CDib::Release() {
    if (ownsRows_)
        ReleaseDesc(desc_);
    desc_ = DibDesc{};
    RebuildHeader();
}

void CDib::RebuildHeader() {
    if (!header_)
        return;
    std::memset(header_, 0, kHeaderSize);
    if (!desc_.rows)
        return;
    unsigned char* h = header_;
    PutU32(h + 0, kInfoHeaderSize);
    PutU32(h + 4, desc_.width);
    // A negative height tells the display the rows run top row first.
    PutU32(h + 8, static_cast<std::uint32_t>(-static_cast<std::int32_t>(desc_.height)));
    PutU16(h + 12, 1);
    PutU16(h + 14, desc_.bitsPerPixel == 15 ? 16 : desc_.bitsPerPixel);
    PutU32(h + 16, desc_.bitsPerPixel == 16 ? kCompressionBitFields : kCompressionPlain);
    PutU32(h + 20, desc_.stride * desc_.height);

    unsigned char* colours = h + kInfoHeaderSize;
    if (desc_.bitsPerPixel == 8) {
        std::memcpy(colours, desc_.palette, kPaletteBytes);
    } else if (desc_.bitsPerPixel == 16) {
        // 5-6-5: the masks sit where the colour table would start.
        PutU32(colours + 0, 0xF800);
        PutU32(colours + 4, 0x07E0);
        PutU32(colours + 8, 0x001F);
    }
}

} // namespace tolmere
