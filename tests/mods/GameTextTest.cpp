#include "mods/GameText.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

TEST(GameText, RangesReadTheSameWayEverywhere) {
    const struct {
        ValueRange value;
        const char* number;
        const char* signed_;
    } cases[] = {
        {{5, 5}, "5", "+5"},
        {{60, 70}, "(60-70)", "+(60-70)"},
        {{-3, -3}, "-3", "-3"},
        {{-10, -5}, "(-10 to -5)", "(-10 to -5)"},
        {{-5, 10}, "(-5 to 10)", "(-5 to 10)"},
        {{0, 0}, "0", "+0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberText(c.value), c.number);
        EXPECT_EQ(SignedText(c.value), c.signed_);
    }
}

TEST(GameText, TheGamesPatternsTakeTextsInOrder) {
    const struct {
        const char* pattern;
        std::vector<std::string> args;
        const char* expected;
    } cases[] = {
        {"%d%% Chance to cast level %d %s on striking",
         {"10", "5", "Nova"},
         "10% Chance to cast level 5 Nova on striking"},
        {"%+d to Strength", {"(3-5)"}, "+(3-5) to Strength"},
        {"%+d to Strength", {"-2"}, "-2 to Strength"},
        {"Adds %d-%d damage\n", {"1", "(12-15)"}, "Adds 1-(12-15) damage"},
        // Too few texts, an unknown conversion and a lone '%' stay as written.
        {"%d and %d", {"1"}, "1 and %d"},
        {"%x %", {"1"}, "%x %"},
        {"%i%u", {"1", "2"}, "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGameText(c.pattern, c.args), c.expected) << c.pattern;
}

} // namespace
} // namespace tolmere
