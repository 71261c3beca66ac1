// SPDX-License-Identifier: MIT
// Builds enciphered resource containers: the encoding side of DecodeResource, for the
// build-time packer and for tests. The editor itself only ever decodes.
#pragma once

#include "images/Cipher.h"
#include "images/ProtectedResource.h"
#include "images/ResourceKey.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolmere::respack {

// Enciphers whole 8-byte blocks in place in the given chaining mode; false for a mode
// the decoder does not know (nothing is changed then).
bool EncipherBlocks(const CCipher& cipher, std::uint32_t mode, unsigned char* data,
                    std::size_t blocks, const ChainVector& iv = kResourceIv);

// Compresses `plain`, pads the stream with zeros to whole blocks, enciphers it and puts
// the 40-byte header in front. `tag` fills the header's free field at offset 20. False
// for an unknown mode, a cipher without a key, or content too large for the header.
bool PackResource(const CCipher& cipher, const std::string& plain, std::string& container,
                  std::uint32_t mode = kChainPlainAndCipher, const ChainVector& iv = kResourceIv,
                  std::uint32_t tag = 0);

} // namespace tolmere::respack
