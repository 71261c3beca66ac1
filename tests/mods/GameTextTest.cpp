// SPDX-License-Identifier: MIT
// Text as the game and printf show it: ranges, patterns, number formats and colour codes.
#include "mods/GameText.h"
#include "items/NameColours.h"
#include "mods/NumberFormat.h"

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
        {{5, -5}, "(5 to -5)", "(5 to -5)"}, // a minimum above the maximum, as the row says
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

TEST(NumberFormat, HalvesRoundAwayFromZero) {
    EXPECT_EQ(FormatNumbers("%.0f", {2.5}), "3");
    EXPECT_EQ(FormatNumbers("%.0f", {-2.5}), "-3");
    EXPECT_EQ(FormatNumbers("%.0f", {-0.0}), "-0"); // as printf: the sign of zero shows
    EXPECT_EQ(FormatNumbers("%.0f", {0.5}), "1");
    EXPECT_EQ(FormatNumbers("%.0f", {3.5}), "4");
    EXPECT_EQ(FormatNumbers("%.0f", {2.4999}), "2");
    EXPECT_EQ(FormatNumbers("%.1f", {0.25}), "0.3");
    EXPECT_EQ(FormatNumbers("%.1f", {9.95f}), "9.9"); // the float lies below 9.95
    EXPECT_EQ(FormatNumbers("%.1f", {99.95}), "100.0");
    EXPECT_EQ(FormatNumbers("%.2f", {0.125}), "0.13");
    EXPECT_EQ(FormatNumbers("%.0f", {9.5}), "10");
    EXPECT_EQ(FormatNumbers("%f", {1.5}), "1.500000");
}

TEST(NumberFormat, FlagsWidthAndPrecisionAsPrintf) {
    EXPECT_EQ(FormatNumbers("%+.0f%% Enhanced Defense", {50}), "+50% Enhanced Defense");
    EXPECT_EQ(FormatNumbers("%+.0f", {-3}), "-3");
    EXPECT_EQ(FormatNumbers("[%6.1f]", {2.5}), "[   2.5]");
    EXPECT_EQ(FormatNumbers("[%-6.1f]", {2.5}), "[2.5   ]");
    EXPECT_EQ(FormatNumbers("[%06.1f]", {-2.5}), "[-002.5]");
    EXPECT_EQ(FormatNumbers("[% .0f]", {7}), "[ 7]");
    EXPECT_EQ(FormatNumbers("%#.0f", {7}), "7.");
    EXPECT_EQ(FormatNumbers("%lf", {1}), "1.000000");
    EXPECT_EQ(FormatNumbers("%.2e", {12345}), "1.23e+04");
    EXPECT_EQ(FormatNumbers("%G", {0.0000123}), "1.23E-05");
    EXPECT_EQ(FormatNumbers("%g", {100000}), "100000");
    EXPECT_EQ(FormatNumbers("%.0f - %.0f fire damage", {5, 10}), "5 - 10 fire damage");
}

// %g keeps P significant digits and drops trailing zeros, but not in its "#" form.
TEST(NumberFormat, GeneralFormAsPrintf) {
    const struct {
        const char* pattern;
        double value;
        const char* expected;
    } cases[] = {
        {"%#g", 280, "280.000"},
        {"%g", 280, "280"},
        {"%#.3g", 100, "100."},
        {"%.3g", 1234.5, "1.23e+03"},
        {"%#g", 0.0001, "0.000100000"},
        {"%g", 0.0001, "0.0001"},
        {"%g", 0.00001, "1e-05"},
        {"%#.0g", 7, "7."},
        {"%.0g", 250, "2e+02"},
        {"%g", 123456, "123456"},
        {"%g", 1234567, "1.23457e+06"},
        {"%G", 1e-10, "1E-10"},
        {"%#.2G", 1.5e-7, "1.5E-07"},
        {"[%10.3g]", 3.14159, "[      3.14]"},
        {"[%-8g]", 2.5, "[2.5     ]"},
        {"[%08.3g]", -1.5, "[-00001.5]"},
        {"%+.2g", 0.000123456, "+0.00012"},
        {"%g", 0.0, "0"},
        {"%#g", 0.0, "0.00000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumbers(c.pattern, {c.value}), c.expected) << c.pattern << " " << c.value;
}

TEST(NumberFormat, AnythingElseIsShownAsWritten) {
    // Conversions that would read or write memory under printf are plain text here.
    EXPECT_EQ(FormatNumbers("%s and %n and %d and %x%p", {1}), "%s and %n and %d and %x%p");
    EXPECT_EQ(FormatNumbers("%*f", {1}), "%*f");
    EXPECT_EQ(FormatNumbers("100%", {1}), "100%");
    EXPECT_EQ(FormatNumbers("%%%.0f%%", {4}), "%4%");
    // A conversion left without a number stays as written.
    EXPECT_EQ(FormatNumbers("%.0f - %.0f", {1}), "1 - %.0f");
    EXPECT_EQ(FormatNumbers("no number", {1}), "no number");
    // Absurd widths are refused rather than honoured.
    EXPECT_EQ(FormatNumbers("%99999999999f", {1}), "%99999999999f");
    EXPECT_EQ(FormatNumbers("%.600f", {1}), "%.600f");
    EXPECT_EQ(FormatNumbers("%.500f", {1e300}).size(), 301u + 1 + 500);
}

TEST(NameColours, CodesAreTakenOutAndTheFirstGivesTheColour) {
    const std::string y = "\xC3\xBF"; // 0xFF as the string tables keep it, in UTF-8
    const struct {
        std::string text;
        std::string plain;
        const char* colour;
    } cases[] = {
        {y + "c4Gnasher", "Gnasher", "Unique gold"},
        {"\xFF" + std::string("c2Set"), "Set", "Set green"}, // a Windows-1252 text
        {"Plain", "Plain", nullptr},
        {"a" + y + "c1b" + y + "c3c", "abc", "Red"},
        {y + "cZnot a code", y + "cZnot a code", nullptr},
        {"ends " + y + "c", "ends " + y + "c", nullptr},
    };
    for (const auto& c : cases) {
        const ColouredText split = SplitColourCodes(c.text);
        EXPECT_EQ(split.text, c.plain) << c.text;
        EXPECT_STREQ(split.colour ? split.colour->name : nullptr, c.colour) << c.text;
    }
}

} // namespace
} // namespace tolmere
