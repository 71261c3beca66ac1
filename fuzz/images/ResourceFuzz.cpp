// SPDX-License-Identifier: MIT
// Arbitrary bytes as an enciphered resource container: decoding must stay inside the
// bytes it is given and either refuse, end in the fatal error, or hand back exactly the
// plain length the header names.
#include "base/ByteOrder.h"
#include "base/ProgramExit.h"
#include "images/Cipher.h"
#include "images/ProtectedResource.h"
#include "images/ResourceKey.h"
#include "support/Require.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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
    try {
        const std::optional<std::string> plain =
            DecodeResource(Cipher(), bytes.empty() ? nullptr : bytes.data(), size);
        if (!plain)
            return 0;
        Require(plain->size() == ReadLe32(bytes.data() + resource::kPlainLengthField),
                "the decoded size is the header's plain length");
    } catch (const ProgramExited&) {
    }
    return 0;
}
