// SPDX-License-Identifier: MIT
// RIPEMD-160, and the one-block finishing step that derives the resource key.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tolmere {

using Ripemd160Digest = std::array<std::uint8_t, 20>;
using Ripemd160Chain = std::array<std::uint32_t, 5>;

// The standard's initial chaining values.
Ripemd160Chain Ripemd160Start();

// One application of the compression function to sixteen message words.
void Ripemd160Compress(Ripemd160Chain& chain, const std::uint32_t words[16]);

// The chaining values stored little-endian one after another.
Ripemd160Digest Ripemd160Bytes(const Ripemd160Chain& chain);

// The standard digest of a whole message.
Ripemd160Digest Ripemd160(const void* data, std::size_t size);

// The key digest: only the finishing step of the standard is run over the text, with a
// high length word of 32, so the last message word is (length >> 29) + 256 rather than
// the true high length. Only the first (length mod 64) bytes of the text count; the
// resource key is short enough that this is the whole text.
Ripemd160Digest Ripemd160KeyDigest(const void* text, std::size_t length);

} // namespace tolmere
