// SPDX-License-Identifier: MIT
// UTF-8 as cells and string-table texts may hold it: a cell is read as UTF-8 when it is
// valid UTF-8, and as Windows-1252 otherwise.
#pragma once

#include <cstddef>
#include <string_view>

namespace tolmere {

// How many bytes the UTF-8 sequence starting at `at` takes; 0 when it is not one.
inline std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

inline bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Length(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

} // namespace tolmere
