// Arbitrary bytes as an enciphered resource container: decoding must stay inside the
// bytes it is given and either refuse, end in the fatal error, or hand back exactly the
// plain length the header names.
#include "images/Cipher.h"
#include "images/ProtectedResource.h"
#include "images/ResourceKey.h"
#include "support/Require.h"
#include "tables/ProgramExit.h"
#include "tables/Services.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

struct ProgramExited {};

const tolmere::CBlowfishCipher& Cipher() {
    static tolmere::CBlowfishCipher cipher;
    static const bool keyed = cipher.SetKey(tolmere::kResourceKeyText, 0, 0);
    tolmere::fuzz::Require(keyed, "the resource key is accepted");
    return cipher;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolmere;
    using namespace tolmere::fuzz;

    // "Failed at uncompress" would end the fuzzer; make it an ordinary outcome instead.
    static const bool installed = [] {
        SetExitHandler([](int) { throw ProgramExited{}; });
        return true;
    }();
    (void)installed;

    // An exact-size copy, so that any read past the end is caught.
    std::vector<unsigned char> bytes(data, data + size);
    std::size_t length = size;
    try {
        char* plain = DecodeResource(Cipher(), bytes.empty() ? nullptr : bytes.data(), length);
        if (!plain) {
            Require(length == size, "a refused container leaves the size alone");
            return 0;
        }
        const unsigned char* field = bytes.data() + resource::kPlainLengthField;
        const std::uint32_t named = std::uint32_t(field[0]) | std::uint32_t(field[1]) << 8 |
                                    std::uint32_t(field[2]) << 16 | std::uint32_t(field[3]) << 24;
        Require(length == named, "the decoded size is the header's plain length");
        FreeAndClear(plain);
    } catch (const ProgramExited&) {
    }
    return 0;
}
