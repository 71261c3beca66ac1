// SPDX-License-Identifier: MIT
// Splits a fuzz input into the parts a target builds its files from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolmere::fuzz {

// N parts, split at 0x01 bytes; the parts past the last 0x01 are empty.
template <std::size_t N>
std::array<std::string, N> SplitParts(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::array<std::string, N> parts;
    for (std::string& part : parts) {
        const std::size_t cut = bytes.find('\x01');
        part = std::string(bytes.substr(0, cut));
        bytes = cut == std::string_view::npos ? std::string_view() : bytes.substr(cut + 1);
    }
    return parts;
}

} // namespace tolmere::fuzz
