// SPDX-License-Identifier: MIT
#include "app/SpawnPlan.h"

#include "app/SpawnOnBins.h"
#include "app/SpawnProblems.h"

#include <algorithm>
#include <strings.h>

namespace tolmere {
namespace {

bool Written(const SpawnOnBins& bins, const std::string& name) {
    return std::any_of(bins.files.begin(), bins.files.end(), [&](const CompiledUpload& bin) {
        return ::strcasecmp(bin.fileName.c_str(), name.c_str()) == 0;
    });
}

} // namespace

SpawnOnPlan PlanSpawnOn(const CArchiveBridge& bridge, SpawnOnRequest& request,
                        const LintInput& checked, const SlotWords& words) {
    request.bins = CompileForSpawnOn(bridge, request.tables, *request.strings);
    const SpawnOnBins& bins = *request.bins;

    std::vector<std::string> written, held;
    for (const SpawnTable& table : request.tables)
        written.push_back(table.fileName);
    for (std::string& name : CompiledInPatch(bridge, written))
        if (!Written(bins, name))
            held.push_back(std::move(name));
    SpawnOnPlan plan;
    plan.problems = SpawnOnProblems(checked, written, held);
    if (!bins.note.empty())
        for (Problem& problem : plan.problems)
            if (problem.row < 0 && problem.column.empty() &&
                problem.text.find(CompiledName(problem.file)) != std::string::npos)
                problem.text += " (" + bins.note + ")";

    plan.preview = PreviewSpawnOn(bridge, request, words);
    for (const CompiledUpload& bin : bins.files)
        plan.preview.tableParts.push_back(bin.fileName + ": compiled from the table");
    request.question = plan.preview.Summary() + "\n\n" + request.question;
    request.details = plan.preview.List();
    return plan;
}

} // namespace tolmere
