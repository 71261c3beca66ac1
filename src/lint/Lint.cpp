// SPDX-License-Identifier: MIT
#include "lint/Lint.h"

#include "lint/LintContext.h"

#include <algorithm>
#include <strings.h>

namespace tolmere {

Problems LintTables(const LintInput& input) {
    const LintContext context = BuildLintContext(input);
    Problems problems;
    for (auto rule : {CheckCellCounts, CheckDuplicateKeys, CheckBaseCodes, CheckNameKeys,
                      CheckSetsExist, CheckSetBonusCounts, CheckPropertyCodes, CheckSkillParams,
                      CheckSkillTabs, CheckClassParams, CheckRanges, CheckNumberCells})
        rule(context, problems);
    const auto order = [&context](const Problem& problem) {
        std::size_t table = 0;
        while (table < context.tables.size() && context.tables[table].file != problem.file)
            ++table;
        return std::make_pair(table, problem.row);
    };
    std::stable_sort(problems.begin(), problems.end(),
                     [&](const Problem& a, const Problem& b) { return order(a) < order(b); });
    return problems;
}

std::string CompiledName(const std::string& tableName) {
    const std::size_t dot = tableName.rfind('.');
    return (dot == std::string::npos ? tableName : tableName.substr(0, dot)) + ".bin";
}

Problems SpawnOnProblems(const LintInput& input, const std::vector<std::string>& written,
                         const std::vector<std::string>& compiledInPatch) {
    const auto same = [](const std::string& a, const std::string& b) {
        return ::strcasecmp(a.c_str(), b.c_str()) == 0;
    };
    Problems problems;
    for (const std::string& file : written) {
        const std::string compiled = CompiledName(file);
        if (std::any_of(compiledInPatch.begin(), compiledInPatch.end(),
                        [&](const std::string& held) { return same(held, compiled); })) {
            Problem problem;
            problem.file = file;
            problem.text = "patch_d2.mpq holds " + compiled +
                           ", which the game reads in place of " + file +
                           " unless it is started with -txt: the change will not show";
            problems.push_back(std::move(problem));
        }
    }
    for (Problem& problem : LintTables(input)) {
        if (std::any_of(written.begin(), written.end(),
                        [&](const std::string& file) { return same(file, problem.file); }))
            problems.push_back(std::move(problem));
    }
    return problems;
}

} // namespace tolmere
