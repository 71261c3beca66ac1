// SPDX-License-Identifier: MIT
#include "respack/Pack.h"

#include "base/ByteOrder.h"

#include <limits>
#include <vector>
#include <zlib.h>

namespace tolmere::respack {
namespace {

void PutField(std::string& out, std::size_t offset, std::uint32_t value) {
    WriteLe32(reinterpret_cast<unsigned char*>(&out[offset]), value);
}

bool KnownMode(std::uint32_t mode) {
    return mode == kChainBlocks || mode == kChainCipherText || mode == kChainPlainAndCipher ||
           mode == kChainFeedback;
}

} // namespace

bool EncipherBlocks(const CCipher& cipher, std::uint32_t mode, unsigned char* data,
                    std::size_t blocks, const ChainVector& iv) {
    if (!KnownMode(mode))
        return false;
    std::uint32_t prevCl = iv.left, prevCr = iv.right;
    std::uint32_t prevPl = 0, prevPr = 0;
    for (std::size_t i = 0; i < blocks; ++i) {
        unsigned char* block = data + i * resource::kBlockSize;
        std::uint32_t pl, pr;
        LoadBlock(block, pl, pr);
        std::uint32_t cl = pl, cr = pr;
        switch (mode) {
        case kChainBlocks:
            cipher.EncryptBlock(cl, cr);
            break;
        case kChainCipherText:
            cl ^= prevCl;
            cr ^= prevCr;
            cipher.EncryptBlock(cl, cr);
            break;
        case kChainPlainAndCipher:
            cl ^= prevPl ^ prevCl;
            cr ^= prevPr ^ prevCr;
            cipher.EncryptBlock(cl, cr);
            break;
        default: // kChainFeedback
            cl = prevCl;
            cr = prevCr;
            cipher.EncryptBlock(cl, cr);
            cl ^= pl;
            cr ^= pr;
            break;
        }
        StoreBlock(block, cl, cr);
        prevPl = pl;
        prevPr = pr;
        prevCl = cl;
        prevCr = cr;
    }
    return true;
}

bool PackResource(const CCipher& cipher, const std::string& plain, std::string& container,
                  std::uint32_t mode, const ChainVector& iv, std::uint32_t tag) {
    if (!cipher.HasKey() || !KnownMode(mode))
        return false;
    constexpr std::uint64_t kFieldMax = std::numeric_limits<std::uint32_t>::max();
    if (plain.size() > kFieldMax)
        return false;

    uLongf packedSize = compressBound(static_cast<uLong>(plain.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(plain.data()),
                  static_cast<uLong>(plain.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    const std::uint64_t padded =
        (packedSize + resource::kBlockSize - 1) / resource::kBlockSize * resource::kBlockSize;
    if (padded > kFieldMax - resource::kHeaderSize)
        return false;
    packed.resize(static_cast<std::size_t>(padded), 0);
    if (!EncipherBlocks(cipher, mode, packed.data(), packed.size() / resource::kBlockSize, iv))
        return false;

    container.assign(resource::kHeaderSize, '\0');
    PutField(container, resource::kHeaderSizeField, resource::kHeaderSize);
    PutField(container, 4, 1);
    PutField(container, resource::kModeField, mode);
    PutField(container, 20, tag);
    PutField(container, resource::kEncipheredLengthField, static_cast<std::uint32_t>(padded));
    PutField(container, 28, static_cast<std::uint32_t>(padded));
    PutField(container, resource::kCompressedLengthField, static_cast<std::uint32_t>(packedSize));
    PutField(container, resource::kPlainLengthField, static_cast<std::uint32_t>(plain.size()));
    container.append(reinterpret_cast<const char*>(packed.data()), packed.size());
    return true;
}

} // namespace tolmere::respack
