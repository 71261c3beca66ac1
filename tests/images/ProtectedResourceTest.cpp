#include "images/ProtectedResource.h"

#include "base/ByteOrder.h"
#include "base/ProgramExit.h"
#include "respack/Pack.h"

#include <gtest/gtest.h>

#include <string>

namespace tolmere {
namespace {

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
