// SPDX-License-Identifier: MIT
// Spawn On: the questions and messages around writing tables, and on request the
// string table, into the patch archive. Shared by the windows that edit tables.
#pragma once

#include "archive/ArchiveBridge.h"
#include "archive/Backups.h"

#include <optional>
#include <string>
#include <vector>

namespace tolmere {

struct SpawnTable {
    const CTxtTable* table = nullptr;
    std::string fileName; // "UniqueItems.txt"
    std::string servedBy; // the archive it came from when that is not the patch archive
};

struct CompiledUpload {
    std::string fileName; // "UniqueItems.bin"
    std::string bytes;
};

struct SpawnOnBins {
    std::vector<CompiledUpload> files;
    // Why no .bin goes in though the game reads one for a table being written; empty
    // when every such .bin was compiled, or when the game reads none.
    std::string note;
};

struct SpawnOnRequest {
    std::vector<SpawnTable> tables;
    const CStringTables* strings = nullptr;
    std::string language;
    std::string question;     // the first question
    std::string details = {}; // behind the first question's button: what will change
    // The compiled tables, when worked out before the question (PlanSpawnOn); compiled
    // by the run otherwise.
    std::optional<SpawnOnBins> bins = {};
};

struct SpawnOnResult {
    bool tablesWritten = false;
    bool stringsWritten = false;
    // The compiled tables written beside the tables ("UniqueItems.bin"), none when the
    // game compiles them itself or they were held back (the status says why).
    std::vector<std::string> binsWritten;
    // The game reads a compiled table for one written, and it was not written with it.
    bool binsHeldBack = false;
    std::string status; // what was written where, or what failed
};

// Asks the question; asks again for a table that came from the game's own archives;
// keeps a copy of the archive before the run's first write; adds every table, with
// the compiled .bin of each whose .bin the game reads (CompileForSpawnOn); and
// only when they all went in, asks whether the string table goes too and adds it.
SpawnOnResult RunSpawnOn(const CArchiveBridge& bridge, const SpawnOnRequest& request,
                         BackupSession& backup);

} // namespace tolmere
