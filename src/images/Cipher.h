// SPDX-License-Identifier: MIT
// Block ciphers for the program's protected resources, keyed from a fixed text.
#pragma once

#include "base/ByteOrder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tolmere {

// What a keyed cipher keeps of its key: the digest the cipher key is cut from.
struct CipherKey {
    std::uint32_t recordSize = 36;
    std::uint32_t bits = 0;
    std::uint32_t reserved = 0;
    std::uint32_t algorithm = 0;
    std::array<std::uint8_t, 20> digest{};
};

class CCipher {
public:
    static constexpr unsigned kMaxKeyBits = 160;

    // A 64-bit block as its two halves; results come back in the same variables.
    virtual void EncryptBlock(std::uint32_t& left, std::uint32_t& right) const = 0;
    virtual void DecryptBlock(std::uint32_t& left, std::uint32_t& right) const = 0;
    virtual ~CCipher();
    // Derives the key from the text and keys the cipher, replacing any earlier key. Bits
    // are rounded down to whole bytes; 0 means 160. False, with the old key kept, for
    // more than 160 bits or fewer than 8 after rounding. `unused` is accepted for the
    // callers' sake and changes nothing.
    virtual bool SetKey(std::string_view text, unsigned bits, int unused) = 0;

    bool HasKey() const { return key_ != nullptr; }
    const CipherKey* Key() const { return key_.get(); }
    std::uint32_t Algorithm() const { return algorithm_; }

    CCipher(const CCipher&) = delete;
    CCipher& operator=(const CCipher&) = delete;

protected:
    explicit CCipher(std::uint32_t algorithm) : algorithm_(algorithm) {}
    // Fills the key record for `text` (bits already checked); the caller keys its own
    // state from the digest's first bits ÷ 8 bytes.
    static std::unique_ptr<CipherKey> DeriveKey(std::string_view text, unsigned bits,
                                                std::uint32_t algorithm);
    // The accepted key length for a requested one, or 0 when it cannot be used.
    static unsigned EffectiveKeyBits(unsigned bits);

    std::unique_ptr<CipherKey> key_;
    std::uint32_t algorithm_;
};

class CBlowfishCipher : public CCipher {
public:
    static constexpr std::uint32_t kAlgorithm = 1;

    CBlowfishCipher();
    ~CBlowfishCipher() override;

    void EncryptBlock(std::uint32_t& left, std::uint32_t& right) const override;
    void DecryptBlock(std::uint32_t& left, std::uint32_t& right) const override;
    bool SetKey(std::string_view text, unsigned bits, int unused) override;

    // Keys the Blowfish state from raw key bytes (1 … 56 of them), as the published
    // algorithm does; SetKey comes here with the derived bytes. Drops the key record, so
    // a cipher keyed this way counts as having no derived key.
    bool SetRawKey(const std::uint8_t* key, std::size_t size);

private:
    struct State {
        std::uint32_t p[18];
        std::uint32_t s[4][256];
    };
    std::uint32_t Round(std::uint32_t x) const;

    std::unique_ptr<State> state_;
};

// A block in memory is two 32-bit halves, each stored little-endian: left first.
inline void LoadBlock(const unsigned char* p, std::uint32_t& left, std::uint32_t& right) {
    left = ReadLe32(p);
    right = ReadLe32(p + 4);
}

inline void StoreBlock(unsigned char* p, std::uint32_t left, std::uint32_t right) {
    WriteLe32(p, left);
    WriteLe32(p + 4, right);
}

} // namespace tolmere
