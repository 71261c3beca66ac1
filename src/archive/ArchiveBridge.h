// Every exchange with the game's archives, as runs of mpq2k from the game directory.
#pragma once

#include "app/BaseLists.h"
#include "tables/StrTbl.h"
#include "tables/TxtTable.h"

#include <string>
#include <vector>

namespace tolmere {

enum class Archive { kPatch, kBase };

inline const char kWorkDirName[] = "tmp08187262";
inline const char kPatchArchive[] = "patch_d2.mpq";
inline const char kBaseArchive[] = "d2data.mpq";

class CArchiveBridge {
public:
    // `gameDir` ends with '/'.
    explicit CArchiveBridge(std::string gameDir) : gameDir_(std::move(gameDir)) {}

    const std::string& GameDir() const { return gameDir_; }
    // Working paths, all inside the game directory.
    std::string WorkDir() const { return gameDir_ + kWorkDirName; }
    std::string WorkFile(const std::string& name) const { return WorkDir() + "/" + name; }
    std::string TableUploadFile() const { return gameDir_ + kWorkDirName + ".tmp"; }
    std::string StringsUploadFile() const { return gameDir_ + kWorkDirName + ".tmp2"; }
    std::string PictureScriptFile() const { return gameDir_ + kWorkDirName + ".scs"; }

    // The full command line for the tool's arguments: the tool by its quoted full path.
    std::string CommandLine(const std::string& arguments) const;
    // Runs the tool with the game directory as its working directory.
    bool Run(const std::string& arguments, int timeLimitMs) const;

    // Extracts data\GLOBAL\Excel\<fileName> into the working directory.
    bool ExtractTable(const std::string& fileName, Archive archive) const;
    bool ExtractUniqueItems(Archive archive) const {
        return ExtractTable("UniqueItems.txt", archive);
    }
    bool ExtractSetItems(Archive archive) const { return ExtractTable("SetItems.txt", archive); }
    // Loads an extracted table; on success deletes the file and the working directory.
    bool LoadExtracted(const std::string& fileName, CTxtTable& table) const;

    // Extracts and reads the language's string table from the patch archive; on
    // failure the table is left empty. The extracted file stays.
    bool ExtractStringTable(CStrTbl& strings, const std::string& language) const;
    // Extracts weapons, armor and misc (base, then patch over it) and loads them,
    // reporting each step in the status text.
    bool ExtractBaseLists(CBaseLists& lists) const;

    // Asks, then adds the table as data\GLOBAL\Excel\<fileName> and, on a second Yes,
    // the string table, to the patch archive. `question` is the first question.
    void ApplyToPatch(const CTxtTable& table, const std::string& fileName, const CStrTbl& strings,
                      const std::string& language, const std::string& question) const;
    static const char kApplyQuestion[];

    // The picture script text for the given picture names (CR LF lines).
    static std::string PictureScript(const std::vector<std::string>& pictureNames);
    // Writes and runs the picture script; the pictures land in the working directory.
    void RunPictureScript(const std::vector<std::string>& pictureNames) const;
    // Deletes the extracted pictures and the working directory.
    void RemovePictures() const;

private:
    bool MakeWorkDir() const;
    std::string gameDir_;
};

} // namespace tolmere
