// SPDX-License-Identifier: MIT
// The three string tables of one language, looked up the way the game does: a key
// is searched in patchstring.tbl, then expansionstring.tbl, then string.tbl. The
// editor writes only patchstring.tbl; a name found in one of the others is the
// game's own until the user renames it, which adds it to patchstring.tbl.
#pragma once

#include "tables/StrTbl.h"

#include <array>
#include <string>

namespace tolmere {

enum class StringSource { kPatch, kExpansion, kBase };

class CStringTables {
public:
    static constexpr std::array<StringSource, 3> kLookupOrder{
        StringSource::kPatch, StringSource::kExpansion, StringSource::kBase};

    // "patchstring.tbl", "expansionstring.tbl", "string.tbl".
    static const char* FileName(StringSource source);

    CStrTbl& Table(StringSource source) { return tables_[Index(source)]; }
    const CStrTbl& Table(StringSource source) const { return tables_[Index(source)]; }
    CStrTbl& Patch() { return Table(StringSource::kPatch); }
    const CStrTbl& Patch() const { return Table(StringSource::kPatch); }

    struct Found {
        const StrEntry* entry = nullptr;
        StringSource source = StringSource::kPatch;
    };
    // The entry the game would show for `key`; entry is null when no table has it.
    Found Lookup(const std::string& key) const;

    void Reset();

    // patchstring.tbl could not be read (the tool failed, the file is damaged): it is
    // empty here, not because the game's is, so writing it would replace the game's
    // with nothing. Until one loads it must not be written. Empty when it is fine.
    const std::string& PatchProblem() const { return patchProblem_; }
    void SetPatchProblem(std::string problem) { patchProblem_ = std::move(problem); }
    bool PatchWritable() const { return patchProblem_.empty(); }

private:
    static std::size_t Index(StringSource source) { return static_cast<std::size_t>(source); }
    std::array<CStrTbl, 3> tables_;
    std::string patchProblem_;
};

} // namespace tolmere
