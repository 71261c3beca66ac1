// SPDX-License-Identifier: MIT
#include "items/NameColours.h"

namespace tolmere {
namespace {

// The game's text palette, as modding references publish it.
const NameColour kColours[] = {
    {'0', "White", 196, 196, 196},
    {'1', "Red", 255, 77, 77},
    {'2', "Set green", 0, 255, 0},
    {'3', "Magic blue", 105, 105, 255},
    {'4', "Unique gold", 199, 179, 119},
    {'5', "Dark grey", 105, 105, 105},
    {'6', "Black", 0, 0, 0},
    {'7', "Tan", 208, 194, 125},
    {'8', "Orange", 255, 168, 0},
    {'9', "Yellow", 255, 255, 100},
    {':', "Dark green", 0, 128, 0},
    {';', "Purple", 174, 0, 255},
    {'/', "White", 255, 255, 255},
};

// The length of a colour prefix ("ÿc") at `at`, or 0.
std::size_t PrefixAt(std::string_view text, std::size_t at) {
    if (text.compare(at, 3,
                     "\xC3\xBF"
                     "c") == 0)
        return 3;
    if (text.compare(at, 2,
                     "\xFF"
                     "c") == 0)
        return 2;
    return 0;
}

} // namespace

const NameColour* FindNameColour(char code) {
    for (const NameColour& colour : kColours) {
        if (colour.code == code)
            return &colour;
    }
    return nullptr;
}

ColouredText SplitColourCodes(std::string_view text) {
    ColouredText out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t prefix = PrefixAt(text, at);
        const NameColour* colour =
            prefix && at + prefix < text.size() ? FindNameColour(text[at + prefix]) : nullptr;
        if (!colour) {
            out.text += text[at++];
            continue;
        }
        if (!out.colour)
            out.colour = colour;
        at += prefix + 1;
    }
    return out;
}

} // namespace tolmere
