// SPDX-License-Identifier: MIT
// The main window's files: start-up, the game's archives, Reload, Spawn On, the table
// and string-table files the user loads and saves, and the language.
#include "ui/MainWindow.h"

#include "app/SpawnPlan.h"
#include "archive/GameDir.h"
#include "base/Guide.h"
#include "base/ProgramExit.h"
#include "diff/ModifierWords.h"
#include "tables/TableFile.h"
#include "ui/ChangesDlg.h"
#include "ui/FileDialogs.h"
#include "ui/ProblemsDlg.h"
#include "ui/TableFileTexts.h"

#include <QComboBox>
#include <QFileInfo>

namespace tolmere {
namespace {

const char kUniqueItemsFile[] = "UniqueItems.txt";
const char kStringsFilter[] = "Table File (*.tbl)|*.tbl|All Files(*.*)|*.*||";

const char kNoGameMessage[] = "Cannot detect d2 installation";
const char kChooseGameQuestion[] = "Choose the game's folder?";
const char kNotLoadedFromWorkDir[] = "Unable to load UniqueItems.txt from temporary dir";
const char kModKeyMissing[] =
    "Unable to load Modkey.txt.\r\nthe file needed to be on the same dir or at d2 dir";
const char kColoursMissing[] =
    "Unable to load colors.txt.\r\nthe file needed to be on the same dir or at d2 dir";
const char kApplyQuestion[] =
    "Are you sure you want to apply this to patch_d2.mpq?\r\nbtw, this is using mpq2k( (c) "
    "Orvandel ).";
const char kTxtNote[] = "; the game reads changed tables only when started with -txt";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

std::optional<std::string> CMainWindow::AskFile(bool save, const char* suffix, const char* name,
                                                const char* filter) {
    const std::optional<QString> path =
        AskFileName(this, {save, suffix, name, filter, false, fileDialogFolder_});
    if (!path)
        return std::nullopt;
    fileDialogFolder_ = QFileInfo(*path).absolutePath();
    return path->toStdString();
}

std::string CMainWindow::FindGame() {
    std::string problem;
    if (std::optional<std::string> found = FindGameDir(data_.gameSearch, problem))
        return *found;
    const std::string where = problem.empty() ? kNoGameMessage : problem;
    if (GuideMsg(where + "\n" + kChooseGameQuestion, kCaptionConfirmation, kGuideYesNo) !=
        kGuideYes)
        return std::string();
    FileDialogRequest request;
    request.folder = true;
    request.defaultName = QStringLiteral("The game's folder (with d2data.mpq)");
    const std::optional<QString> chosen = AskFileName(this, request);
    if (!chosen)
        return std::string();
    const std::string dir = chosen->toStdString();
    if (!LooksLikeGameDir(dir)) {
        GuideMsg(dir + ": no d2data.mpq or patch_d2.mpq there", kCaptionGuide);
        return std::string();
    }
    return dir.back() == '/' ? dir : dir + "/";
}

void CMainWindow::LoadAtStart() {
    const std::string gameDir = FindGame();
    if (gameDir.empty()) {
        // Without a game the catalogue still helps anyone who loads a table file.
        LoadModKeys(data_.modKeys, data_.programDir, std::string());
        LoadDataTable(data_.colours, "colors.txt", data_.programDir, std::string());
        return;
    }
    gameDir_ = gameDir;
    fileDialogFolder_ = Text(gameDir_);
    bridge_.emplace(gameDir_, FindArchiveTool(gameDir_, data_.programDir));
    // What a killed run left is cleared by the one run that finds no other on the folder.
    const std::string backups = data_.backup.dir.empty() ? DefaultBackupsDir() : data_.backup.dir;
    if (workLock_.TakeAlone(WorkLockPath(gameDir_, backups))) {
        RemoveStaleWorkFiles(gameDir_, backups);
        workLock_.Share();
    }

    CTxtTable table;
    const CArchiveBridge::Fetch fetch = bridge_->FetchTable(kUniqueItemsFile, table);
    if (!fetch.extracted) {
        GuideMsg(NotExtractedMessage(kUniqueItemsFile) + "\n\n" + fetch.reason, kCaptionError);
        ExitProgram(kExitTableNotExtracted);
    }
    if (!fetch.loaded) {
        GuideMsg(std::string(kNotLoadedFromWorkDir) + "\n" + fetch.reason, kCaptionGuide);
        ExitProgram(kExitTableNotLoadable);
    }
    ReplaceUniqueItems(std::move(table),
                       fetch.from == Archive::kPatch ? "" : ArchiveName(fetch.from));
    if (!LoadModKeys(data_.modKeys, data_.programDir, gameDir_)) {
        GuideMsg(kModKeyMissing, kCaptionGuide);
        ExitProgram(kExitDataFilesMissing);
    }
    if (!LoadDataTable(data_.colours, "colors.txt", data_.programDir, gameDir_)) {
        GuideMsg(kColoursMissing, kCaptionGuide);
        ExitProgram(kExitDataFilesMissing);
    }
    if (!data_.uniqueLayout.Editable())
        GuideMsg(data_.uniqueLayout.problem +
                     "\nThe table is shown read-only: nothing can be written into it.",
                 kCaptionGuide);
    TakeStringTables(data_.language, true);
    TakeGameData();
    FillItemList();
    ShowLoadedFrom(fetch.from);
    FillModifierList();

    pictureWorker_.SetPictureDir(bridge_->WorkDir());
    pictureWorker_.showImage = false;
    pictureWorker_.Start();
}

bool CMainWindow::TakeStringTables(const std::string& language, bool announce) {
    CStringTables tables;
    const auto loads = bridge_->ExtractStringTables(tables, language);
    using Status = CArchiveBridge::Extraction::Status;
    const bool none = std::all_of(loads.begin(), loads.end(),
                                  [](const auto& load) { return load.status == Status::kAbsent; });
    const CArchiveBridge::StringsLoad& patch = loads[0];
    const std::string patchName = "patchstring.tbl (" + language + ")";
    if (announce) {
        // At start there is no other table to keep: the game's others are shown, and
        // ours stays unwritable until one loads.
        tables.SetPatchProblem(patch.status == Status::kFailed ? patch.reason : std::string());
        if (!tables.PatchWritable())
            GuideMsg(patchName + " did not load:\n" + patch.reason +
                         "\nNames cannot be changed or written until a string table loads.",
                     kCaptionGuide);
    } else if (none || patch.status == Status::kFailed) {
        GuideMsg((none ? "The game has no string tables for " + language
                       : patchName + " did not load:\n" + patch.reason) +
                     "\nThe " + data_.language + " names stay.",
                 kCaptionGuide);
        return false;
    }
    data_.strings = std::move(tables);
    data_.history.Clear();
    data_.history.MarkClean(&data_.strings.Patch());
    UpdateCaption();
    if (!data_.strings.PatchWritable())
        SetStatus(Text(patchName + " did not load"));
    return true;
}

void CMainWindow::TakeGameData() {
    // Every table the game's wording draws on, in one run of the tool.
    const auto& names = GameTables::FileNames();
    std::vector<CTxtTable> extracted;
    const std::string reason =
        bridge_->ExtractTables(std::vector<std::string>(names.begin(), names.end()), extracted);
    GameTables tables;
    for (std::size_t i = 0; i < extracted.size() && i < names.size(); ++i)
        tables[i] = std::move(extracted[i]);
    data_.game.Assign(tables);
    data_.gameTables = std::move(tables);
    // A game without them is worded by the catalogue silently; one whose tables
    // failed to load is told why its lines read differently.
    if (!reason.empty())
        GuideMsg("The game's Properties.txt and ItemStatCost.txt did not load:\n" + reason +
                     "\nModifiers are worded by modkey.txt.",
                 kCaptionGuide);
}

void CMainWindow::ReplaceUniqueItems(CTxtTable table, const std::string& servedBy) {
    data_.uniqueItems = std::move(table);
    data_.uniqueServedBy = servedBy;
    TakeUniqueLayout();
    data_.history.Clear();
    data_.history.MarkClean(&data_.uniqueItems);
    UpdateCaption();
}

void CMainWindow::ShowLoadedFrom(Archive archive) {
    std::string name = ArchiveName(archive);
    SetStatus(Text("Loaded from " + name.substr(0, name.find('.'))));
}

bool CMainWindow::NeedGame() const {
    if (bridge_)
        return true;
    GuideMsg(kNoGameMessage, kCaptionGuide);
    return false;
}

void CMainWindow::OnChanges() {
    ChangesRequest request{&data_.uniqueItems, kUniqueItemsFile, &data_.strings, data_.language,
                           GameSlotWords(data_.modKeys, data_.game, data_.strings)};
    const auto goTo = [this](std::int32_t row, std::int32_t column, QWidget* dialog) {
        if (column < 0) {
            ShowItem(row);
            return false;
        }
        // A changed cell, in the grid: the item's view may not show that column.
        const bool changed = RawEditUnique(dialog, row, column);
        UpdateCaption();
        FillItemList(row);
        FillModifierList();
        return changed;
    };
    CChangesDlg changes(this, bridge_ ? &*bridge_ : nullptr, std::move(request), goTo);
    changes.RunModal();
}

void CMainWindow::OnOK() {
    if (!NeedGame())
        return;
    SpawnOnRequest request;
    request.tables.push_back({&data_.uniqueItems, kUniqueItemsFile, data_.uniqueServedBy});
    request.strings = &data_.strings;
    request.language = data_.language;
    request.question = kApplyQuestion;
    const SpawnOnPlan plan = PlanSpawnOn(*bridge_, request, LintSources(),
                                         GameSlotWords(data_.modKeys, data_.game, data_.strings));
    if (!ConfirmDespiteProblems(plan.problems, this))
        return;
    const SpawnOnResult result = RunSpawnOn(*bridge_, request, data_.backup);
    KeepWrittenInMessages(plan.preview, result);
    if (result.tablesWritten) {
        data_.history.MarkClean(&data_.uniqueItems);
        data_.uniqueServedBy.clear(); // it is the patch archive's own now
    }
    if (result.stringsWritten)
        data_.history.MarkClean(&data_.strings.Patch());
    UpdateCaption();
    if (result.status.empty())
        return;
    std::string status = result.status;
    // The game of 1.10 and later reads its compiled tables unless told otherwise; a
    // .bin written beside the table is what it reads.
    const bool readsBins = data_.uniqueLayout.name == "1.10+" || result.binsHeldBack;
    if (result.tablesWritten && result.binsWritten.empty() && readsBins && !txtNoteShown_) {
        txtNoteShown_ = true;
        status += kTxtNote;
    }
    SetStatus(Text(status));
}

void CMainWindow::OnReload() {
    const std::string question =
        data_.history.Modified(&data_.uniqueItems)
            ? "Reload data from d2?\nThe unsaved changes to UniqueItems.txt are then lost."
            : "Reload data from d2?";
    if (!GuideConfirm(question))
        return;
    if (!NeedGame())
        return;
    CTxtTable table;
    const CArchiveBridge::Fetch fetch = bridge_->FetchTable(kUniqueItemsFile, table);
    if (!fetch.extracted) {
        GuideMsg("Unable to extract UniqueItems.txt from mpqs\n" + fetch.reason, kCaptionGuide);
        return;
    }
    if (!fetch.loaded) {
        GuideMsg(std::string(kNotLoadedFromWorkDir) + "\n" + fetch.reason, kCaptionGuide);
        return;
    }
    ReplaceUniqueItems(std::move(table),
                       fetch.from == Archive::kPatch ? "" : ArchiveName(fetch.from));
    TakeGameData();
    FillItemList();
    ShowLoadedFrom(fetch.from);
    std::string failedList;
    std::string reason;
    if (!bridge_->ExtractBaseLists(data_.baseLists, failedList, reason))
        GuideMsg("fail at " + failedList + "\n" + reason, kCaptionGuide);
}

void CMainWindow::OnLoadFile() {
    if (!AskDiscard({&data_.uniqueItems}))
        return;
    const std::optional<std::string> path =
        AskFile(false, "txt", "UniqueItems2.txt", kTableFileFilter);
    if (!path)
        return;
    // A file that is not a unique items table leaves the one in memory as it was.
    const std::string& file = *path;
    CTxtTable table;
    std::string error;
    if (!LoadTableFile(file, table, error)) {
        GuideMsg("Cannot load " + file + ":\n" + error, kCaptionGuide);
        return;
    }
    const UniqueItemsLayout layout =
        RecogniseUniqueItems(table, file.substr(file.find_last_of('/') + 1));
    if (!layout.Editable()) {
        GuideMsg("Cannot load " + file + ":\n" + layout.problem +
                     ", so it is not a unique items table this editor knows",
                 kCaptionGuide);
        return;
    }
    ReplaceUniqueItems(std::move(table), std::string());
    FillItemList();
    SetStatus(Text("Loaded " + file + " (" + data_.uniqueLayout.name + " layout, " +
                   std::to_string(Model().ItemCount()) + " rows)"));
}

void CMainWindow::OnSaveAs() {
    const std::optional<std::string> path =
        AskFile(true, "txt", "UniqueItems2.txt", kTableFileFilter);
    if (!path)
        return;
    const std::string& file = *path;
    std::string error;
    if (!data_.uniqueItems.Save(file, &error)) {
        GuideMsg("Failed.\nCannot write " + file + ": " + error, kCaptionGuide);
        return;
    }
    data_.history.MarkClean(&data_.uniqueItems);
    UpdateCaption();
    SetStatus(Text("UniqueItems.txt saved as " + file));
}

void CMainWindow::OnLoadStrings() {
    if (!AskDiscard({&data_.strings.Patch()}))
        return;
    const std::optional<std::string> path =
        AskFile(false, "tbl", "PatchString2.tbl", kStringsFilter);
    if (!path)
        return;
    // Read into a scratch table so that a file that cannot be read changes nothing.
    const std::string& file = *path;
    CStrTbl loaded;
    std::string error;
    if (!loaded.Read(file, &error)) {
        GuideMsg("Cannot load " + file + ":\n" + error, kCaptionGuide);
        return;
    }
    data_.strings.Patch() = std::move(loaded);
    data_.strings.SetPatchProblem(std::string());
    data_.history.Clear();
    data_.history.MarkClean(&data_.strings.Patch());
    UpdateCaption();
    FillItemList();
    SetStatus(Text("Loaded " + file + " (" + std::to_string(data_.strings.Patch().EntryCount()) +
                   " names)"));
}

void CMainWindow::OnSaveStrings() {
    const std::optional<std::string> path =
        AskFile(true, "tbl", "PatchString2.tbl", kStringsFilter);
    if (!path)
        return;
    const std::string& file = *path;
    std::string error;
    if (!data_.strings.Patch().Write(file, &error)) {
        GuideMsg("Failed.\nCannot write " + file + ": " + error, kCaptionGuide);
        return;
    }
    data_.history.MarkClean(&data_.strings.Patch());
    UpdateCaption();
    SetStatus(QStringLiteral("Done."));
}

void CMainWindow::OnLanguageChosen() {
    auto* languages = ControlAs<QComboBox>(kMainLanguage);
    const std::string chosen = languages->currentText().toStdString();
    if (chosen == data_.language)
        return;
    const auto keepCurrent = [&] { languages->setCurrentText(Text(data_.language)); };
    if (!bridge_) {
        GuideMsg(kNoGameMessage, kCaptionGuide);
        keepCurrent();
        return;
    }
    if (!AskDiscard({&data_.strings.Patch()}) || !TakeStringTables(chosen, false)) {
        keepCurrent();
        return;
    }
    data_.language = chosen;
    FillItemList();
}

} // namespace tolmere
