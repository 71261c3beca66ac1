// SPDX-License-Identifier: MIT
// The game's own tables come out without errors, and with only the notes they deserve.
#include "lint/Lint.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tolmere {
namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Loads what `dir` holds of the tables: the item tables, the game's tables, and the
// string tables from `dir` and `stringsDir`.
struct RealGame {
    CTxtTable uniqueItems, setItems, sets;
    GameTables tables;
    CGameData game;
    CStringTables strings;

    RealGame(const std::string& dir, const std::string& stringsDir) {
        const auto load = [&](CTxtTable& table, const std::string& name) {
            if (Exists(dir + "/" + name)) {
                ASSERT_TRUE(table.Load(dir + "/" + name)) << name;
            }
        };
        load(uniqueItems, "UniqueItems.txt");
        load(setItems, "SetItems.txt");
        load(sets, "Sets.txt");
        for (std::size_t i = 0; i < GameTables::FileNames().size(); ++i) {
            std::string name = GameTables::FileNames()[i];
            load(tables[i], name);
            for (char& ch : name)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            load(tables[i], name); // 1.09 spells the base lists in lower case
        }
        game.Assign(tables);
        EXPECT_TRUE(strings.Patch().Read(dir + "/patchstring.tbl"));
        EXPECT_TRUE(
            strings.Table(StringSource::kExpansion).Read(stringsDir + "/expansionstring.tbl"));
        EXPECT_TRUE(strings.Table(StringSource::kBase).Read(stringsDir + "/string.tbl"));
    }
    Problems Lint() const { return LintTables({&uniqueItems, &setItems, &sets, &game, &strings}); }
};

std::vector<std::string> Lines(const Problems& problems) {
    std::vector<std::string> lines;
    for (const Problem& problem : problems)
        lines.push_back(ProblemLine(problem));
    return lines;
}

TEST(LintReal, Stock114dHasNoErrorsAndOnlyItsDisabledSlotsAndRepeatedNames) {
    REAL_TABLES_OR_SKIP(real);
    const RealGame stock(real + "/114d", real + "/strings");
    ASSERT_TRUE(stock.game.Ready());
    const Problems problems = stock.Lint();
    EXPECT_EQ(CountOf(problems, Severity::kError), 0u);
    EXPECT_EQ(CountOf(problems, Severity::kWarning), 0u)
        << ::testing::PrintToString(Lines(problems));
    // Thirteen slots the designers switched off with '*', and the names given to more
    // than one unique: Azurewrath twice, Rainbow Facet eight times.
    std::size_t disabled = 0, repeated = 0;
    for (const Problem& problem : problems) {
        disabled += problem.text.rfind("a disabled slot", 0) == 0;
        repeated += problem.column == "index" &&
                    (problem.key == "Azurewrath" || problem.key == "Rainbow Facet");
    }
    EXPECT_EQ(disabled, 13u);
    EXPECT_EQ(repeated, 8u);
    EXPECT_EQ(problems.size(), 21u);
}

TEST(LintReal, Stock109bHasNoProblems) {
    REAL_TABLES_OR_SKIP(real);
    const RealGame stock(real + "/109b", real + "/strings");
    ASSERT_TRUE(stock.game.HasBaseItems());
    EXPECT_EQ(Lines(stock.Lint()), std::vector<std::string>{});
}

} // namespace
} // namespace tolmere
