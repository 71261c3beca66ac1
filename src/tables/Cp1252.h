// SPDX-License-Identifier: MIT
// Windows-1252, the code page the game's tables were written in: a byte as the
// character it stands for.
#pragma once

namespace tolmere {

// Bytes 0x80 to 0x9F, which Latin-1 leaves as controls; 0 marks the five the code page
// leaves undefined.
inline constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character of a byte; an undefined one is taken as the C1 control of its value,
// so that it still comes back unchanged.
constexpr char16_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kCp1252High[byte - 0x80] != 0)
        return kCp1252High[byte - 0x80];
    return byte;
}

} // namespace tolmere
