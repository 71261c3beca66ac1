// SPDX-License-Identifier: MIT
// Packs one file as a resource of the program: by default an enciphered, compressed
// container; with --scramble the credits' plain XOR scrambling instead.

#include "images/Cipher.h"
#include "images/ResourceKey.h"
#include "respack/Pack.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: respack [--scramble] [--tag N] IN OUT\n");
    return 2;
}

bool ReadAll(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// The same involution as the program's ScrambleCredits; kept here so that the packer
// needs nothing of the program but its cipher.
void Scramble(std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] =
            static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ tolmere::kCreditsXor[i % 2]);
}

} // namespace

int main(int argc, char** argv) {
    bool scramble = false;
    std::uint32_t tag = 0;
    int at = 1;
    for (; at < argc && argv[at][0] == '-' && argv[at][1] == '-'; ++at) {
        const std::string option = argv[at];
        if (option == "--scramble") {
            scramble = true;
        } else if (option == "--tag" && at + 1 < argc) {
            char* end = nullptr;
            unsigned long value = std::strtoul(argv[++at], &end, 0);
            if (*end != '\0' || value > 0xFFFFFFFFul)
                return Usage();
            tag = static_cast<std::uint32_t>(value);
        } else {
            return Usage();
        }
    }
    if (argc - at != 2)
        return Usage();
    const std::string in = argv[at], outPath = argv[at + 1];

    std::string plain;
    if (!ReadAll(in, plain)) {
        std::fprintf(stderr, "respack: cannot read %s\n", in.c_str());
        return 1;
    }
    std::string out;
    if (scramble) {
        out = plain;
        Scramble(out);
    } else {
        tolmere::CBlowfishCipher cipher;
        if (!cipher.SetKey(tolmere::kResourceKeyText, tolmere::kResourceKeyBits, 0) ||
            !tolmere::respack::PackResource(cipher, plain, out, tolmere::kChainPlainAndCipher,
                                            tolmere::kResourceIv, tag)) {
            std::fprintf(stderr, "respack: cannot pack %s\n", in.c_str());
            return 1;
        }
    }
    if (!WriteAll(outPath, out)) {
        std::fprintf(stderr, "respack: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
