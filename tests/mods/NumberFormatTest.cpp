#include "mods/NumberFormat.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

TEST(NumberFormat, HalvesRoundAwayFromZero) {
    EXPECT_EQ(FormatNumbers("%.0f", {2.5}), "3");
    EXPECT_EQ(FormatNumbers("%.0f", {-2.5}), "-3");
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

} // namespace
} // namespace tolmere
