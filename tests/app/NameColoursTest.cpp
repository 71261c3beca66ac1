#include "app/NameColours.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

TEST(NameColours, CodesAreTakenOutAndTheFirstGivesTheColour) {
    const struct {
        std::string text;
        std::string plain;
        const char* colour;
    } cases[] = {
        {"\xC3\xBF"
         "c4Gnasher",
         "Gnasher", "Unique gold"}, // as the string tables keep it
        {"\xFF"
         "c2Set",
         "Set", "Set green"}, // a Windows-1252 text
        {"Plain", "Plain", nullptr},
        {"a\xC3\xBF"
         "c1b\xC3\xBF"
         "c3c",
         "abc", "Red"},
        {"\xC3\xBF"
         "cZnot a code",
         "\xC3\xBF"
         "cZnot a code",
         nullptr},
        {"ends \xC3\xBF"
         "c",
         "ends \xC3\xBF"
         "c",
         nullptr},
    };
    for (const auto& c : cases) {
        const ColouredText split = SplitColourCodes(c.text);
        EXPECT_EQ(split.text, c.plain) << c.text;
        EXPECT_STREQ(split.colour ? split.colour->name : nullptr, c.colour) << c.text;
    }
}

} // namespace
} // namespace tolmere
