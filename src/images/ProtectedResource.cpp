#include "images/ProtectedResource.h"

#include "tables/Services.h"

#include <memory>
#include <zlib.h>

namespace tolmere {
namespace {

// Deflate cannot expand a stream by more than about 1032 to 1; anything claiming more
// is damaged, and believing it would let a few header bytes ask for gigabytes.
constexpr std::uint64_t kMaxExpansion = 1032;
constexpr std::uint64_t kExpansionSlack = 64;
// Far above any resource the program carries, below sizes that strain memory.
constexpr std::uint64_t kMaxPlainLength = 64u << 20;

std::uint32_t Field(const unsigned char* container, std::size_t offset) {
    const unsigned char* p = container + offset;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

struct BufferDeleter {
    void operator()(char* block) const { FreeAndClear(block); }
};
using Buffer = std::unique_ptr<char, BufferDeleter>;

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

char* DecodeResource(const CCipher& cipher, const unsigned char* container, std::size_t& size,
                     const ChainVector& iv) {
    if (!cipher.HasKey() || !container || size < resource::kHeaderSize)
        return nullptr;
    const std::uint32_t mode = Field(container, resource::kModeField);
    const std::uint64_t enciphered = Field(container, resource::kEncipheredLengthField);
    const std::uint64_t compressed = Field(container, resource::kCompressedLengthField);
    const std::uint64_t plain = Field(container, resource::kPlainLengthField);

    if (enciphered > size - resource::kHeaderSize)
        return nullptr;
    // A trailing partial block is left enciphered, so the stream must end before it.
    const std::size_t blocks = static_cast<std::size_t>(enciphered / resource::kBlockSize);
    const std::size_t deciphered = blocks * resource::kBlockSize;
    if (compressed > deciphered)
        return nullptr;
    if (plain > kMaxPlainLength || plain > compressed * kMaxExpansion + kExpansionSlack)
        return nullptr;

    Buffer work(AllocOrExit(deciphered));
    Decipher(cipher, mode, container + resource::kHeaderSize,
             reinterpret_cast<unsigned char*>(work.get()), blocks, iv);

    Buffer result(AllocOrExit(static_cast<std::size_t>(plain)));
    uLongf produced = static_cast<uLongf>(plain);
    const int status =
        uncompress(reinterpret_cast<Bytef*>(result.get()), &produced,
                   reinterpret_cast<const Bytef*>(work.get()), static_cast<uLong>(compressed));
    // A stream that stops short would hand the caller bytes nobody wrote.
    if (status != Z_OK || produced != plain)
        FatalError("Failed at uncompress");

    size = static_cast<std::size_t>(plain);
    return result.release();
}

} // namespace tolmere
