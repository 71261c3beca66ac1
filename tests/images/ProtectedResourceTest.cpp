#include "images/ProtectedResource.h"

#include "respack/Pack.h"
#include "tables/ProgramExit.h"
#include "tables/Services.h"

#include <gtest/gtest.h>

#include <string>

namespace tolmere {
namespace {

struct ProgramExited {
    int code;
};

// Turns the program's exits into exceptions for the life of a test.
class ThrowingExit {
public:
    ThrowingExit() : previous_(SetExitHandler([](int code) { throw ProgramExited{code}; })) {}
    ~ThrowingExit() { SetExitHandler(previous_); }

private:
    ExitHandler previous_;
};

enum class Outcome { kDecoded, kRefused, kFatal };

struct Result {
    Outcome outcome = Outcome::kRefused;
    std::string bytes;
    int exitCode = 0;
};

Result Decode(const CCipher& cipher, const std::string& container,
              const ChainVector& iv = kResourceIv) {
    Result result;
    std::size_t size = container.size();
    try {
        char* plain = DecodeResource(
            cipher, reinterpret_cast<const unsigned char*>(container.data()), size, iv);
        if (!plain) {
            EXPECT_EQ(size, container.size()) << "a refusal leaves the size alone";
            return result;
        }
        result.outcome = Outcome::kDecoded;
        result.bytes.assign(plain, size);
        FreeAndClear(plain);
    } catch (const ProgramExited& e) {
        result.outcome = Outcome::kFatal;
        result.exitCode = e.code;
    }
    return result;
}

CBlowfishCipher& ResourceCipher() {
    static CBlowfishCipher cipher;
    if (!cipher.HasKey())
        cipher.SetKey(kResourceKeyText, kResourceKeyBits, 0);
    return cipher;
}

std::string Pack(const std::string& plain, std::uint32_t mode = kChainPlainAndCipher,
                 const ChainVector& iv = kResourceIv) {
    std::string container;
    EXPECT_TRUE(respack::PackResource(ResourceCipher(), plain, container, mode, iv));
    return container;
}

std::uint32_t GetField(const std::string& c, std::size_t offset) {
    std::uint32_t v = 0;
    for (unsigned i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(c[offset + i])) << (8 * i);
    return v;
}

void SetField(std::string& c, std::size_t offset, std::uint32_t value) {
    for (unsigned i = 0; i < 4; ++i)
        c[offset + i] = static_cast<char>(value >> (8 * i));
}

// Content with some repetition, as pictures and documents have.
std::string SampleContent(std::size_t size, unsigned seed = 1) {
    std::string out(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = static_cast<char>((i % 64 < 40) ? 'a' + (i % 7) : (x >> 24));
    }
    return out;
}

const std::uint32_t kModes[] = {kChainBlocks, kChainCipherText, kChainPlainAndCipher,
                                kChainFeedback};

TEST(ProtectedResource, RoundTripsInEveryMode) {
    ThrowingExit exits;
    for (std::uint32_t mode : kModes) {
        for (std::size_t size : {0, 1, 7, 8, 100, 5047, 101180}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << size << " bytes");
            const std::string plain = SampleContent(size, mode + 1);
            const std::string container = Pack(plain, mode);
            ASSERT_GE(container.size(), resource::kHeaderSize);
            EXPECT_EQ(GetField(container, resource::kModeField), mode);
            EXPECT_EQ(container.size() - resource::kHeaderSize,
                      GetField(container, resource::kEncipheredLengthField));
            EXPECT_EQ(GetField(container, resource::kEncipheredLengthField) % 8, 0u);
            EXPECT_EQ(GetField(container, resource::kPlainLengthField), size);
            const Result r = Decode(ResourceCipher(), container);
            ASSERT_EQ(r.outcome, Outcome::kDecoded);
            EXPECT_EQ(r.bytes, plain);
        }
    }
}

TEST(ProtectedResource, NoKeyGivesNothing) {
    const std::string container = Pack("some text");
    CBlowfishCipher unkeyed;
    std::size_t size = container.size();
    EXPECT_EQ(
        DecodeResource(unkeyed, reinterpret_cast<const unsigned char*>(container.data()), size),
        nullptr);
    EXPECT_EQ(size, container.size());
}

TEST(ProtectedResource, InitialVectorMattersExceptBlockByBlock) {
    ThrowingExit exits;
    const std::string plain = SampleContent(3000);
    const ChainVector other = {kResourceIv.left ^ 1, kResourceIv.right};
    for (std::uint32_t mode : kModes) {
        SCOPED_TRACE(mode);
        const std::string container = Pack(plain, mode);
        const Result r = Decode(ResourceCipher(), container, other);
        if (mode == kChainBlocks) {
            ASSERT_EQ(r.outcome, Outcome::kDecoded);
            EXPECT_EQ(r.bytes, plain);
        } else {
            EXPECT_EQ(r.outcome, Outcome::kFatal);
            EXPECT_EQ(r.exitCode, kExitFatalError);
        }
        // And a container packed with that vector reads back with it.
        const Result same = Decode(ResourceCipher(), Pack(plain, mode, other), other);
        ASSERT_EQ(same.outcome, Outcome::kDecoded);
        EXPECT_EQ(same.bytes, plain);
    }
}

TEST(ProtectedResource, PlainAndCipherChainingCarriesAChangeToEveryLaterBlock) {
    std::string blocks(64, '\0');
    std::string changed = blocks;
    changed[3] = 1; // first block only
    auto encipher = [](std::string data, std::uint32_t mode) {
        EXPECT_TRUE(respack::EncipherBlocks(ResourceCipher(), mode,
                                            reinterpret_cast<unsigned char*>(data.data()), 8));
        return data;
    };
    const std::string a = encipher(blocks, kChainPlainAndCipher);
    const std::string b = encipher(changed, kChainPlainAndCipher);
    for (std::size_t block = 0; block < 8; ++block)
        EXPECT_NE(a.substr(block * 8, 8), b.substr(block * 8, 8)) << "block " << block;
    const std::string c = encipher(blocks, kChainBlocks);
    EXPECT_EQ(c.substr(0, 8), c.substr(8, 8)) << "block by block, equal blocks stay equal";
}

TEST(ProtectedResource, UnknownModesDecipherToZerosAndFail) {
    ThrowingExit exits;
    for (std::uint32_t mode : {2u, 4u, 6u, 0xFFFFFFFFu}) {
        std::string container = Pack(SampleContent(500));
        SetField(container, resource::kModeField, mode);
        const Result r = Decode(ResourceCipher(), container);
        EXPECT_EQ(r.outcome, Outcome::kFatal) << mode;
    }
    std::string dummy;
    EXPECT_FALSE(respack::PackResource(ResourceCipher(), "x", dummy, 2));
}

TEST(ProtectedResource, WrongKeyIsFatal) {
    ThrowingExit exits;
    const std::string container = Pack(SampleContent(500));
    CBlowfishCipher other;
    ASSERT_TRUE(other.SetKey("Some-Other-Key", 0, 0));
    const Result r = Decode(other, container);
    EXPECT_EQ(r.outcome, Outcome::kFatal);
    EXPECT_EQ(r.exitCode, kExitFatalError);
}

TEST(ProtectedResource, PublishedByteOrderCannotBeRead) {
    ThrowingExit exits;
    // Block by block, so each block can be re-enciphered on its own.
    std::string container = Pack(SampleContent(500), kChainBlocks);
    for (std::size_t at = resource::kHeaderSize; at + 8 <= container.size(); at += 8) {
        auto* p = reinterpret_cast<unsigned char*>(&container[at]);
        std::uint32_t l, r;
        LoadBlock(p, l, r);
        ResourceCipher().DecryptBlock(l, r);
        StoreBlock(p, l, r);
        // The published convention: each half read and written big-endian.
        std::uint32_t bl =
            std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
        std::uint32_t br =
            std::uint32_t(p[4]) << 24 | std::uint32_t(p[5]) << 16 | std::uint32_t(p[6]) << 8 | p[7];
        ResourceCipher().EncryptBlock(bl, br);
        for (unsigned i = 0; i < 4; ++i) {
            p[i] = static_cast<unsigned char>(bl >> (24 - 8 * i));
            p[4 + i] = static_cast<unsigned char>(br >> (24 - 8 * i));
        }
    }
    EXPECT_EQ(Decode(ResourceCipher(), container).outcome, Outcome::kFatal);
}

TEST(ProtectedResource, PartialLastBlockStaysEnciphered) {
    ThrowingExit exits;
    const std::string plain = SampleContent(777);
    std::string container = Pack(plain) + "xyz";
    const std::uint32_t enciphered = GetField(container, resource::kEncipheredLengthField);
    SetField(container, resource::kEncipheredLengthField, enciphered + 3);
    Result r = Decode(ResourceCipher(), container);
    ASSERT_EQ(r.outcome, Outcome::kDecoded);
    EXPECT_EQ(r.bytes, plain);
    // The stream may not run into the partial block.
    SetField(container, resource::kCompressedLengthField, enciphered + 1);
    r = Decode(ResourceCipher(), container);
    EXPECT_EQ(r.outcome, Outcome::kRefused);
}

TEST(ProtectedResource, HeaderLengthsThatDoNotFitAreRefused) {
    ThrowingExit exits;
    const std::string good = Pack(SampleContent(900));
    const std::uint32_t enciphered = GetField(good, resource::kEncipheredLengthField);
    const std::uint32_t compressed = GetField(good, resource::kCompressedLengthField);

    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_EQ(Decode(ResourceCipher(), good.substr(0, cut)).outcome, Outcome::kRefused) << cut;

    std::string c = good;
    SetField(c, resource::kEncipheredLengthField, enciphered + 8);
    EXPECT_EQ(Decode(ResourceCipher(), c).outcome, Outcome::kRefused);
    SetField(c, resource::kEncipheredLengthField, 0xFFFFFFFFu);
    EXPECT_EQ(Decode(ResourceCipher(), c).outcome, Outcome::kRefused);

    c = good;
    SetField(c, resource::kCompressedLengthField, enciphered + 1);
    EXPECT_EQ(Decode(ResourceCipher(), c).outcome, Outcome::kRefused);
    SetField(c, resource::kCompressedLengthField, 0xFFFFFFFFu);
    EXPECT_EQ(Decode(ResourceCipher(), c).outcome, Outcome::kRefused);

    c = good;
    SetField(c, resource::kPlainLengthField, 0xFFFFFFFFu);
    EXPECT_EQ(Decode(ResourceCipher(), c).outcome, Outcome::kRefused);
    SetField(c, resource::kPlainLengthField, compressed * 2000);
    EXPECT_EQ(Decode(ResourceCipher(), c).outcome, Outcome::kRefused);
}

TEST(ProtectedResource, PlainLengthThatDisagreesWithTheStreamIsFatal) {
    ThrowingExit exits;
    const std::string good = Pack(SampleContent(900));
    for (std::uint32_t plain : {899u, 901u, 0u}) {
        std::string c = good;
        SetField(c, resource::kPlainLengthField, plain);
        const Result r = Decode(ResourceCipher(), c);
        EXPECT_EQ(r.outcome, Outcome::kFatal) << plain;
        EXPECT_EQ(r.exitCode, kExitFatalError);
    }
    std::string c = good;
    SetField(c, resource::kCompressedLengthField,
             GetField(good, resource::kCompressedLengthField) - 1);
    EXPECT_EQ(Decode(ResourceCipher(), c).outcome, Outcome::kFatal);
}

TEST(ProtectedResource, UnreadHeaderFieldsAreIgnored) {
    const std::string plain = SampleContent(300);
    std::string c = Pack(plain);
    for (std::size_t offset : {0, 4, 12, 16, 20, 28})
        SetField(c, offset, 0xDEADBEEF);
    const Result r = Decode(ResourceCipher(), c);
    ASSERT_EQ(r.outcome, Outcome::kDecoded);
    EXPECT_EQ(r.bytes, plain);
}

TEST(ProtectedResource, EverySingleByteCorruptionIsSurvived) {
    ThrowingExit exits;
    for (std::uint32_t mode : kModes) {
        const std::string plain = SampleContent(120, mode);
        const std::string good = Pack(plain, mode);
        for (std::size_t at = 0; at < good.size(); ++at) {
            for (unsigned flip : {0x01u, 0x80u, 0xFFu}) {
                std::string c = good;
                c[at] = static_cast<char>(c[at] ^ flip);
                const Result r = Decode(ResourceCipher(), c);
                // zlib's checksum and the length check let nothing else through.
                if (r.outcome == Outcome::kDecoded) {
                    EXPECT_EQ(r.bytes, plain) << "mode " << mode << " byte " << at;
                } else if (r.outcome == Outcome::kFatal) {
                    EXPECT_EQ(r.exitCode, kExitFatalError);
                }
            }
        }
    }
}

} // namespace
} // namespace tolmere
