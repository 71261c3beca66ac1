// SPDX-License-Identifier: MIT
// The game's own strings used as patterns: "%d%% Chance to cast level %d %s on
// striking". Their conversions take texts here, so that a value may be a range.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

// A stat's value as a slot gives it: one number, or a range rolled when the item drops.
struct ValueRange {
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    bool Single() const { return lo == hi; }
    bool operator==(const ValueRange& other) const { return lo == other.lo && hi == other.hi; }
};

// "5", or "(60-70)" for a range ("(-10 to -5)" where a bound is negative).
std::string NumberText(ValueRange value);
// The same with the sign the game puts before a positive bonus: "+5", "+(60-70)".
std::string SignedText(ValueRange value);

// Replaces %d, %i, %u, %s and %+d in order by the given texts ("%+d" puts a '+' before
// a text that does not start with a sign), and "%%" by '%'. A conversion left without
// a text, and any other one, stays as written. Trailing line breaks and blanks, which
// some of the game's strings carry, are dropped.
std::string FormatGameText(std::string_view pattern, const std::vector<std::string>& args);

} // namespace tolmere
