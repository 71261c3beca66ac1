// SPDX-License-Identifier: MIT
#include "images/ProtectedResource.h"

#include "base/ByteOrder.h"
#include "base/Services.h"

#include <zlib.h>

namespace tolmere {
namespace {

// Deflate cannot expand a stream by more than about 1032 to 1; anything claiming more
// is damaged, and believing it would let a few header bytes ask for gigabytes.
constexpr std::uint64_t kMaxExpansion = 1032;
constexpr std::uint64_t kExpansionSlack = 64;
// Far above any resource the program carries, below sizes that strain memory.
constexpr std::uint64_t kMaxPlainLength = 64u << 20;

void Decipher(const CCipher& cipher, std::uint32_t mode, const unsigned char* in,
              unsigned char* out, std::size_t blocks, const ChainVector& iv) {
    std::uint32_t prevCl = iv.left, prevCr = iv.right;
    std::uint32_t prevPl = 0, prevPr = 0;
    for (std::size_t i = 0; i < blocks; ++i) {
        std::uint32_t cl, cr;
        LoadBlock(in + i * resource::kBlockSize, cl, cr);
        std::uint32_t pl = cl, pr = cr;
        switch (mode) {
        case kChainBlocks:
            cipher.DecryptBlock(pl, pr);
            break;
        case kChainCipherText:
            cipher.DecryptBlock(pl, pr);
            pl ^= prevCl;
            pr ^= prevCr;
            break;
        case kChainPlainAndCipher:
            cipher.DecryptBlock(pl, pr);
            pl ^= prevPl ^ prevCl;
            pr ^= prevPr ^ prevCr;
            break;
        case kChainFeedback:
            pl = prevCl;
            pr = prevCr;
            cipher.EncryptBlock(pl, pr);
            pl ^= cl;
            pr ^= cr;
            break;
        default:
            // Unknown modes repeat the previous plain block, which starts as zeros; the
            // result is a stream zlib refuses, so such a container ends in the fatal error.
            pl = prevPl;
            pr = prevPr;
            break;
        }
        StoreBlock(out + i * resource::kBlockSize, pl, pr);
        prevPl = pl;
        prevPr = pr;
        prevCl = cl;
        prevCr = cr;
    }
}

} // namespace

std::optional<std::string> DecodeResource(const CCipher& cipher, const unsigned char* container,
                                          std::size_t size, const ChainVector& iv) {
    if (!cipher.HasKey() || !container || size < resource::kHeaderSize)
        return std::nullopt;
    const std::uint32_t mode = ReadLe32(container + resource::kModeField);
    const std::uint64_t enciphered = ReadLe32(container + resource::kEncipheredLengthField);
    const std::uint64_t compressed = ReadLe32(container + resource::kCompressedLengthField);
    const std::uint64_t plain = ReadLe32(container + resource::kPlainLengthField);

    if (enciphered > size - resource::kHeaderSize)
        return std::nullopt;
    // A trailing partial block is left enciphered, so the stream must end before it.
    const std::size_t blocks = static_cast<std::size_t>(enciphered / resource::kBlockSize);
    const std::size_t deciphered = blocks * resource::kBlockSize;
    if (compressed > deciphered)
        return std::nullopt;
    if (plain > kMaxPlainLength || plain > compressed * kMaxExpansion + kExpansionSlack)
        return std::nullopt;

    // Strings, so that even an empty buffer has an address to hand zlib.
    std::string work(deciphered, '\0');
    Decipher(cipher, mode, container + resource::kHeaderSize,
             reinterpret_cast<unsigned char*>(work.data()), blocks, iv);

    std::string result(static_cast<std::size_t>(plain), '\0');
    uLongf produced = static_cast<uLongf>(plain);
    const int status =
        uncompress(reinterpret_cast<Bytef*>(result.data()), &produced,
                   reinterpret_cast<const Bytef*>(work.data()), static_cast<uLong>(compressed));
    // A stream that stops short would hand the caller bytes nobody wrote.
    if (status != Z_OK || produced != plain)
        FatalError("Failed at uncompress");
    return result;
}

} // namespace tolmere
