#include "archive/ArchiveBridge.h"

#include "app/Guide.h"
#include "archive/RunTool.h"
#include "tables/SafeWriter.h"

#include <cerrno>
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

// A picture name comes from a table cell; one that could leave the working
// directory or break the script's lines is not asked for.
bool SafePictureName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (unsigned char ch : name)
        if (ch < 32 || ch == '/' || ch == '\\')
            return false;
    return true;
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

std::string CArchiveBridge::CommandLine(const std::string& arguments) const {
    return "\"" + toolPath_ + "\" " + arguments;
}

bool CArchiveBridge::Run(const std::string& arguments, int timeLimitMs) const {
    return RunTool(CommandLine(arguments), gameDir_, timeLimitMs);
}

bool CArchiveBridge::MakeWorkDir() const {
    return ::mkdir(WorkDir().c_str(), 0777) == 0 || errno == EEXIST;
}

bool CArchiveBridge::ExtractTable(const std::string& fileName, Archive archive) const {
    MakeWorkDir();
    return Run(std::string("e ") + ArchiveName(archive) + " " + kExcelPath + fileName + " " +
                   kWorkDirName + "\\",
               kToolTimeLimitMs);
}

bool CArchiveBridge::LoadExtracted(const std::string& fileName, CTxtTable& table) const {
    if (!table.Load(WorkFile(fileName)))
        return false;
    ::unlink(WorkFile(fileName).c_str());
    ::rmdir(WorkDir().c_str());
    return true;
}

bool CArchiveBridge::ExtractStringTable(CStrTbl& strings, const std::string& language,
                                        const std::string& fileName) const {
    MakeWorkDir();
    strings.Reset();
    for (Archive archive : kArchiveOrder) {
        // A copy left by an earlier run must not pass for this language's table.
        ::unlink(WorkFile(fileName).c_str());
        if (!Run(std::string("e ") + ArchiveName(archive) + " " +
                     StringTablePath(language, fileName) + " " + kWorkDirName + "\\",
                 kToolTimeLimitMs))
            continue;
        const bool read = strings.Read(WorkFile(fileName));
        ::unlink(WorkFile(fileName).c_str());
        ::rmdir(WorkDir().c_str());
        return read;
    }
    ::rmdir(WorkDir().c_str());
    return false;
}

bool CArchiveBridge::ExtractStringTables(CStringTables& strings,
                                         const std::string& language) const {
    bool patchLoaded = false;
    for (StringSource source : CStringTables::kLookupOrder) {
        const bool loaded =
            ExtractStringTable(strings.Table(source), language, CStringTables::FileName(source));
        if (source == StringSource::kPatch)
            patchLoaded = loaded;
    }
    return patchLoaded;
}

bool CArchiveBridge::ExtractBaseLists(CBaseLists& lists, std::string& failedFile) const {
    MakeWorkDir();
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i) {
        const std::string fileName = CBaseLists::FileName(i);
        // The results are not looked at: each later archive's copy, when there is one,
        // lands over the one before, so the patch archive's wins. A file left from an
        // earlier run must not stand in for them.
        ::unlink(WorkFile(fileName).c_str());
        for (Archive archive : {Archive::kBase, Archive::kExpansion, Archive::kPatch})
            ExtractTable(fileName, archive);
        if (!lists.Load(i, WorkFile(fileName))) {
            failedFile = fileName;
            return false;
        }
        GuideStatus(fileName + " loaded");
    }
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i)
        ::unlink(WorkFile(CBaseLists::FileName(i)).c_str());
    ::rmdir(WorkDir().c_str());
    GuideStatus("List resource loaded");
    return true;
}

CArchiveBridge::PatchWrite CArchiveBridge::AddTableToPatch(const CTxtTable& table,
                                                           const std::string& fileName) const {
    if (!table.Save(TableUploadFile()))
        return PatchWrite::kNotSaved;
    const bool added = Run(std::string("a ") + kPatchArchive + " " + kWorkDirName + ".tmp " +
                               kExcelPath + fileName,
                           kToolTimeLimitMs);
    ::unlink(TableUploadFile().c_str());
    return added ? PatchWrite::kWritten : PatchWrite::kToolFailed;
}

CArchiveBridge::PatchWrite CArchiveBridge::AddStringsToPatch(const CStrTbl& strings,
                                                             const std::string& language) const {
    // Writing sorts the entries, which changes nothing a caller can see but the
    // order of its list; work on a copy so the caller's table stays as it was.
    CStrTbl copy = strings;
    if (!copy.Write(StringsUploadFile()))
        return PatchWrite::kNotSaved;
    const bool added = Run(std::string("a ") + kPatchArchive + " " + kWorkDirName + ".tmp2 " +
                               StringTablePath(language),
                           kToolTimeLimitMs);
    ::unlink(StringsUploadFile().c_str());
    return added ? PatchWrite::kWritten : PatchWrite::kToolFailed;
}

std::string CArchiveBridge::PictureScript(const std::vector<std::string>& pictureNames) {
    std::string items;
    for (const std::string& name : pictureNames)
        if (SafePictureName(name))
            items +=
                std::string("x data\\GLOBAL\\Items\\") + name + ".dc6 " + kWorkDirName + "\\ \r\n";
    std::string script;
    for (const char* archive : {kBaseArchive, kPatchArchive})
        script += std::string("o ") + archive + "\r\n" + items + "c " + archive + "\r\n";
    return script;
}

void CArchiveBridge::RunPictureScript(const std::vector<std::string>& pictureNames) const {
    MakeWorkDir();
    if (!WriteFileSafely(PictureScriptFile(), PictureScript(pictureNames)))
        return;
    Run(std::string("s ") + kWorkDirName + ".scs", kScriptTimeLimitMs);
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

} // namespace tolmere
