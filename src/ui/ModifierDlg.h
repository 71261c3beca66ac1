// SPDX-License-Identifier: MIT
// The dialog that adds a modifier to an empty slot of an item row or changes the one a
// slot holds: the property (chosen from the list, found by typing part of its text or
// code, or typed as a code of its own), its parameter, its minimum and maximum, and
// Apply.
#pragma once

#include "mods/ModifierChoices.h"
#include "mods/ModifierEdit.h"
#include "tables/EditHistory.h"
#include "ui/SkinDialog.h"

#include <functional>
#include <optional>

#include <string>
#include <vector>

namespace tolmere {

enum ModifierDlgControl : int {
    kModifierList = 1004,
    kModifierMinBox = 1006, // the slot's minimum cell
    kModifierMaxBox = 1007, // the slot's maximum cell
    kModifierParam = 1008,  // the parameter cell: a skill chooser or a number
    kModifierParamLabel = 1011,
    kModifierMinLabel = 1012,
    kModifierMaxLabel = 1013,
    kModifierSame = 3, // "=": the Min box's text into the Max box
    kModifierApply = 1,
    kModifierCancel = 2,
};

class CModifierDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // Works on `slot` of data row `row`, placed as `layout` says; the table and the
    // choices must outlive the dialog.
    CModifierDlg(std::int32_t slot, std::int32_t row, CTxtTable& table,
                 const CModifierChoices& choices, ModifierSlots layout, QWidget* parent);

    // True when the slot held a modifier as the dialog opened.
    bool Editing() const { return editing_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void FillList();
    // Labels and enables the boxes for the chosen entry; `fresh` also puts its defaults in.
    void ShowChoice(bool fresh);
    void CopyMinToMax();
    // The entry the property box stands for, or nothing (the user was told why).
    std::optional<ModifierChoice> ChosenEntry() const;
    // The values to write into `target`: each box as typed, or the cell's own bytes
    // where the box is untouched or its value is not one the property reads.
    ModifierValues ValuesFor(const ModifierChoice& choice, std::int32_t target) const;
    // Shows cell bytes in a box and remembers them, so that untouched text is written
    // back byte for byte.
    void SetBox(int id, std::string_view bytes, std::string_view shown = {});

    std::int32_t slot_;
    std::int32_t row_;
    CTxtTable& table_;
    const CModifierChoices& choices_;
    ModifierSlots layout_;
    bool editing_ = false;
    std::vector<ModifierChoice> entries_; // the list's entries, by the index each item holds
    std::string minOriginal_, maxOriginal_, paramOriginal_;
    QString paramShown_; // the parameter box's text while it stands for paramOriginal_
};

// How both windows delete a modifier: asks "Delete modifier 'WORDING' (CODE)?", naming
// it as the list shows it (or by its code alone without a wording), then runs `remove`
// on row `row` of `table`. Returns the step that undoes what `remove` changed, or nothing
// when the user said no or `remove` returned false (having said why itself).
std::optional<EditStep> AskAndDeleteModifier(CTxtTable& table, std::int32_t row,
                                             const std::string& code, const QString& wording,
                                             const std::function<bool()>& remove);

} // namespace tolmere
