// SPDX-License-Identifier: MIT
#include "archive/ArchiveBridge.h"

#include "archive/GameDir.h"
#include "archive/RunTool.h"
#include "base/Guide.h"
#include "base/Services.h"
#include "items/ItemPictures.h"
#include "tables/BinFile.h"
#include "tables/SafeWriter.h"
#include "tables/TableFile.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolmere {
namespace {

const char kExcelPath[] = "data\\GLOBAL\\Excel\\";

std::string StringTablePath(const std::string& language,
                            const std::string& fileName = "patchstring.tbl") {
    return "data\\LOCAL\\LNG\\" + language + "\\" + fileName;
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

const char* ArchiveName(Archive archive) {
    switch (archive) {
    case Archive::kPatch:
        return kPatchArchive;
    case Archive::kExpansion:
        return kExpansionArchive;
    case Archive::kBase:
        break;
    }
    return kBaseArchive;
}

std::string FindArchiveTool(const std::string& gameDir, const std::string& programDir) {
    const std::string own = gameDir + "mpq2k";
    if (IsExecutableFile(own) || programDir.empty() || !IsExecutableFile(programDir + "mpq2k"))
        return own;
    return programDir + "mpq2k";
}

CArchiveBridge::CArchiveBridge(const std::string& gameDir, const std::string& toolPath)
    : gameDir_(AbsolutePath(gameDir)),
      toolPath_(toolPath.empty() ? gameDir_ + "mpq2k" : AbsolutePath(toolPath)) {}

std::string CArchiveBridge::CommandLine(const std::string& arguments) const {
    return "\"" + toolPath_ + "\" " + arguments;
}

ToolRun CArchiveBridge::Run(const std::string& arguments, int timeLimitMs) const {
    return RunTool(CommandLine(arguments), gameDir_, timeLimitMs);
}

bool CArchiveBridge::MakeWorkDir() const {
    return ::mkdir(WorkDir().c_str(), 0777) == 0 || errno == EEXIST;
}

CArchiveBridge::Extraction CArchiveBridge::Extract(const std::string& archivePath,
                                                   Archive archive) const {
    Extraction result;
    if (!MakeWorkDir()) {
        result.reason = "cannot make the folder " + WorkDir() + ": " + std::strerror(errno);
        return result;
    }
    const ToolRun run = Run(std::string("e ") + ArchiveName(archive) + " " + archivePath + " " +
                                kWorkDirName + "\\",
                            kToolTimeLimitMs);
    if (run.Ok())
        result.status = Extraction::Status::kExtracted;
    else if (!run.timedOut && (run.exitCode == kToolNotInArchive || run.exitCode == kToolNoArchive))
        result.status = Extraction::Status::kAbsent;
    result.reason = run.Ok() ? std::string() : run.Reason();
    return result;
}

CArchiveBridge::Extraction CArchiveBridge::ExtractTable(const std::string& fileName,
                                                        Archive archive) const {
    return Extract(kExcelPath + fileName, archive);
}

CArchiveBridge::Served CArchiveBridge::ExtractFirst(const std::string& archivePath,
                                                    const std::string& fileName) const {
    Served served;
    for (Archive archive : kArchiveOrder) {
        // A copy left by an earlier run must not pass for this archive's.
        ::unlink(WorkFile(fileName).c_str());
        served.extraction = Extract(archivePath, archive);
        served.from = archive;
        if (served.extraction.status != Extraction::Status::kAbsent)
            return served;
    }
    return served;
}

void CArchiveBridge::RemoveWorkCopy(const std::string& fileName) const {
    ::unlink(WorkFile(fileName).c_str());
    ::rmdir(WorkDir().c_str());
}

CArchiveBridge::Fetch CArchiveBridge::FetchTable(const std::string& fileName,
                                                 CTxtTable& table) const {
    const Served served = ExtractFirst(kExcelPath + fileName, fileName);
    Fetch fetch;
    fetch.from = served.from;
    fetch.extracted = served.extraction.Ok();
    if (served.extraction.status == Extraction::Status::kAbsent) {
        fetch.from = Archive::kPatch;
        fetch.reason = "none of the game's archives holds " + fileName;
    } else if (!fetch.extracted) {
        fetch.reason = served.extraction.reason;
    } else {
        std::string why;
        fetch.loaded = LoadTableFile(WorkFile(fileName), table, why);
        if (!fetch.loaded)
            fetch.reason = fileName + ": " + why;
    }
    RemoveWorkCopy(fileName);
    return fetch;
}

CArchiveBridge::Extraction CArchiveBridge::FetchBytes(const std::string& fileName,
                                                      std::string& bytes) const {
    Served served = ExtractFirst(kExcelPath + fileName, fileName);
    std::string why;
    if (served.extraction.Ok() && !ReadWholeFile(WorkFile(fileName), bytes, why)) {
        served.extraction.status = Extraction::Status::kFailed;
        served.extraction.reason = fileName + ": " + why;
    }
    RemoveWorkCopy(fileName);
    return served.extraction;
}

CArchiveBridge::StringsLoad CArchiveBridge::ExtractStringTable(CStrTbl& strings,
                                                               const std::string& language,
                                                               const std::string& fileName) const {
    const Served served = ExtractFirst(StringTablePath(language, fileName), fileName);
    StringsLoad load;
    load.status = served.extraction.status;
    if (load.status == Extraction::Status::kFailed)
        load.reason = served.extraction.reason;
    if (load.status == Extraction::Status::kAbsent) {
        strings.Reset();
    } else if (served.extraction.Ok()) {
        CStrTbl read;
        std::string why;
        if (read.Read(WorkFile(fileName), &why)) {
            strings = std::move(read);
        } else {
            load.status = Extraction::Status::kFailed;
            load.reason = fileName + ": " + why;
        }
    }
    RemoveWorkCopy(fileName);
    return load;
}

std::array<CArchiveBridge::StringsLoad, 3>
CArchiveBridge::ExtractStringTables(CStringTables& strings, const std::string& language) const {
    std::array<StringsLoad, 3> loads;
    for (std::size_t i = 0; i < loads.size(); ++i) {
        const StringSource source = CStringTables::kLookupOrder[i];
        loads[i] =
            ExtractStringTable(strings.Table(source), language, CStringTables::FileName(source));
    }
    return loads;
}

bool CArchiveBridge::ExtractBaseLists(CBaseLists& lists, std::string& failedFile,
                                      std::string& reason) const {
    bool loaded = true;
    for (std::size_t i = 0; i < CBaseLists::kListCount && loaded; ++i) {
        const std::string fileName = CBaseLists::FileName(i);
        // Each later archive's copy, when there is one, lands over the one before, so
        // the patch archive's wins; one that cannot be read stops the list there. A
        // file left from an earlier run must not stand in for them.
        ::unlink(WorkFile(fileName).c_str());
        for (Archive archive : {Archive::kBase, Archive::kExpansion, Archive::kPatch}) {
            const Extraction extraction = ExtractTable(fileName, archive);
            if (extraction.status == Extraction::Status::kFailed) {
                reason = extraction.reason;
                loaded = false;
                break;
            }
        }
        CTxtTable list;
        if (loaded && !LoadTableFile(WorkFile(fileName), list, reason))
            loaded = false;
        ::unlink(WorkFile(fileName).c_str());
        if (!loaded) {
            failedFile = fileName;
            break;
        }
        lists.Assign(i, std::move(list));
        GuideStatus(fileName + " loaded");
    }
    ::rmdir(WorkDir().c_str());
    if (loaded)
        GuideStatus("List resource loaded");
    return loaded;
}

std::string CArchiveBridge::ExtractTables(const std::vector<std::string>& fileNames,
                                          std::vector<CTxtTable>& tables) const {
    tables.assign(fileNames.size(), CTxtTable());
    if (!MakeWorkDir())
        return "cannot make the folder " + WorkDir() + ": " + std::strerror(errno);
    // "O" and "X" pass over an archive or a file that is not there, so that only a
    // real failure fails the run.
    std::string script;
    for (Archive archive : {Archive::kBase, Archive::kExpansion, Archive::kPatch}) {
        script += std::string("O ") + ArchiveName(archive) + "\r\n";
        for (const std::string& fileName : fileNames) {
            ::unlink(WorkFile(fileName).c_str());
            script += "X " + (kExcelPath + fileName) + " " + kWorkDirName + "\\\r\n";
        }
        script += std::string("c ") + ArchiveName(archive) + "\r\n";
    }
    std::string reason;
    if (!WriteFileSafely(TablesScriptFile(), script, &reason)) {
        reason = "cannot write " + TablesScriptFile() + ": " + reason;
    } else {
        const ToolRun run = Run("s " + std::string(kWorkDirName) + ".sct", kScriptTimeLimitMs);
        if (!run.Ok())
            reason = run.Reason();
    }
    ::unlink(TablesScriptFile().c_str());
    for (std::size_t i = 0; i < fileNames.size(); ++i) {
        const std::string path = WorkFile(fileNames[i]);
        std::string why;
        if (reason.empty() && ::access(path.c_str(), F_OK) == 0 &&
            !LoadTableFile(path, tables[i], why))
            reason = fileNames[i] + ": " + why;
        ::unlink(path.c_str());
    }
    ::rmdir(WorkDir().c_str());
    if (!reason.empty())
        tables.assign(fileNames.size(), CTxtTable());
    return reason;
}

std::string CArchiveBridge::AddTableToPatch(const CTxtTable& table,
                                            const std::string& fileName) const {
    return AddTablesToPatch({{&table, fileName}});
}

std::string CArchiveBridge::AddTablesToPatch(const std::vector<TableUpload>& uploads) const {
    std::string arguments = std::string("a ") + kPatchArchive;
    std::string problem;
    for (std::size_t i = 0; i < uploads.size() && problem.empty(); ++i) {
        const std::string file = TableUploadFile(i);
        std::string why;
        if (uploads[i].bytes ? !WriteFileSafely(file, *uploads[i].bytes, &why)
                             : !uploads[i].table->Save(file, &why))
            problem = "cannot write " + file + ": " + why;
        arguments += " " + file.substr(gameDir_.size()) + " " + kExcelPath + uploads[i].fileName;
    }
    if (problem.empty()) {
        const ToolRun run = Run(arguments, kToolTimeLimitMs);
        if (!run.Ok())
            problem = run.Reason();
    }
    for (std::size_t i = 0; i < uploads.size(); ++i)
        ::unlink(TableUploadFile(i).c_str());
    return problem;
}

std::string CArchiveBridge::AddStringsToPatch(const CStrTbl& strings,
                                              const std::string& language) const {
    // Writing sorts the entries, which changes nothing a caller can see but the
    // order of its list; work on a copy so the caller's table stays as it was.
    CStrTbl copy = strings;
    std::string why;
    if (!copy.Write(StringsUploadFile(), &why)) {
        ::unlink(StringsUploadFile().c_str());
        return "cannot write " + StringsUploadFile() + ": " + why;
    }
    const ToolRun run = Run(std::string("a ") + kPatchArchive + " " + kWorkDirName + ".tmp2 " +
                                StringTablePath(language),
                            kToolTimeLimitMs);
    ::unlink(StringsUploadFile().c_str());
    return run.Ok() ? std::string() : run.Reason();
}

std::string CArchiveBridge::PatchArchivePath() const {
    const std::string found = EntryIgnoringCase(gameDir_, kPatchArchive);
    return found.empty() ? std::string() : gameDir_ + found;
}

std::string CArchiveBridge::PictureScript(const std::vector<std::string>& pictureNames) {
    // Each archive's copy lands over the one before, so the game's order wins: the patch
    // archive's, then the expansion's, then the base archive's. Only the expansion may
    // be missing (a classic install), so its lines are the optional ones.
    std::string script;
    for (const Archive archive : {Archive::kBase, Archive::kExpansion, Archive::kPatch}) {
        const bool optional = archive == Archive::kExpansion;
        const std::string name = ArchiveName(archive);
        script += (optional ? "O " : "o ") + name + "\r\n";
        for (const std::string& picture : pictureNames) {
            // A name from a table cell that could leave the working directory or break
            // the script's lines is not asked for.
            if (IsSafePictureName(picture))
                script += std::string(optional ? "X" : "x") + " data\\GLOBAL\\Items\\" + picture +
                          ".dc6 " + kWorkDirName + "\\ \r\n";
        }
        script += "c " + name + "\r\n";
    }
    return script;
}

void CArchiveBridge::RunPictureScript(const std::vector<std::string>& pictureNames) const {
    MakeWorkDir();
    if (WriteFileSafely(PictureScriptFile(), PictureScript(pictureNames)))
        Run(std::string("s ") + kWorkDirName + ".scs",
            PictureScriptTimeLimitMs(pictureNames.size()));
    ::unlink(PictureScriptFile().c_str());
}

void CArchiveBridge::RemovePictures() const {
    if (DIR* dir = ::opendir(WorkDir().c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (EndsWith(name, ".dc6"))
                ::unlink(WorkFile(name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(WorkDir().c_str());
}

void CArchiveBridge::RemoveWorkFiles() const {
    for (const std::string& file :
         {TableUploadFile(), StringsUploadFile(), PictureScriptFile(), TablesScriptFile()})
        ::unlink(file.c_str());
    // The further tables of one upload, as many as there are.
    for (std::size_t i = 1; ::unlink(TableUploadFile(i).c_str()) == 0; ++i) {
    }
    if (DIR* dir = ::opendir(WorkDir().c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                ::unlink(WorkFile(name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(WorkDir().c_str());
}

} // namespace tolmere
