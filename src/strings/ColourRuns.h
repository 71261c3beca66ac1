// SPDX-License-Identifier: MIT
// A text of the string tables cut where its colour codes ("ÿc4") switch the colour,
// so that a list can draw each piece in the colour the game gives it.
#pragma once

#include "items/NameColours.h"

#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

struct ColourRun {
    std::string text;                   // without its code
    const NameColour* colour = nullptr; // null: the text's own colour, before any code
};

// The pieces in order; a "ÿc" before a character that is no code stays in the text.
std::vector<ColourRun> ColourRuns(std::string_view text);

// The codes the palette offers, in the game's order: '0' … '9', ':', ';', '/'.
std::vector<const NameColour*> PaletteColours();

// The code as the string tables keep it: "ÿc" in UTF-8 and the code character.
std::string ColourCode(const NameColour& colour);

} // namespace tolmere
