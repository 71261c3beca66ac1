#include "app/SpawnOn.h"

#include "app/Guide.h"

namespace tolmere {
namespace {

const char kSaveFailed[] = "Failed to save to temporary file.";

} // namespace

bool RunSpawnOn(const CArchiveBridge& bridge, const CTxtTable& table, const std::string& fileName,
                const CStrTbl& strings, const std::string& language, const std::string& question) {
    using PatchWrite = CArchiveBridge::PatchWrite;
    if (!GuideConfirm(question))
        return false;
    const PatchWrite tableWrite = bridge.AddTableToPatch(table, fileName);
    if (tableWrite == PatchWrite::kNotSaved) {
        GuideMsg(kSaveFailed, kCaptionGuide);
        return false;
    }
    if (tableWrite == PatchWrite::kToolFailed)
        GuideMsg("Failed in " + fileName, kCaptionGuide);
    const bool written = tableWrite == PatchWrite::kWritten;

    if (!GuideConfirm("Apply the patchstring.tbl too?"))
        return written;
    const PatchWrite stringsWrite = bridge.AddStringsToPatch(strings, language);
    if (stringsWrite == PatchWrite::kNotSaved)
        GuideMsg(kSaveFailed, kCaptionGuide);
    else if (stringsWrite == PatchWrite::kToolFailed)
        GuideMsg("Failed in patchstring.tbl " + language, kCaptionGuide);
    return written;
}

} // namespace tolmere
