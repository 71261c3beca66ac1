#include "images/Cipher.h"
#include "images/ResourceKey.h"
#include "images/Ripemd160.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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

std::string KeyHex(const std::string& text) {
    return Hex(Ripemd160KeyDigest(text.data(), text.size()));
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

// Expected values come from a separate implementation written from the description of
// the finishing step, not from this code.
TEST(Ripemd160, KeyDigestFinishesOneBlockWithTheOddHighWord) {
    EXPECT_EQ(KeyHex("Tolmere-Hoard7"), "9fa22b81a9df4b3c70ebc188ad4ae2f5db21d5da");
    EXPECT_EQ(KeyHex(""), "cfcd99b978e8ae7b99dd157c7c3e1f1d8d92c4f0");
    // More than 55 bytes: the bytes and the lengths take two compressions.
    EXPECT_EQ(KeyHex(std::string(60, 'x')), "042ef24fa85d5145a4303ec286468d995aa2b9c6");
    // Only the first (length mod 64) bytes are looked at.
    EXPECT_EQ(KeyHex(std::string(70, 'y')), "7c75e0108eda0620350eec5684bd4826429179a9");
    EXPECT_EQ(KeyHex(std::string(70, 'y')), KeyHex(std::string(6, 'y') + std::string(64, 'z')));
    // It is not the standard digest.
    EXPECT_NE(KeyHex("abc"), StandardHex("abc"));
}

// The variant written out word by word, as a second reading of the same rule.
TEST(Ripemd160, KeyDigestMatchesAHandBuiltBlock) {
    const std::string text = "Tolmere-Hoard7";
    std::uint32_t words[16] = {};
    for (std::size_t i = 0; i < text.size(); ++i)
        words[i / 4] |= std::uint32_t(static_cast<unsigned char>(text[i])) << (8 * (i % 4));
    words[text.size() / 4] |= std::uint32_t(0x80) << (8 * (text.size() % 4));
    words[14] = static_cast<std::uint32_t>(text.size() * 8);
    words[15] = static_cast<std::uint32_t>((text.size() >> 29) + 256);
    Ripemd160Chain chain = Ripemd160Start();
    Ripemd160Compress(chain, words);
    EXPECT_EQ(Ripemd160Bytes(chain), Ripemd160KeyDigest(text.data(), text.size()));
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

TEST(Cipher, BlocksInMemoryHaveLittleEndianHalves) {
    const unsigned char bytes[8] = {0x45, 0x97, 0xF9, 0x4E, 0x78, 0xDD, 0x98, 0x61};
    std::uint32_t l, r;
    LoadBlock(bytes, l, r);
    EXPECT_EQ(l, 0x4EF99745u);
    EXPECT_EQ(r, 0x6198DD78u);
    unsigned char out[8];
    StoreBlock(out, l, r);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 8),
              std::string(reinterpret_cast<const char*>(bytes), 8));
}

TEST(Cipher, NoKeyUntilSetKey) {
    CBlowfishCipher cipher;
    EXPECT_FALSE(cipher.HasKey());
    EXPECT_EQ(cipher.Key(), nullptr);
    EXPECT_EQ(cipher.Algorithm(), 1u);
}

TEST(Cipher, SetKeyFillsTheKeyRecordAndKeysFromTheDigest) {
    CBlowfishCipher cipher;
    ASSERT_TRUE(cipher.SetKey(kResourceKeyText, kResourceKeyBits, 0));
    ASSERT_TRUE(cipher.HasKey());
    const CipherKey& key = *cipher.Key();
    EXPECT_EQ(key.recordSize, 36u);
    EXPECT_EQ(key.bits, 160u);
    EXPECT_EQ(key.reserved, 0u);
    EXPECT_EQ(key.algorithm, 1u);
    EXPECT_EQ(Hex(key.digest), "9fa22b81a9df4b3c70ebc188ad4ae2f5db21d5da");

    CBlowfishCipher raw;
    ASSERT_TRUE(raw.SetRawKey(key.digest.data(), 20));
    std::uint32_t l1 = 0x01234567, r1 = 0x89ABCDEF, l2 = l1, r2 = r1;
    cipher.EncryptBlock(l1, r1);
    raw.EncryptBlock(l2, r2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
    EXPECT_FALSE(raw.HasKey()); // keyed, but not from a text
}

TEST(Cipher, KeyLengthIsRoundedToBytesAndCapped) {
    const std::string text = "Tolmere-Hoard7";
    CBlowfishCipher cipher;
    ASSERT_TRUE(cipher.SetKey(text, 71, 0));
    EXPECT_EQ(cipher.Key()->bits, 64u);
    CBlowfishCipher raw;
    ASSERT_TRUE(raw.SetRawKey(cipher.Key()->digest.data(), 8));
    std::uint32_t l1 = 5, r1 = 6, l2 = 5, r2 = 6;
    cipher.EncryptBlock(l1, r1);
    raw.EncryptBlock(l2, r2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);

    EXPECT_FALSE(cipher.SetKey(text, 161, 0));
    EXPECT_FALSE(cipher.SetKey(text, 7, 0));
    EXPECT_EQ(cipher.Key()->bits, 64u); // a refused key leaves the old one
    EXPECT_TRUE(cipher.SetKey(text, 160, 0));
    EXPECT_EQ(cipher.Key()->bits, 160u);
}

TEST(Cipher, ThirdSetKeyArgumentHasNoEffect) {
    CBlowfishCipher a, b;
    ASSERT_TRUE(a.SetKey(kResourceKeyText, 0, 0));
    ASSERT_TRUE(b.SetKey(kResourceKeyText, 0, 12345));
    std::uint32_t l1 = 1, r1 = 2, l2 = 1, r2 = 2;
    a.EncryptBlock(l1, r1);
    b.EncryptBlock(l2, r2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
}

TEST(Cipher, ReplacingTheKeyChangesTheCipher) {
    CBlowfishCipher cipher;
    ASSERT_TRUE(cipher.SetKey("first key text", 0, 0));
    std::uint32_t l1 = 1, r1 = 2;
    cipher.EncryptBlock(l1, r1);
    ASSERT_TRUE(cipher.SetKey("other key text", 0, 0));
    std::uint32_t l2 = 1, r2 = 2;
    cipher.EncryptBlock(l2, r2);
    EXPECT_FALSE(l1 == l2 && r1 == r2);
    cipher.DecryptBlock(l2, r2);
    EXPECT_EQ(l2, 1u);
    EXPECT_EQ(r2, 2u);
}

} // namespace
} // namespace tolmere
