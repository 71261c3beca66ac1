// SPDX-License-Identifier: MIT
// The container of the program's enciphered, compressed resources: a 40-byte header of
// little-endian 32-bit fields, then a zlib stream enciphered in 8-byte blocks.
#pragma once

#include "images/Cipher.h"
#include "images/ResourceKey.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tolmere {

namespace resource {
inline constexpr std::size_t kHeaderSize = 40;
inline constexpr std::size_t kBlockSize = 8;
// Field offsets. The decoder reads all of these but the header size, which it takes as
// given; the packer also fills the fields at 4, 12, 16, 20 and 28, which nothing reads.
inline constexpr std::size_t kHeaderSizeField = 0;
inline constexpr std::size_t kModeField = 8;
inline constexpr std::size_t kEncipheredLengthField = 24;
inline constexpr std::size_t kCompressedLengthField = 32;
inline constexpr std::size_t kPlainLengthField = 36;
} // namespace resource

// How each block is chained to the ones before it. Any other number deciphers to zeros.
enum ChainMode : std::uint32_t {
    kChainBlocks = 0,         // each block alone
    kChainCipherText = 1,     // previous enciphered block
    kChainPlainAndCipher = 3, // previous plain and enciphered blocks; what the packer uses
    kChainFeedback = 5,       // enciphered previous enciphered block as the key stream
};

// Deciphers and decompresses a container of `size` bytes into its plain content.
// Nothing, allocating nothing, when the cipher has no key or the header does not fit
// the bytes: shorter than the header, blocks that lie past the end, a compressed length
// past the deciphered blocks, or a plain length no zlib stream of that compressed length
// could produce. A stream zlib rejects, or one that does not give exactly the plain
// length, is a fatal "Failed at uncompress".
std::optional<std::string> DecodeResource(const CCipher& cipher, const unsigned char* container,
                                          std::size_t size, const ChainVector& iv = kResourceIv);

} // namespace tolmere
