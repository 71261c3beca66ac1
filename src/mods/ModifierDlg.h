// The dialog that adds a modifier to an empty slot of an item row or changes the one a
// slot holds: the modifier chosen from the catalogue, its two values, and Apply.
#pragma once

#include "mods/ModKeys.h"
#include "mods/ModifierEdit.h"
#include "ui/SkinDialog.h"

#include <string>

namespace tolmere {

enum ModifierDlgControl : int {
    kModifierList = 1004,
    kModifierMinBox = 1006, // labelled "Min", it holds the slot's maximum cell
    kModifierMaxBox = 1007, // labelled "Max", it holds the slot's minimum cell
    kModifierDuration = 1008,
    kModifierSame = 3, // "=": the "Min" box's text into the "Max" box
    kModifierApply = 1,
    kModifierCancel = 2,
};

class CModifierDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // Works on `slot` of data row `row`, placed as `layout` says; the table and the
    // catalogue must outlive the dialog.
    CModifierDlg(std::int32_t slot, std::int32_t row, CTxtTable& table, const CModKeys& keys,
                 ModifierSlots layout, QWidget* parent);

    // True when the slot held a modifier as the dialog opened.
    bool Editing() const { return editing_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void FillList();
    void SelectionChanged();
    void CopyMinToMax();
    // Shows cell bytes in a box and remembers them, so that untouched text is written
    // back byte for byte.
    void SetBox(int id, std::string_view bytes);

    std::int32_t slot_;
    std::int32_t row_;
    CTxtTable& table_;
    const CModKeys& keys_;
    ModifierSlots layout_;
    bool editing_ = false;
    std::string minBoxOriginal_;
    std::string maxBoxOriginal_;
};

} // namespace tolmere
