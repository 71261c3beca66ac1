// Every exchange with the game's archives, as runs of mpq2k from the game directory.
#pragma once

#include "app/BaseLists.h"
#include "tables/StrTbl.h"
#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <string>
#include <vector>

namespace tolmere {

enum class Archive { kPatch, kExpansion, kBase };
// Where the game looks for a file: the patch archive first, the base archive last.
inline constexpr Archive kArchiveOrder[] = {Archive::kPatch, Archive::kExpansion, Archive::kBase};

inline const char kWorkDirName[] = "tmp08187262";
inline const char kPatchArchive[] = "patch_d2.mpq";
inline const char kExpansionArchive[] = "d2exp.mpq";
inline const char kBaseArchive[] = "d2data.mpq";
const char* ArchiveName(Archive archive);

// The archive tool to run: the game directory's own mpq2k when it has one, else the
// one installed beside this program (game folders rarely carry a Linux tool).
std::string FindArchiveTool(const std::string& gameDir, const std::string& programDir);

class CArchiveBridge {
public:
    // `gameDir` ends with '/'; the tool defaults to the game directory's mpq2k.
    explicit CArchiveBridge(std::string gameDir, std::string toolPath = std::string())
        : gameDir_(std::move(gameDir)),
          toolPath_(toolPath.empty() ? gameDir_ + "mpq2k" : std::move(toolPath)) {}

    const std::string& GameDir() const { return gameDir_; }
    const std::string& ToolPath() const { return toolPath_; }
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

    // Extracts and reads the language's string table `fileName` from the first
    // archive in the game's order that has it; on failure the table is left empty.
    bool ExtractStringTable(CStrTbl& strings, const std::string& language,
                            const std::string& fileName = "patchstring.tbl") const;
    // The three string tables of the language; true when patchstring.tbl loaded.
    bool ExtractStringTables(CStringTables& strings, const std::string& language) const;
    // Extracts weapons, armor and misc (each archive's copy over the one before, the
    // patch archive's last) and loads them, reporting each step in the status text.
    // False, with `failedFile` naming the list that did not load, when one fails.
    bool ExtractBaseLists(CBaseLists& lists, std::string& failedFile) const;

    // Writing into the patch archive.
    enum class PatchWrite {
        kWritten,
        kNotSaved,   // the upload file could not be written
        kToolFailed, // the tool did not add it
    };
    // Saves the table to the upload file and adds it as data\GLOBAL\Excel\<fileName>.
    // The upload file is removed whatever happens.
    PatchWrite AddTableToPatch(const CTxtTable& table, const std::string& fileName) const;
    // Writes the string table to its upload file and adds it as the language's
    // patchstring.tbl; the upload file is removed whatever happens. The caller's table
    // is not reordered by the writing.
    PatchWrite AddStringsToPatch(const CStrTbl& strings, const std::string& language) const;

    // The picture script text for the given picture names (CR LF lines).
    static std::string PictureScript(const std::vector<std::string>& pictureNames);
    // Writes and runs the picture script; the pictures land in the working directory.
    void RunPictureScript(const std::vector<std::string>& pictureNames) const;
    // Deletes the extracted pictures and the working directory.
    void RemovePictures() const;

private:
    bool MakeWorkDir() const;
    std::string gameDir_;
    std::string toolPath_;
};

} // namespace tolmere
