// SPDX-License-Identifier: MIT
// The program's own resources, packed at build time and linked into the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolmere {

inline constexpr std::string_view kHardDataType = "HARDDATA";
inline constexpr unsigned kCreditsResource = 147; // XOR-scrambled text
inline constexpr unsigned kSkinResource = 150;    // enciphered TGA
inline constexpr unsigned kReadmeResource = 181;  // enciphered HTML

// One entry of the table the build generates.
struct EmbeddedResource {
    const char* type;
    unsigned number;
    const unsigned char* data;
    std::size_t size;
};

struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The stored bytes of a resource as they were linked in, still enciphered or scrambled.
std::optional<ResourceBytes> FindResource(std::string_view type, unsigned number);

// XORs the credits' bytes with the two key bytes in turn; doing it twice gives the
// original back, so the build's packer uses it as well.
void ScrambleCredits(std::string& bytes);

// The plain content of a "HARDDATA" resource: the credits unscrambled, any other one
// deciphered and decompressed with the program's key. Nothing for an unknown number.
std::optional<std::string> DecodeEmbeddedResource(unsigned number);

} // namespace tolmere
