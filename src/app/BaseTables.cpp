// SPDX-License-Identifier: MIT
#include "app/BaseTables.h"

#include "tables/TableFile.h"

#include <unistd.h>

namespace tolmere {

BaseFetch FetchBaseTable(const CArchiveBridge& bridge, const std::string& fileName,
                         BaseSource source, CTxtTable& table) {
    static const Archive kPatchOnly[] = {Archive::kPatch};
    static const Archive kGame[] = {Archive::kExpansion, Archive::kBase};
    const bool patch = source == BaseSource::kPatchArchive;
    const Archive* first = patch ? std::begin(kPatchOnly) : std::begin(kGame);
    const Archive* last = patch ? std::end(kPatchOnly) : std::end(kGame);
    const std::string copy = bridge.WorkFile(fileName);
    BaseFetch fetch;
    for (const Archive* archive = first; archive != last; ++archive) {
        // A copy left by an earlier run must not pass for this archive's.
        ::unlink(copy.c_str());
        const CArchiveBridge::Extraction extraction = bridge.ExtractTable(fileName, *archive);
        if (extraction.status == CArchiveBridge::Extraction::Status::kAbsent)
            continue;
        if (!extraction.Ok()) {
            fetch.problem = extraction.reason;
        } else if (std::string why; LoadTableFile(copy, table, why)) {
            fetch.found = true;
        } else {
            fetch.problem = fileName + " in " + ArchiveName(*archive) + ": " + why;
        }
        break;
    }
    ::unlink(copy.c_str());
    return fetch;
}

} // namespace tolmere
