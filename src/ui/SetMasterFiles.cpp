// SPDX-License-Identifier: MIT
// Set Master's files: the set tables from the game, from and to files, and into the
// patch archive.
#include "ui/SetMasterDlg.h"

#include "app/SpawnPlan.h"
#include "base/Guide.h"
#include "tables/TableFile.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/ProblemsDlg.h"
#include "ui/TableFileTexts.h"

#include <QFileInfo>

namespace tolmere {
namespace {

const char kSetItemsFile[] = "SetItems.txt";
const char kSetsFile[] = "Sets.txt";
const char kNotLoaded[] = "Unable to load SetItem.txt from temporary dir";
const char kApplyQuestion[] =
    "Are you sure you want to apply this (setitems.txt) to patch_d2.mpq?\r\nbtw, this is using "
    "mpq2k( (c) Orvandel ).";
const char kApplyBothQuestion[] =
    "Are you sure you want to apply this (setitems.txt and sets.txt) to patch_d2.mpq?\r\nbtw, "
    "this is using mpq2k( (c) Orvandel ).";

} // namespace

void CSetMasterDlg::LoadFromGame() {
    if (!bridge_) {
        SetStatus("No game: Load File opens a set table");
        return;
    }
    // Every opening shows what the archives hold; a failure keeps what is in memory.
    CTxtTable items;
    const CArchiveBridge::Fetch fetch = bridge_->FetchTable(kSetItemsFile, items);
    if (!fetch.extracted) {
        GuideMsg(NotExtractedMessage(kSetItemsFile) + "\n\n" + fetch.reason, kCaptionError);
        return;
    }
    if (!fetch.loaded) {
        GuideMsg(std::string(kNotLoaded) + "\n" + fetch.reason, kCaptionGuide);
        return;
    }
    const std::string itemsFrom = fetch.from == Archive::kPatch ? "" : ArchiveName(fetch.from);
    std::optional<CTxtTable> sets;
    std::string setsFrom;
    if (BuildSetTree(items, nullptr).usesSetsTable) {
        CTxtTable table;
        const CArchiveBridge::Fetch setsFetch = bridge_->FetchTable(kSetsFile, table);
        if (setsFetch.extracted && !setsFetch.loaded) {
            GuideMsg("Unable to load Sets.txt from temporary dir\n" + setsFetch.reason,
                     kCaptionGuide);
            return;
        }
        // Without Sets.txt the items show under sets the tree does not know.
        if (!setsFetch.extracted)
            GuideMsg("Sets.txt could not be had from the game:\n" + setsFetch.reason +
                         "\nThe sets' own bonuses are not shown.",
                     kCaptionGuide);
        sets = std::move(table);
        setsFrom = setsFetch.from == Archive::kPatch ? "" : ArchiveName(setsFetch.from);
    }
    Replace(std::move(items), std::move(sets), itemsFrom, setsFrom);
    const std::string name = ArchiveName(fetch.from);
    SetStatus("Loaded from " + name.substr(0, name.find('.')));
}

void CSetMasterDlg::Replace(CTxtTable setItems, std::optional<CTxtTable> sets,
                            const std::string& itemsFrom, const std::string& setsFrom) {
    data_.setItems = std::move(setItems);
    data_.setItemsServedBy = itemsFrom;
    data_.history.Forget(&data_.setItems);
    if (sets) {
        data_.sets = std::move(*sets);
        data_.setsServedBy = setsFrom;
        data_.history.Forget(&data_.sets);
    }
    model_.Rebuild();
    if (!model_.Tree().Editable())
        GuideMsg(model_.Tree().problem + "\nThe table is shown read-only: nothing can be " +
                     "written into it.",
                 kCaptionGuide);
    UpdateCaption();
}

std::optional<std::string> CSetMasterDlg::AskFile(bool save, const char* name) {
    const std::optional<QString> path =
        AskFileName(this, {save, "txt", name, kTableFileFilter, false, fileDialogFolder_});
    if (!path)
        return std::nullopt;
    fileDialogFolder_ = QFileInfo(*path).absolutePath();
    return path->toStdString();
}

void CSetMasterDlg::OnLoadFile() {
    if (!AskDiscardChanges(data_, {&data_.setItems, &data_.sets}))
        return;
    const std::optional<std::string> path = AskFile(false, "SetItems2.txt");
    if (!path)
        return;
    // A file that is not a set table leaves the tables in memory as they were.
    CTxtTable items;
    std::string error;
    if (!LoadTableFile(*path, items, error)) {
        GuideMsg("Cannot load " + *path + ":\n" + error, kCaptionGuide);
        return;
    }
    CTxtTable noSets;
    const SetTree tree = BuildSetTree(items, &noSets);
    if (!tree.Editable()) {
        GuideMsg("Cannot load " + *path + ":\n" + tree.problem +
                     ", so it is not a set items table this editor knows",
                 kCaptionGuide);
        return;
    }
    std::optional<CTxtTable> sets;
    std::string loaded = *path;
    if (tree.usesSetsTable &&
        GuideConfirm("The sets' own bonuses of this layout are in Sets.txt.\nLoad a Sets.txt "
                     "from a file too?")) {
        const std::optional<std::string> setsPath = AskFile(false, "Sets2.txt");
        CTxtTable table;
        if (setsPath && !LoadTableFile(*setsPath, table, error)) {
            GuideMsg("Cannot load " + *setsPath + ":\n" + error, kCaptionGuide);
            return;
        }
        if (setsPath) {
            sets = std::move(table);
            loaded += " and " + *setsPath;
        }
    }
    Replace(std::move(items), std::move(sets), std::string(), std::string());
    FillTree();
    SetStatus("Loaded " + loaded + " (" + model_.Tree().layout + " layout)");
}

void CSetMasterDlg::OnSaveAs() {
    std::vector<std::pair<CTxtTable*, const char*>> tables{{&data_.setItems, "SetItems2.txt"}};
    if (model_.Tree().usesSetsTable && data_.sets.RowCount() > 0)
        tables.emplace_back(&data_.sets, "Sets2.txt");
    std::string saved;
    for (const auto& [table, name] : tables) {
        const std::optional<std::string> path = AskFile(true, name);
        if (!path)
            continue;
        std::string error;
        if (!table->Save(*path, &error)) {
            GuideMsg("Failed.\nCannot write " + *path + ": " + error, kCaptionGuide);
            continue;
        }
        data_.history.MarkClean(table);
        saved += (saved.empty() ? "" : ", ") + DocumentName(data_, table) + " saved as " + *path;
    }
    UpdateCaption();
    if (!saved.empty())
        SetStatus(saved);
}

void CSetMasterDlg::OnOK() {
    if (!bridge_) {
        GuideMsg("Cannot detect d2 installation", kCaptionGuide);
        return;
    }
    if (data_.setItems.RowCount() == 0)
        return;
    const bool both = model_.Tree().usesSetsTable && data_.sets.RowCount() > 0;
    const LintInput checked{nullptr, &data_.setItems, &data_.sets, &data_.game, &data_.strings};
    SpawnOnRequest request;
    request.tables.push_back({&data_.setItems, kSetItemsFile, data_.setItemsServedBy});
    if (both)
        request.tables.push_back({&data_.sets, kSetsFile, data_.setsServedBy});
    request.strings = &data_.strings;
    request.language = data_.language;
    request.question = both ? kApplyBothQuestion : kApplyQuestion;
    const SpawnOnPlan plan = PlanSpawnOn(*bridge_, request, checked);
    if (!ConfirmDespiteProblems(plan.problems, this))
        return;
    const SpawnOnResult result = RunSpawnOn(*bridge_, request, data_.backup);
    KeepWrittenInMessages(plan.preview, result);
    if (result.tablesWritten) {
        data_.history.MarkClean(&data_.setItems);
        data_.setItemsServedBy.clear();
        if (both) {
            data_.history.MarkClean(&data_.sets);
            data_.setsServedBy.clear();
        }
    }
    if (result.stringsWritten)
        data_.history.MarkClean(&data_.strings.Patch());
    UpdateCaption();
    if (!result.status.empty())
        SetStatus(result.status);
}

} // namespace tolmere
