// SPDX-License-Identifier: MIT
// The fixed key text and initial vector of the program's enciphered resources. The
// build-time packer (tools/respack) enciphers with these same values; changing either
// here without repacking the resources makes them undecodable.
#pragma once

#include <cstdint>
#include <string_view>

namespace tolmere {

inline constexpr std::string_view kResourceKeyText = "Tolmere-Hoard7";
static_assert(kResourceKeyText.size() == 14, "the key text is one short block");
// 0 asks for the whole 160-bit digest.
inline constexpr unsigned kResourceKeyBits = 0;

struct ChainVector {
    std::uint32_t left = 0;
    std::uint32_t right = 0;
};

inline constexpr ChainVector kResourceIv = {0x7A3C19E5u, 0xC4D2086Bu};

// The credits text is only scrambled, not enciphered: bytes at even offsets are XORed
// with the first of these, bytes at odd offsets with the second.
inline constexpr std::uint8_t kCreditsXor[2] = {0x5Du, 0xA6u};

} // namespace tolmere
