// SPDX-License-Identifier: MIT
// What Spawn On works out before it asks anything: the compiled tables it will write,
// the problems the game would trip over, and what will change in the patch archive.
#pragma once

#include "app/SpawnOn.h"
#include "app/SpawnPreview.h"
#include "lint/Lint.h"

namespace tolmere {

struct SpawnOnPlan {
    Problems problems;
    SpawnPreview preview;
};

// Compiles the tables' .bin into the request (so the run writes what was previewed),
// checks `checked` for the tables being written, and puts the summary of the changes,
// the compiled tables among them, before the request's question. A .bin the archive
// holds stays an error only when no new one is written beside its table.
SpawnOnPlan PlanSpawnOn(const CArchiveBridge& bridge, SpawnOnRequest& request,
                        const LintInput& checked, const SlotWords& words = {});

} // namespace tolmere
