// SPDX-License-Identifier: MIT
#include "Commands.h"

#include "Extract.h"
#include "Mpq.h"
#include "Names.h"
#include "Report.h"
#include "SafeAdd.h"
#include "Script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace mpq2k {

namespace {

// Finds the archive the way the game would (case ignored) and opens it for reading.
// `missing`, when given, tells that there is no such archive at all.
bool OpenForReading(const std::string& given, Archive* archive, std::string* error,
                    bool* missing = nullptr) {
    const ArchiveLookup lookup = FindArchive(given);
    if (lookup.status == ArchiveLookup::Status::Missing) {
        *error = "no such archive";
        if (missing != nullptr) {
            *missing = true;
        }
        return false;
    }
    if (lookup.status == ArchiveLookup::Status::Ambiguous) {
        *error = "more than one file matches this name when case is ignored";
        return false;
    }
    return archive->Open(lookup.path, false, error);
}

} // namespace

int RunExtract(const std::string& archiveName, const std::string& name, const std::string& dir) {
    Archive archive;
    std::string error;
    bool missing = false;
    if (!OpenForReading(archiveName, &archive, &error, &missing)) {
        ReportError(archiveName + ": " + error);
        return missing ? kExitNoArchive : kExitFailure;
    }
    bool absent = false;
    if (!ExtractToDirectory(archive, name, dir, &error, &absent)) {
        ReportError(archiveName + ": " + ArchivedName(name) + ": " + error);
        return absent ? kExitNotInArchive : kExitFailure;
    }
    return kExitOk;
}

int RunAdd(const std::string& archive, const std::vector<std::string>& pairs) {
    AddRequest request{archive, {}};
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        request.items.push_back(AddItem{pairs[i], pairs[i + 1]});
    }
    const std::string repeated = RepeatedName(request.items);
    if (!repeated.empty()) {
        ReportError(archive + ": " + repeated + ": given twice; each NAME goes in once per run");
        return kExitUsage;
    }
    AddFailure failure;
    if (!AddFilesSafely(request, &failure)) {
        // A single file is named whatever failed, as it always was; of several, the one at
        // fault, or none when the archive itself is the problem.
        std::string name = failure.name;
        if (name.empty() && request.items.size() == 1) {
            name = ArchivedName(request.items.front().name);
        }
        ReportError(archive + ": " + (name.empty() ? "" : name + ": ") + failure.error);
        return failure.busy ? kExitBusy : kExitFailure;
    }
    return kExitOk;
}

int RunList(const std::string& archiveName) {
    Archive archive;
    std::string error;
    std::vector<ArchiveEntry> entries;
    if (!OpenForReading(archiveName, &archive, &error) || !ListEntries(archive, &entries, &error)) {
        ReportError(archiveName + ": " + error);
        return kExitFailure;
    }
    std::sort(entries.begin(), entries.end(), [](const ArchiveEntry& a, const ArchiveEntry& b) {
        return UpperAscii(a.name) < UpperAscii(b.name);
    });
    for (const ArchiveEntry& entry : entries) {
        std::printf("%s\t%u\n", Printable(entry.name).c_str(), entry.size);
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int RunScript(const std::string& script) {
    std::ifstream in(script, std::ios::binary);
    if (!in) {
        ReportError(script + ": " + std::strerror(errno));
        return kExitFailure;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        ReportError(script + ": cannot be read");
        return kExitFailure;
    }

    bool allOk = true;
    Archive archive;
    // The archive named by the last "o", open or not: when it failed to open, that was
    // reported once, and its "c" is not a second problem.
    std::string openName;
    bool openFailed = false;
    bool openMissing = false; // the last "O" named an archive that is not there
    const auto fail = [&](const ScriptCommand& command, const std::string& message) {
        ReportError(script + ":" + std::to_string(command.line) + ": " + message);
        allOk = false;
    };
    for (const ScriptCommand& command : ParseScript(text.str())) {
        std::string error;
        switch (command.kind) {
        case ScriptCommand::Kind::Open:
            // Whatever happens to this "o", no later "x" may read the previous archive.
            archive.Close(&error);
            openName = command.first;
            openMissing = false;
            openFailed = !OpenForReading(command.first, &archive, &error, &openMissing);
            if (openFailed && !(openMissing && command.optional)) {
                fail(command, command.first + ": " + error);
            }
            break;
        case ScriptCommand::Kind::Extract: {
            bool absent = false;
            if (!archive.IsOpen()) {
                // An "X" after an "O" that failed was said with the "O": the reason
                // stays the last word.
                if (!(command.optional && openFailed)) {
                    fail(command,
                         ArchivedName(command.first) + ": " +
                             (openFailed ? openName + " did not open" : "no archive is open"));
                }
            } else if (!ExtractToDirectory(archive, command.first, command.second, &error,
                                           &absent) &&
                       !(absent && command.optional)) {
                fail(command, openName + ": " + ArchivedName(command.first) + ": " + error);
            }
            break;
        }
        case ScriptCommand::Kind::Close:
            if (openName.empty() ||
                !SameNameIgnoringCase(ArchivedName(command.first), ArchivedName(openName))) {
                fail(command, command.first + ": not open");
                break;
            }
            archive.Close(&error);
            openName.clear();
            openFailed = false;
            openMissing = false;
            break;
        case ScriptCommand::Kind::Invalid:
            fail(command, "not a script command: " + command.first);
            break;
        }
    }
    return allOk ? kExitOk : kExitFailure;
}

} // namespace mpq2k
