// SPDX-License-Identifier: MIT
// Hashes and the block cipher against published vectors, the key the resources are
// enciphered with, and the protected resources they open.
#include "images/Cipher.h"
#include "images/ProtectedResource.h"
#include "images/ResourceKey.h"
#include "images/Ripemd160.h"

#include "base/ByteOrder.h"
#include "base/ProgramExit.h"
#include "respack/Pack.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace tolmere {
namespace {

std::string Hex(const Ripemd160Digest& digest) {
    std::string out;
    char pair[3];
    for (std::uint8_t byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        out += pair;
    }
    return out;
}

std::string StandardHex(const std::string& text) {
    return Hex(Ripemd160(text.data(), text.size()));
}

TEST(Ripemd160, PublishedVectors) {
    EXPECT_EQ(StandardHex(""), "9c1185a5c5e9fc54612808977ee8f548b2258d31");
    EXPECT_EQ(StandardHex("a"), "0bdc9d2d256b3ee9daae347be6f4dc835a467ffe");
    EXPECT_EQ(StandardHex("abc"), "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc");
    EXPECT_EQ(StandardHex("message digest"), "5d0689ef49d2fae572b881b123a85ffa21595f36");
    EXPECT_EQ(StandardHex("abcdefghijklmnopqrstuvwxyz"),
              "f71c27109c692c1b56bbdceb5b9d2865b3708dbc");
    EXPECT_EQ(StandardHex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "12a053384a9c0c88e405a06c27dcf49ada62eb2b");
    std::string digits;
    for (int i = 0; i < 8; ++i)
        digits += "1234567890";
    EXPECT_EQ(StandardHex(digits), "9b752e45573d4b39f4dbd3323cab82bf63326bfb");
    EXPECT_EQ(StandardHex(std::string(1000000, 'a')), "52783243c1697bdbe16d37f97f68f08325dc1528");
}

struct Vector {
    const char* key;
    std::uint32_t plainLeft, plainRight;
    std::uint32_t cipherLeft, cipherRight;
};

std::string KeyBytes(const char* hex) {
    std::string out;
    for (const char* p = hex; p[0] && p[1]; p += 2)
        out += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
    return out;
}

// Published Blowfish vectors. They write each half big-endian, so the hexadecimal
// halves are the 32-bit values themselves; only the bytes in memory differ here.
const Vector kVectors[] = {
    {"0000000000000000", 0x00000000, 0x00000000, 0x4EF99745, 0x6198DD78},
    {"FFFFFFFFFFFFFFFF", 0xFFFFFFFF, 0xFFFFFFFF, 0x51866FD5, 0xB85ECB8A},
    {"3000000000000000", 0x10000000, 0x00000001, 0x7D856F9A, 0x613063F2},
    {"1111111111111111", 0x11111111, 0x11111111, 0x2466DD87, 0x8B963C9D},
    {"0123456789ABCDEF", 0x11111111, 0x11111111, 0x61F9C380, 0x2281B096},
    {"FEDCBA9876543210", 0x01234567, 0x89ABCDEF, 0x0ACEAB0F, 0xC6A0A28D},
    {"F0", 0xFEDCBA98, 0x76543210, 0xF9AD597C, 0x49DB005E},
    {"F0E1", 0xFEDCBA98, 0x76543210, 0xE91D21C1, 0xD961A6D6},
};

TEST(Cipher, BlowfishPublishedVectors) {
    for (const Vector& v : kVectors) {
        SCOPED_TRACE(v.key);
        const std::string key = KeyBytes(v.key);
        CBlowfishCipher cipher;
        ASSERT_TRUE(
            cipher.SetRawKey(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()));
        std::uint32_t l = v.plainLeft, r = v.plainRight;
        cipher.EncryptBlock(l, r);
        EXPECT_EQ(l, v.cipherLeft);
        EXPECT_EQ(r, v.cipherRight);
        cipher.DecryptBlock(l, r);
        EXPECT_EQ(l, v.plainLeft);
        EXPECT_EQ(r, v.plainRight);
    }
}

// The packer and the reader share this code, so only pinned bytes show a changed layout:
// each half little-endian, the left one first.
TEST(Cipher, BlocksInMemoryHaveLittleEndianHalves) {
    const unsigned char bytes[8] = {0x45, 0x97, 0xF9, 0x4E, 0x78, 0xDD, 0x98, 0x61};
    std::uint32_t l, r;
    LoadBlock(bytes, l, r);
    EXPECT_EQ(std::make_pair(l, r), std::make_pair(0x4EF99745u, 0x6198DD78u));
    unsigned char out[8];
    StoreBlock(out, l, r);
    EXPECT_EQ(std::memcmp(out, bytes, 8), 0);
}

// The resources are packed at build time by this same code, so decoding them cannot show
// a key derived wrongly on both sides; the digest of the key text is pinned here. It comes
// from a separate implementation written from the description of the finishing step.
TEST(Cipher, TheResourceKeyIsTheDigestOfItsText) {
    CBlowfishCipher fromText, raw;
    ASSERT_TRUE(fromText.SetKey(kResourceKeyText, kResourceKeyBits, 0));
    const std::string digest = KeyBytes("9FA22B81A9DF4B3C70EBC188AD4AE2F5DB21D5DA");
    ASSERT_TRUE(raw.SetRawKey(reinterpret_cast<const std::uint8_t*>(digest.data()), 20));
    std::uint32_t l = 1, r = 2, rawL = 1, rawR = 2;
    fromText.EncryptBlock(l, r);
    raw.EncryptBlock(rawL, rawR);
    EXPECT_EQ(std::make_pair(l, r), std::make_pair(rawL, rawR));
}

struct ProgramExited {};

const CBlowfishCipher& ResourceCipher() {
    static CBlowfishCipher cipher;
    if (!cipher.HasKey())
        cipher.SetKey(kResourceKeyText, kResourceKeyBits, 0);
    return cipher;
}

// What decoding gives: the plain content, "refused", or "fatal" for the program's
// fatal exit.
std::string Decode(const std::string& container, const CCipher& cipher = ResourceCipher()) {
    const ExitHandler previous = SetExitHandler([](int code) {
        EXPECT_EQ(code, kExitFatalError);
        throw ProgramExited{};
    });
    std::string outcome = "fatal";
    try {
        outcome = DecodeResource(cipher, reinterpret_cast<const unsigned char*>(container.data()),
                                 container.size())
                      .value_or("refused");
    } catch (const ProgramExited&) {
    }
    SetExitHandler(previous);
    return outcome;
}

std::string Pack(const std::string& plain, std::uint32_t mode = kChainPlainAndCipher) {
    std::string container;
    EXPECT_TRUE(respack::PackResource(ResourceCipher(), plain, container, mode));
    return container;
}

std::string WithField(std::string c, std::size_t offset, std::uint32_t value) {
    WriteLe32(reinterpret_cast<unsigned char*>(&c[offset]), value);
    return c;
}

// Content with some repetition, as pictures and documents have.
std::string SampleContent(std::size_t size, std::uint32_t seed = 1) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        out[i] = static_cast<char>((i % 64 < 40) ? 'a' + (i % 7) : (seed >> 24));
    }
    return out;
}

