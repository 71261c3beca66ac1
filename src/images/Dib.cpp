// SPDX-License-Identifier: MIT
#include "images/Dib.h"

#include "images/Tga.h"

#include <cctype>
#include <cstring>
#include <limits>
#include <utility>

namespace tolmere {
namespace {

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
    case 24:
        return 3;
    default:
        return 0;
    }
}

std::uint64_t StrideFor(std::uint32_t width, std::uint32_t bitsPerPixel) {
    std::uint64_t bytes = std::uint64_t{width} * BytesPerPixel(bitsPerPixel);
    return (bytes + 3) & ~std::uint64_t{3};
}

std::optional<DibDesc> DecodePicture(MemFileDesc* memFile) {
    if (!memFile)
        return std::nullopt;
    // Opening the file even when no decoder wants it lets Close release an owned one.
    CBinFile file;
    if (!file.Open(memFile))
        return std::nullopt;
    // The name need not be terminated within its field if the caller filled it all.
    char name[sizeof memFile->name + 1] = {};
    std::memcpy(name, memFile->name, sizeof memFile->name);
    if (!ExtensionIs(name, ".tga"))
        return std::nullopt;
    return DecodeTga(file);
}

CDib::CDib(CDib&& other) noexcept : desc_(std::exchange(other.desc_, DibDesc{})) {}

CDib& CDib::operator=(CDib&& other) noexcept {
    desc_ = std::exchange(other.desc_, DibDesc{});
    return *this;
}

bool CDib::TakeDesc(DibDesc desc) {
    const std::uint32_t bytesPerPixel = BytesPerPixel(desc.bitsPerPixel);
    if (bytesPerPixel == 0 || desc.width == 0 || desc.height == 0 || desc.stride == 0)
        return false;
    if (desc.bitsPerPixel == 8 && desc.palette.size() != kPaletteBytes)
        return false;
    // The display takes width and height as ints, and drawing must not read past a
    // row's end or the last row.
    constexpr std::uint32_t kMaxSide = std::numeric_limits<std::int32_t>::max();
    if (desc.width > kMaxSide || desc.height > kMaxSide)
        return false;
    if (std::uint64_t{desc.width} * bytesPerPixel > desc.stride)
        return false;
    if (desc.rows.size() < std::uint64_t{desc.stride} * desc.height)
        return false;
    desc_ = std::move(desc);
    return true;
}

bool CDib::LoadPicture(MemFileDesc* memFile) {
    std::optional<DibDesc> desc = DecodePicture(memFile);
    return desc && TakeDesc(std::move(*desc));
}

} // namespace tolmere
