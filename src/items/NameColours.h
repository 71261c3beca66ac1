// SPDX-License-Identifier: MIT
// The colour codes of the game's texts: "ÿc" and one character switch the colour of
// what follows ("ÿc4" gold, the colour of unique item names).
#pragma once

#include <string>
#include <string_view>

namespace tolmere {

struct NameColour {
    char code;
    const char* name;
    unsigned char red, green, blue;
};

// The colour a code character stands for, or null for a character that is no code.
const NameColour* FindNameColour(char code);

struct ColouredText {
    std::string text;                   // without any colour code
    const NameColour* colour = nullptr; // the first code's colour; null when there is none
};

// Takes the colour codes out of a text, written either as UTF-8 (C3 BF 63, as the
// string tables keep it) or as the single byte FF 63. A "ÿc" whose next character is
// no code stays as it is.
ColouredText SplitColourCodes(std::string_view text);

} // namespace tolmere
