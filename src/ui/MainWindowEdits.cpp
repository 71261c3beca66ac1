// SPDX-License-Identifier: MIT
// The main window's edits: modifiers and names, their undo and redo, and the question
// asked before unsaved changes are thrown away.
#include "ui/MainWindow.h"

#include "base/Guide.h"
#include "mods/ModifierEdit.h"
#include "ui/ModListCtrl.h"
#include "ui/ModifierDlg.h"
#include "ui/NameDlg.h"

#include <QComboBox>

namespace tolmere {
namespace {

const char kCaption[] = "Tolmere edit";

} // namespace

std::string DocumentName(const ProgramData& data, const void* document) {
    if (document == &data.uniqueItems)
        return "UniqueItems.txt";
    if (document == &data.setItems)
        return "SetItems.txt";
    if (document == &data.sets)
        return "Sets.txt";
    return "patchstring.tbl (" + data.language + ")";
}

bool CMainWindow::CanEdit() const {
    if (data_.uniqueLayout.Editable())
        return true;
    GuideMsg(data_.uniqueLayout.problem + "\nThe table is read-only.", kCaptionGuide);
    return false;
}

void CMainWindow::Record(EditStep step) {
    data_.history.Push(std::move(step));
    UpdateCaption();
}

void CMainWindow::UpdateCaption() {
    const bool modified = data_.history.Modified(&data_.uniqueItems) ||
                          data_.history.Modified(&data_.strings.Patch());
    setWindowTitle(QString::fromLatin1(kCaption) + (modified ? QStringLiteral(" *") : QString()));
    RefreshProblems();
}

bool CMainWindow::AskDiscard(const std::vector<const void*>& documents) {
    return AskDiscardChanges(data_, documents);
}

bool NamesWritable(const ProgramData& data) {
    if (data.strings.PatchWritable())
        return true;
    GuideMsg(DocumentName(data, &data.strings.Patch()) +
                 " did not load, so names cannot be changed:\n" + data.strings.PatchProblem(),
             kCaptionGuide);
    return false;
}

bool AskDiscardChanges(const ProgramData& data, const std::vector<const void*>& documents) {
    std::vector<std::string> names;
    for (const void* document : documents) {
        if (data.history.Modified(document))
            names.push_back(DocumentName(data, document));
    }
    if (names.empty())
        return true;
    std::string list = names.front();
    for (std::size_t i = 1; i < names.size(); ++i)
        list += (i + 1 == names.size() ? " and " : ", ") + names[i];
    return GuideConfirm("Discard the unsaved changes to " + list + "?");
}

void CMainWindow::OnUndo() {
    if (const EditStep* step = data_.history.Undo())
        ShowStep(*step, "Undone: ");
}

void CMainWindow::OnRedo() {
    if (const EditStep* step = data_.history.Redo())
        ShowStep(*step, "Redone: ");
}

void CMainWindow::ShowStep(const EditStep& step, const char* how) {
    // The item the step changed, or the one selected when it changed names only.
    std::int32_t row = SelectedRow();
    for (const CellChange& cell : step.cells) {
        if (cell.table != &data_.uniqueItems)
            continue;
        if (cell.row < 0)
            TakeUniqueLayout(); // a column name came back or went again
        else
            row = cell.row;
    }
    FillItemList(row);
    FillModifierList();
    UpdateCaption();
    SetStatus(QString::fromStdString(how + step.name));
}

void CMainWindow::OnAdd() {
    const std::int32_t row = SelectedRow();
    if (row < 0 || !CanEdit())
        return;
    const std::int32_t slot = Model().SlotForNewModifier(row);
    if (slot < 0) {
        GuideMsg(kCannotAddModifiers, kCaptionGuide);
        return;
    }
    RunModifierDialog(row, slot);
}

void CMainWindow::OnEdit() {
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    if (row < 0 || slot < 0 || !CanEdit())
        return;
    RunModifierDialog(row, slot);
}

void CMainWindow::RunModifierDialog(std::int32_t row, std::int32_t slot) {
    const CRowRecorder recorder(data_.uniqueItems, row);
    const CModifierChoices choices = CModifierChoices::For(
        data_.uniqueLayout.modifiers, data_.modKeys, data_.game, data_.strings);
    CModifierDlg dialog(slot, row, data_.uniqueItems, choices, data_.uniqueLayout.modifiers, this);
    if (dialog.RunModal() != kDialogOk)
        return;
    EditStep step;
    step.name = dialog.Editing() ? "Edit modifier" : "Add modifier";
    recorder.Finish(step);
    Record(std::move(step));
    FillModifierList();
}

void CMainWindow::OnDelete() {
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    const ModifierSlots& mods = data_.uniqueLayout.modifiers;
    if (row < 0 || !mods.HasSlot(slot) || !CanEdit())
        return;
    const std::string code(data_.uniqueItems.Text(row, mods.CodeColumn(slot)));
    std::optional<EditStep> step =
        AskAndDeleteModifier(data_.uniqueItems, row, code, ModList()->CurrentText(), [&] {
            if (Model().DeleteModifier(row, slot) != DeleteResult::kProtected)
                return true;
            GuideMsg(kProtectedItemMessage, kCaptionGuide);
            return false;
        });
    if (!step)
        return;
    Record(std::move(*step));
    FillModifierList();
}

void CMainWindow::OnName() {
    const std::int32_t row = SelectedRow();
    if (row < 0)
        return;
    if (!NamesWritable(data_))
        return;
    const std::string key = Model().Key(row);
    const CEntryRecorder recorder(data_.strings.Patch(), {key});
    CNameDlg dialog(data_.strings, key, std::string(), this);
    if (dialog.RunModal() != kDialogOk)
        return;
    EditStep step;
    step.name = "Rename " + key;
    recorder.Finish(step);
    Record(std::move(step));
    FillItemList(row);
}

} // namespace tolmere
