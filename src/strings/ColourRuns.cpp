// SPDX-License-Identifier: MIT
#include "strings/ColourRuns.h"

namespace tolmere {
namespace {

constexpr std::string_view kPrefix = "\xC3\xBF"
                                     "c";

} // namespace

std::vector<ColourRun> ColourRuns(std::string_view text) {
    std::vector<ColourRun> runs(1);
    std::size_t at = 0;
    while (at < text.size()) {
        const NameColour* colour = nullptr;
        if (text.compare(at, kPrefix.size(), kPrefix) == 0 && at + kPrefix.size() < text.size())
            colour = FindNameColour(text[at + kPrefix.size()]);
        if (!colour) {
            runs.back().text += text[at++];
            continue;
        }
        if (runs.back().text.empty())
            runs.back().colour = colour;
        else
            runs.push_back({std::string(), colour});
        at += kPrefix.size() + 1;
    }
    return runs;
}

std::vector<const NameColour*> PaletteColours() {
    std::vector<const NameColour*> out;
    for (char code : std::string_view("0123456789:;/"))
        out.push_back(FindNameColour(code));
    return out;
}

std::string ColourCode(const NameColour& colour) {
    return std::string(kPrefix) + colour.code;
}

} // namespace tolmere
