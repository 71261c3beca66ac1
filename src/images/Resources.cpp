// SPDX-License-Identifier: MIT
#include "images/Resources.h"

#include "images/Cipher.h"
#include "images/ProtectedResource.h"
#include "images/ResourceKey.h"

namespace tolmere {

// Written by the build (tools/resembed) from the packed resources.
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;

std::optional<ResourceBytes> FindResource(std::string_view type, unsigned number) {
    for (std::size_t i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResource& entry = kEmbeddedResources[i];
        if (entry.number == number && type == entry.type)
            return ResourceBytes{entry.data, entry.size};
    }
    return std::nullopt;
}

void ScrambleCredits(std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ kCreditsXor[i % 2]);
}

std::optional<std::string> DecodeEmbeddedResource(unsigned number) {
    std::optional<ResourceBytes> stored = FindResource(kHardDataType, number);
    if (!stored)
        return std::nullopt;
    if (number == kCreditsResource) {
        std::string text(reinterpret_cast<const char*>(stored->data), stored->size);
        ScrambleCredits(text);
        return text;
    }
    CBlowfishCipher cipher;
    if (!cipher.SetKey(kResourceKeyText, kResourceKeyBits, 0))
        return std::nullopt;
    return DecodeResource(cipher, stored->data, stored->size);
}

} // namespace tolmere
