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

const char* ArchiveName(Archive archive) {
    return archive == Archive::kPatch ? kPatchArchive : kBaseArchive;
}

std::string StringTablePath(const std::string& language) {
    return "data\\LOCAL\\LNG\\" + language + "\\patchstring.tbl";
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

const char CArchiveBridge::kApplyQuestion[] =
    "Are you sure you want to apply this to patch_d2.mpq?\r\nbtw, this is using mpq2k( (c) "
    "Orvandel ).";

std::string CArchiveBridge::CommandLine(const std::string& arguments) const {
    return "\"" + gameDir_ + "mpq2k\" " + arguments;
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

bool CArchiveBridge::ExtractStringTable(CStrTbl& strings, const std::string& language) const {
    MakeWorkDir();
    // A copy left by an earlier run must not pass for this language's table.
    ::unlink(WorkFile("patchstring.tbl").c_str());
    bool extracted = Run(std::string("e ") + kPatchArchive + " " + StringTablePath(language) + " " +
                             kWorkDirName + "\\",
                         kToolTimeLimitMs);
    strings.Reset();
    if (!extracted)
        return false;
    strings.Read(WorkFile("patchstring.tbl"));
    return true;
}

bool CArchiveBridge::ExtractBaseLists(CBaseLists& lists) const {
    MakeWorkDir();
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i) {
        const std::string fileName = lists.Layout(i).fileName;
        // The results are not looked at: the patch copy, when there is one, lands over
        // the base copy. A file left from an earlier run must not stand in for both.
        ::unlink(WorkFile(fileName).c_str());
        for (Archive archive : {Archive::kBase, Archive::kPatch})
            ExtractTable(fileName, archive);
        if (!lists.List(i).Load(WorkFile(fileName))) {
            GuideMsg("fail at " + fileName, kCaptionGuide);
            return false;
        }
        GuideStatus(fileName + " loaded");
    }
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i)
        ::unlink(WorkFile(lists.Layout(i).fileName).c_str());
    ::rmdir(WorkDir().c_str());
    GuideStatus("List resource loaded");
    return true;
}

void CArchiveBridge::ApplyToPatch(const CTxtTable& table, const std::string& fileName,
                                  const CStrTbl& strings, const std::string& language,
                                  const std::string& question) const {
    if (!GuideConfirm(question))
        return;
    const char kSaveFailed[] = "Failed to save to temporary file.";
    if (!table.Save(TableUploadFile())) {
        GuideMsg(kSaveFailed, kCaptionGuide);
        return;
    }
    if (!Run(std::string("a ") + kPatchArchive + " " + kWorkDirName + ".tmp " + kExcelPath +
                 fileName,
             kToolTimeLimitMs))
        GuideMsg("Failed in " + fileName, kCaptionGuide);
    ::unlink(TableUploadFile().c_str());

    if (!GuideConfirm("Apply the patchstring.tbl too?"))
        return;
    // Writing sorts the entries, which changes nothing a caller can see but the
    // order of its list; work on a copy so the caller's table stays as it was.
    CStrTbl copy = strings;
    if (!copy.Write(StringsUploadFile())) {
        GuideMsg(kSaveFailed, kCaptionGuide);
        return;
    }
    if (!Run(std::string("a ") + kPatchArchive + " " + kWorkDirName + ".tmp2 " +
                 StringTablePath(language),
             kToolTimeLimitMs))
        GuideMsg("Failed in patchstring.tbl " + language, kCaptionGuide);
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
