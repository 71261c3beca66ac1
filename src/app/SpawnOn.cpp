// SPDX-License-Identifier: MIT
#include "app/SpawnOn.h"

#include "app/SpawnOnBins.h"
#include "archive/Backups.h"
#include "base/Guide.h"

namespace tolmere {
namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

// Keeps a copy of the archive before the run's first write; false when the user would
// rather not write without one.
bool KeepBackup(const CArchiveBridge& bridge, BackupSession& session, std::string& where) {
    if (session.taken)
        return true;
    const std::string archive = bridge.PatchArchivePath();
    if (archive.empty()) {
        session.taken = true; // a new archive: there is nothing to lose
        return true;
    }
    std::string error;
    where = BackupArchive(archive, bridge.GameDir(),
                          session.dir.empty() ? DefaultBackupsDir() : session.dir, error);
    if (where.empty() &&
        !GuideConfirm("No copy of " + std::string(kPatchArchive) + " could be kept before " +
                      "writing into it:\n" + error + "\nWrite into it anyway?"))
        return false;
    session.taken = true;
    return true;
}

} // namespace

SpawnOnResult RunSpawnOn(const CArchiveBridge& bridge, const SpawnOnRequest& request,
                         BackupSession& session) {
    SpawnOnResult result;
    if (!GuideConfirm(request.question, request.details))
        return result;
    std::vector<std::string> names;
    for (const SpawnTable& table : request.tables) {
        names.push_back(table.fileName);
        if (!table.servedBy.empty() &&
            !GuideConfirm(table.fileName + " was loaded from " + table.servedBy +
                          ", the game's own table, not from " + kPatchArchive + ". Write it into " +
                          kPatchArchive + "?"))
            return result;
    }
    std::string backup;
    if (!KeepBackup(bridge, session, backup))
        return result;

    // One rewrite of the archive for all the tables: a set's items without its bonuses
    // (or the other way round) would be a change the game half sees.
    std::vector<CArchiveBridge::TableUpload> uploads;
    for (const SpawnTable& table : request.tables)
        uploads.push_back({table.table, table.fileName});
    const SpawnOnBins bins =
        request.bins ? *request.bins : CompileForSpawnOn(bridge, request.tables, *request.strings);
    for (const CompiledUpload& bin : bins.files) {
        uploads.push_back({nullptr, bin.fileName, &bin.bytes});
        names.push_back(bin.fileName);
    }
    const std::string error = bridge.AddTablesToPatch(uploads);
    if (!error.empty()) {
        GuideMsg("Failed in " + Joined(names) + "\n" + error, kCaptionGuide);
        // The string table is not offered: names over a table that did not go in
        // would describe items the game does not have.
        result.status = "Nothing written into " + std::string(kPatchArchive) + "; " +
                        Joined(names) + " failed: " + error;
        return result;
    }
    std::vector<std::string> written = names;
    result.tablesWritten = true;
    for (const CompiledUpload& bin : bins.files)
        result.binsWritten.push_back(bin.fileName);
    result.binsHeldBack = !bins.note.empty();
    const std::string binsNote = bins.note.empty() ? std::string() : "; " + bins.note;

    const std::string stringsName = "patchstring.tbl (" + request.language + ")";
    std::string stringsNote;
    if (!request.strings->PatchWritable()) {
        stringsNote = "; " + stringsName + " was not written: it did not load";
    } else if (GuideConfirm("Apply the patchstring.tbl too?")) {
        const std::string error =
            bridge.AddStringsToPatch(request.strings->Patch(), request.language);
        if (error.empty()) {
            result.stringsWritten = true;
            written.push_back(stringsName);
        } else {
            GuideMsg("Failed in patchstring.tbl " + request.language + "\n" + error, kCaptionGuide);
            stringsNote = "; " + stringsName + " failed: " + error;
        }
    }
    result.status = Joined(written) + " written into " + kPatchArchive + binsNote + stringsNote;
    if (!backup.empty())
        result.status += "; the archive as it was is kept in " + backup;
    return result;
}

} // namespace tolmere
