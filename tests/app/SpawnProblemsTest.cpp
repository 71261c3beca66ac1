// SPDX-License-Identifier: MIT
// Spawn On's check asks the patch archive for the compiled copies of what it writes,
// and leaves nothing of the asking behind.
#include "app/SpawnProblems.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::WriteBytes;

// A stand-in for mpq2k that keeps each archive as a folder under store/ and answers
// an extraction as the real tool does: 3 for a file the archive lacks.
const char kStandIn[] = R"sh(#!/bin/sh
path() { printf '%s' "$1" | tr '\\' '/'; }
[ "$1" = e ] || exit 2
src="store/$2/$(path "$3")"; [ -f "$src" ] || exit 3
cp "$src" "$(path "$4")$(basename "$src")"
)sh";

TEST(SpawnProblems, AsksThePatchArchiveForEachCompiledTable) {
    testing::TempDir dir;
    const std::string game = dir.Path() + "/";
    WriteBytes(game + "mpq2k", kStandIn);
    fs::permissions(game + "mpq2k", fs::perms::owner_all);
    fs::create_directories(game + "store/patch_d2.mpq/data/GLOBAL/Excel");
    fs::create_directories(game + "store/d2data.mpq/data/GLOBAL/Excel");
    WriteBytes(game + "store/patch_d2.mpq/data/GLOBAL/Excel/SetItems.bin", "compiled");
    // The base archive's copy is not the patch archive's: the game reads the patch's.
    WriteBytes(game + "store/d2data.mpq/data/GLOBAL/Excel/UniqueItems.bin", "compiled");
    const CArchiveBridge bridge(game);
    EXPECT_EQ(CompiledInPatch(bridge, {"UniqueItems.txt", "SetItems.txt", "Sets.txt"}),
              std::vector<std::string>{"SetItems.bin"});
    EXPECT_FALSE(fs::exists(bridge.WorkDir()));
}

} // namespace
} // namespace tolmere
