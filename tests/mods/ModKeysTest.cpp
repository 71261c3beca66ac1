// SPDX-License-Identifier: MIT
#include "mods/ModKeys.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <set>

namespace tolmere {
namespace {

using testing::CatalogueOf;

TEST(ModKeys, RowsAreFoundByExactCodeAndReadAsTheirCellsSay) {
    const CModKeys keys = CatalogueOf({{"str", "+%.0f to Strength"},
                                       {"Str", "%+.0f%% Enhanced Damage"},
                                       {"str", "Indestructible", "", "", "", "1", "2"},
                                       {"frames", "%.1f sec %d", "", "", "", "", "25"},
                                       {"junk", "", "", "", "", "abc", "x"}});
    // The first exact match, case and all.
    EXPECT_EQ(keys.Find("str"), 0);
    EXPECT_EQ(keys.Find("Str"), 1);
    EXPECT_EQ(keys.Find("STR"), -1);
    EXPECT_EQ(keys.Find(""), -1);
    EXPECT_EQ(CatalogueOf({}).Find("str"), -1);
    // The shown text drops the number, unless there are two.
    const char* shown[] = {"+ to Strength", "+% Enhanced Damage", "Indestructible", "%.1f sec %d"};
    for (std::int32_t row = 0; row < 4; ++row)
        EXPECT_EQ(keys.DisplayText(row), shown[row]);
    // Values pass through the offset and the divisor, where they are numbers.
    EXPECT_EQ(keys.Adjust(0, 5), 5.0f);
    EXPECT_EQ(keys.Adjust(2, 5), 3.0f);
    EXPECT_EQ(keys.Adjust(3, 75), 3.0f);
    EXPECT_EQ(keys.Adjust(4, 5), 5.0f);

    // A catalogue narrower than its columns reads the missing cells as empty.
    CModKeys narrow;
    narrow.Assign(testing::NamedTable({"code", "desc"}, {{"str", "+%.0f"}}));
    EXPECT_EQ(narrow.Find("str"), 0);
    EXPECT_EQ(narrow.Kind(0), '\0');
    EXPECT_EQ(narrow.Note(0), "");
    EXPECT_EQ(narrow.Adjust(0, 4), 4.0f);
    EXPECT_EQ(narrow.CreditLines()[0], "");
    EXPECT_EQ(narrow.CreditLines()[2], "");
    EXPECT_EQ(narrow.Pattern(99), "");
}

// The catalogue that ships with the editor.
class ShippedCatalogue : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(keys.Load(TOLMERE_SOURCE_DIR "/data/modkey.txt")); }
    CModKeys keys;
};

TEST_F(ShippedCatalogue, CoversTheGamesPropertyCodesOnce) {
    EXPECT_GE(keys.Count(), 250);
    std::set<std::string> codes;
    for (std::int32_t row = 0; row < keys.Count(); ++row)
        EXPECT_TRUE(codes.insert(std::string(keys.Code(row))).second) << keys.Code(row);
    for (const char* code : {"ac", "ac%", "str", "dmg-fire", "fire-min", "pois-len", "skill",
                             "hit-skill", "charged", "res-all", "cold-len"})
        EXPECT_GE(keys.Find(code), 0) << code;
    for (const std::string& line : keys.CreditLines())
        EXPECT_FALSE(line.empty());
}

TEST_F(ShippedCatalogue, PatternsTakeAtMostOneNumberAndDurationsShowSeconds) {
    for (std::int32_t row = 0; row < keys.Count(); ++row) {
        const std::string_view pattern = keys.Pattern(row);
        int count = 0;
        for (std::size_t i = 0; i < pattern.size(); ++i)
            if (pattern[i] == '%')
                count += (i + 1 < pattern.size() && pattern[++i] == '%') ? 0 : 1;
        EXPECT_LE(count, 1) << keys.Code(row) << ": " << pattern;
        // Game codes carry no role digit: a damage kind needs the role column.
        EXPECT_EQ(keys.Kind(row) != '\0', keys.Role(row) != DamageRole::kNone) << keys.Code(row);
    }
    EXPECT_EQ(keys.Adjust(keys.Find("pois-len"), 50), 2.0f);
    EXPECT_EQ(keys.Adjust(keys.Find("cold-len"), 75), 3.0f);
}

// Every property of the game is worded from its own cells, so that a table without the
// game's Properties.txt still reads sensibly.
TEST_F(ShippedCatalogue, WordsEveryPropertyOfTheRealGame) {
    REAL_TABLES_OR_SKIP(dir);
    CTxtTable properties;
    ASSERT_TRUE(properties.Load(dir + "/114d/Properties.txt"));
    for (std::int32_t row = 0; row < properties.DataRowCount(); ++row) {
        const std::string_view code = properties.Text(row, 0);
        if (code.empty() || code == "Expansion")
            continue;
        const std::int32_t key = keys.Find(code);
        ASSERT_GE(key, 0) << code;
        const std::string_view wording = keys.Wording(key);
        EXPECT_FALSE(wording.empty()) << code;
        // Only the tokens the describer knows, and the parameter only where it is kept.
        for (std::size_t at = wording.find('['); at != std::string_view::npos;
             at = wording.find('[', at + 1)) {
            const std::string_view token = wording.substr(at + 1, wording.find(']', at) - at - 1);
            const bool param =
                token == "par" || token == "skill" || token == "perlevel" || token == "seconds";
            EXPECT_TRUE(param || token == "range" || token == "+range" || token == "min" ||
                        token == "max")
                << code << ": " << token;
            EXPECT_TRUE(!param || !keys.ParamKind(key).empty()) << code;
        }
    }
}

} // namespace
} // namespace tolmere
