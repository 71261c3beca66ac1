// SPDX-License-Identifier: MIT
#include "images/Ripemd160.h"

#include "base/ByteOrder.h"

#include <cstring>

namespace tolmere {
namespace {

inline std::uint32_t Rotl(std::uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

inline std::uint32_t F(unsigned round, std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    switch (round) {
    case 0:
        return x ^ y ^ z;
    case 1:
        return (x & y) | (~x & z);
    case 2:
        return (x | ~y) ^ z;
    case 3:
        return (x & z) | (y & ~z);
    default:
        return x ^ (y | ~z);
    }
}

const std::uint32_t kLeftConst[5] = {0x00000000, 0x5A827999, 0x6ED9EBA1, 0x8F1BBCDC, 0xA953FD4E};
const std::uint32_t kRightConst[5] = {0x50A28BE6, 0x5C4DD124, 0x6D703EF3, 0x7A6D76E9, 0x00000000};

const unsigned char kLeftWord[80] = {0, 1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15,
                                     7, 4,  13, 1,  10, 6,  15, 3,  12, 0, 9,  5,  2,  14, 11, 8,
                                     3, 10, 14, 4,  9,  15, 8,  1,  2,  7, 0,  6,  13, 11, 5,  12,
                                     1, 9,  11, 10, 0,  8,  12, 4,  13, 3, 7,  15, 14, 5,  6,  2,
                                     4, 0,  5,  9,  7,  12, 2,  10, 14, 1, 3,  8,  11, 6,  15, 13};
const unsigned char kRightWord[80] = {5,  14, 7,  0, 9, 2,  11, 4,  13, 6,  15, 8,  1,  10, 3,  12,
                                      6,  11, 3,  7, 0, 13, 5,  10, 14, 15, 8,  12, 4,  9,  1,  2,
                                      15, 5,  1,  3, 7, 14, 6,  9,  11, 8,  12, 2,  10, 0,  4,  13,
                                      8,  6,  4,  1, 3, 11, 15, 0,  5,  12, 2,  13, 9,  7,  10, 14,
                                      12, 15, 10, 4, 1, 5,  8,  7,  6,  2,  13, 14, 0,  3,  9,  11};
const unsigned char kLeftShift[80] = {
    11, 14, 15, 12, 5, 8,  7,  9,  11, 13, 14, 15, 6,  7,  9,  8,  7,  6,  8,  13,
    11, 9,  7,  15, 7, 12, 15, 9,  11, 7,  13, 12, 11, 13, 6,  7,  14, 9,  13, 15,
    14, 8,  13, 6,  5, 12, 7,  5,  11, 12, 14, 15, 14, 15, 9,  8,  9,  14, 5,  6,
    8,  6,  5,  12, 9, 15, 5,  11, 6,  8,  13, 12, 5,  12, 13, 14, 11, 8,  5,  6};
const unsigned char kRightShift[80] = {
    8,  9,  9,  11, 13, 15, 15, 5, 7,  7,  8,  11, 14, 14, 12, 6,  9,  13, 15, 7,
    12, 8,  9,  11, 7,  7,  12, 7, 6,  15, 13, 11, 9,  7,  15, 11, 8,  6,  6,  14,
    12, 13, 5,  14, 13, 13, 7,  5, 15, 5,  8,  11, 14, 14, 6,  14, 6,  9,  12, 9,
    12, 5,  15, 8,  8,  5,  12, 9, 12, 5,  14, 6,  8,  13, 6,  5,  15, 13, 11, 11};

// Places the first (length mod 64) bytes, the 0x80 marker and the length words into a
// last block (two when the bytes leave no room for the lengths) and compresses it.
void Finish(Ripemd160Chain& chain, const unsigned char* tail, std::uint32_t lowLength,
            std::uint32_t highLength) {
    std::uint32_t words[16] = {};
    const std::uint32_t inBlock = lowLength & 63;
    for (std::uint32_t i = 0; i < inBlock; ++i)
        words[i >> 2] ^= std::uint32_t(tail[i]) << (8 * (i & 3));
    words[(lowLength >> 2) & 15] ^= std::uint32_t(1) << (8 * (lowLength & 3) + 7);
    if (inBlock > 55) {
        Ripemd160Compress(chain, words);
        std::memset(words, 0, sizeof words);
    }
    words[14] = lowLength << 3;
    words[15] = (lowLength >> 29) | (highLength << 3);
    Ripemd160Compress(chain, words);
}

} // namespace

Ripemd160Chain Ripemd160Start() {
    return {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
}

void Ripemd160Compress(Ripemd160Chain& chain, const std::uint32_t words[16]) {
    std::uint32_t al = chain[0], bl = chain[1], cl = chain[2], dl = chain[3], el = chain[4];
    std::uint32_t ar = al, br = bl, cr = cl, dr = dl, er = el;
    for (unsigned j = 0; j < 80; ++j) {
        const unsigned round = j / 16;
        std::uint32_t t = Rotl(al + F(round, bl, cl, dl) + words[kLeftWord[j]] + kLeftConst[round],
                               kLeftShift[j]) +
                          el;
        al = el;
        el = dl;
        dl = Rotl(cl, 10);
        cl = bl;
        bl = t;
        // The right line runs the boolean functions in the opposite order.
        t = Rotl(ar + F(4 - round, br, cr, dr) + words[kRightWord[j]] + kRightConst[round],
                 kRightShift[j]) +
            er;
        ar = er;
        er = dr;
        dr = Rotl(cr, 10);
        cr = br;
        br = t;
    }
    const std::uint32_t t = chain[1] + cl + dr;
    chain[1] = chain[2] + dl + er;
    chain[2] = chain[3] + el + ar;
    chain[3] = chain[4] + al + br;
    chain[4] = chain[0] + bl + cr;
    chain[0] = t;
}

Ripemd160Digest Ripemd160Bytes(const Ripemd160Chain& chain) {
    Ripemd160Digest digest{};
    for (std::size_t i = 0; i < 5; ++i)
        WriteLe32(digest.data() + 4 * i, chain[i]);
    return digest;
}

Ripemd160Digest Ripemd160(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    Ripemd160Chain chain = Ripemd160Start();
    std::size_t left = size;
    while (left >= 64) {
        std::uint32_t words[16];
        for (std::size_t i = 0; i < 16; ++i)
            words[i] = ReadLe32(bytes + 4 * i);
        Ripemd160Compress(chain, words);
        bytes += 64;
        left -= 64;
    }
    // Finish takes the byte count split at 32 bits and turns both halves into bits.
    const std::uint64_t length = size;
    Finish(chain, bytes, static_cast<std::uint32_t>(length),
           static_cast<std::uint32_t>(length >> 32));
    return Ripemd160Bytes(chain);
}

Ripemd160Digest Ripemd160KeyDigest(const void* text, std::size_t length) {
    Ripemd160Chain chain = Ripemd160Start();
    Finish(chain, static_cast<const unsigned char*>(text), static_cast<std::uint32_t>(length), 32);
    return Ripemd160Bytes(chain);
}

} // namespace tolmere