TEST(ProtectedResource, RoundTripsInEveryMode) {
    for (std::uint32_t mode :
         {kChainBlocks, kChainCipherText, kChainPlainAndCipher, kChainFeedback}) {
        for (std::size_t size : {0, 1, 8, 5047, 101180}) {
            const std::string plain = SampleContent(size, mode + 1);
            EXPECT_TRUE(Decode(Pack(plain, mode)) == plain) << mode << " " << size;
        }
    }
}

TEST(ProtectedResource, AHeaderThatDoesNotFitTheStreamIsRefusedOrFatal) {
    using namespace resource;
    const std::string plain = SampleContent(900), good = Pack(plain);
    const std::uint32_t blocks = static_cast<std::uint32_t>(good.size() - kHeaderSize);
    const std::uint32_t stream =
        ReadLe32(reinterpret_cast<const unsigned char*>(good.data()) + kCompressedLengthField);
    std::string unread = good;
    for (std::size_t offset : {0, 4, 12, 16, 20, 28})
        unread = WithField(unread, offset, 0xDEADBEEF);
    const struct {
        const char* what;
        std::string container;
        std::string outcome;
    } cases[] = {
        {"blocks past the end", WithField(good, kEncipheredLengthField, blocks + 8), "refused"},
        {"blocks near 4 GiB", WithField(good, kEncipheredLengthField, 0xFFFFFFFF), "refused"},
        {"stream past the blocks", WithField(good, kCompressedLengthField, blocks + 1), "refused"},
        {"stream near 4 GiB", WithField(good, kCompressedLengthField, 0xFFFFFFFF), "refused"},
        {"plain near 4 GiB", WithField(good, kPlainLengthField, 0xFFFFFFFF), "refused"},
        {"more than deflate gives", WithField(good, kPlainLengthField, stream * 2000), "refused"},
        {"plain one short", WithField(good, kPlainLengthField, 899), "fatal"},
        {"plain one long", WithField(good, kPlainLengthField, 901), "fatal"},
        {"plain empty", WithField(good, kPlainLengthField, 0), "fatal"},
        {"stream cut", WithField(good, kCompressedLengthField, stream - 1), "fatal"},
        {"unknown mode", WithField(good, kModeField, 2), "fatal"},
        {"another mode", WithField(good, kModeField, kChainBlocks), "fatal"},
        {"fields nothing reads", unread, plain},
        // A trailing partial block stays enciphered; the stream must end before it.
        {"partial last block", WithField(good + "xyz", kEncipheredLengthField, blocks + 3), plain},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.container), c.outcome) << c.what;
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_EQ(Decode(good.substr(0, cut)), "refused") << "cut at " << cut;

    CBlowfishCipher unkeyed, otherKey;
    EXPECT_EQ(Decode(good, unkeyed), "refused");
    ASSERT_TRUE(otherKey.SetKey("Some-Other-Key", 0, 0));
    EXPECT_EQ(Decode(good, otherKey), "fatal");
}

} // namespace
} // namespace tolmere
