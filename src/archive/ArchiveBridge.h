// SPDX-License-Identifier: MIT
// Every exchange with the game's archives, as runs of mpq2k from the game directory.
#pragma once

#include "archive/RunTool.h"
#include "items/BaseLists.h"
#include "tables/StrTbl.h"
#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <algorithm>
#include <array>
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

// How long a picture script of that many names may run: the single run's limit, and
// more for every name, since one run extracts them all.
inline int PictureScriptTimeLimitMs(std::size_t names) {
    constexpr int kPerNameMs = 50;
    constexpr std::size_t kMostNames = 100000;
    return kToolTimeLimitMs + kPerNameMs * static_cast<int>(std::min(names, kMostNames));
}

class CArchiveBridge {
public:
    // `gameDir` ends with '/'; the tool defaults to the game directory's mpq2k. Both are
    // made absolute here, since the tool runs from inside the game directory.
    explicit CArchiveBridge(const std::string& gameDir,
                            const std::string& toolPath = std::string());

    const std::string& GameDir() const { return gameDir_; }
    const std::string& ToolPath() const { return toolPath_; }
    // Working paths, all inside the game directory.
    std::string WorkDir() const { return gameDir_ + kWorkDirName; }
    std::string WorkFile(const std::string& name) const { return WorkDir() + "/" + name; }
    std::string TableUploadFile() const { return gameDir_ + kWorkDirName + ".tmp"; }
    // The upload file of the `index`th table of one run: ".tmp", then ".tmp3", ".tmp4"...
    // (".tmp2" is the string table's).
    std::string TableUploadFile(std::size_t index) const {
        return index == 0 ? TableUploadFile() : TableUploadFile() + std::to_string(index + 2);
    }
    std::string StringsUploadFile() const { return gameDir_ + kWorkDirName + ".tmp2"; }
    std::string PictureScriptFile() const { return gameDir_ + kWorkDirName + ".scs"; }
    std::string TablesScriptFile() const { return gameDir_ + kWorkDirName + ".sct"; }

    // The full command line for the tool's arguments: the tool by its quoted full path.
    std::string CommandLine(const std::string& arguments) const;
    // Runs the tool with the game directory as its working directory.
    ToolRun Run(const std::string& arguments, int timeLimitMs) const;

    // What asking an archive for one file came to.
    struct Extraction {
        enum class Status {
            kExtracted,
            kAbsent, // the archive, or the file in it, is not there: the next may have it
            kFailed, // anything else; `reason` says what
        };
        Status status = Status::kFailed;
        std::string reason;
        bool Ok() const { return status == Status::kExtracted; }
    };

    // Extracts data\GLOBAL\Excel\<fileName> into the working directory.
    Extraction ExtractTable(const std::string& fileName, Archive archive) const;

    // A table fetched from the game.
    struct Fetch {
        bool extracted = false;
        bool loaded = false;
        Archive from = Archive::kPatch; // the archive that served
        std::string reason;             // what failed, when something did
    };
    // Extracts data\GLOBAL\Excel\<fileName> from the first archive in the game's order
    // that holds it and loads it into `table`, checked as a tab-delimited table. Only an
    // archive that lacks the file sends the search on: any other failure ends it there,
    // so that a mod's archive that cannot be read is never passed over for the game's
    // own table. `table` is changed only when the load succeeds; the working folder is
    // left clean either way.
    Fetch FetchTable(const std::string& fileName, CTxtTable& table) const;

    // Extracts data\GLOBAL\Excel\<fileName> from the first archive in the game's order
    // that holds it into `bytes`, as FetchTable does, the working folder left clean.
    Extraction FetchBytes(const std::string& fileName, std::string& bytes) const;

    // How one string table of the language came.
    struct StringsLoad {
        Extraction::Status status = Extraction::Status::kFailed; // kAbsent: no archive has it
        std::string reason;
    };
    // Reads the language's string table `fileName` from the first archive in the
    // game's order that has it. `strings` is replaced only when a table loaded;
    // kAbsent leaves it empty.
    StringsLoad ExtractStringTable(CStrTbl& strings, const std::string& language,
                                   const std::string& fileName = "patchstring.tbl") const;
    // The three string tables of the language, each as ExtractStringTable reads it;
    // their loads in CStringTables::kLookupOrder.
    std::array<StringsLoad, 3> ExtractStringTables(CStringTables& strings,
                                                   const std::string& language) const;
    // Extracts weapons, armor and misc (each archive's copy over the one before, the
    // patch archive's last) and loads them, reporting each step in the status text.
    // False, with `failedFile` naming the list that did not load and `reason` why,
    // when one fails.
    bool ExtractBaseLists(CBaseLists& lists, std::string& failedFile, std::string& reason) const;
    // Extracts several tables in one run of the tool, each archive's copy over the one
    // before (the patch archive's wins), and loads them: `tables[i]` is the table of
    // `fileNames[i]`, left empty where no archive holds it. Empty when everything there
    // loaded; otherwise why not, with `tables` all empty.
    std::string ExtractTables(const std::vector<std::string>& fileNames,
                              std::vector<CTxtTable>& tables) const;

    // Writing into the patch archive: empty when it worked, otherwise why not.
    // Saves the table to the upload file and adds it as data\GLOBAL\Excel\<fileName>.
    std::string AddTableToPatch(const CTxtTable& table, const std::string& fileName) const;
    // The same for several tables in one run of the tool, which rewrites the archive
    // once: every table goes in, or none does.
    struct TableUpload {
        const CTxtTable* table = nullptr;
        std::string fileName;
        // When set, these bytes go in instead of the table (a compiled .bin).
        const std::string* bytes = nullptr;
    };
    std::string AddTablesToPatch(const std::vector<TableUpload>& uploads) const;
    // Writes the string table to its upload file and adds it as the language's
    // patchstring.tbl. The caller's table is not reordered by the writing.
    std::string AddStringsToPatch(const CStrTbl& strings, const std::string& language) const;
    // The patch archive's path, found without regard to case as the tool finds it;
    // empty when there is none yet.
    std::string PatchArchivePath() const;

    // The picture script text for the given picture names (CR LF lines).
    static std::string PictureScript(const std::vector<std::string>& pictureNames);
    // Writes and runs the picture script, waiting PictureScriptTimeLimitMs for it; the
    // pictures land in the working directory.
    void RunPictureScript(const std::vector<std::string>& pictureNames) const;
    // Deletes the extracted pictures and the working directory.
    void RemovePictures() const;
    // Removes everything of ours from the game directory: the working directory (when
    // only our files are in it) and the upload and script files.
    void RemoveWorkFiles() const;

private:
    bool MakeWorkDir() const;
    // What the first archive in the game's order that has the file gave, and which
    // archive that was: the patch archive first; kAbsent when none has it.
    struct Served {
        Extraction extraction;
        Archive from = Archive::kPatch;
    };
    Served ExtractFirst(const std::string& archivePath, const std::string& fileName) const;
    // Deletes the extracted copy and the working folder, when it is then empty.
    void RemoveWorkCopy(const std::string& fileName) const;
    // Extracts the archive path (data\...) from `archive` into the working directory.
    Extraction Extract(const std::string& archivePath, Archive archive) const;
    std::string gameDir_;
    std::string toolPath_;
};

} // namespace tolmere
