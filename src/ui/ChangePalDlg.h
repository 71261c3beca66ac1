// SPDX-License-Identifier: MIT
// Choosing a set's colour by its name from the colour table; writes the colour's code
// into one cell and nothing else.
#pragma once

#include "tables/TxtTable.h"
#include "ui/SkinDialog.h"

class QComboBox;

namespace tolmere {

enum ChangePalControl : int { kPalColours = 1029 };

class CChangePalDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // `colours` is the colour table (code in column 0, name in column 1); the cell of
    // `target` at (`row`, `column`) holds the code and takes the chosen one on OK.
    CChangePalDlg(const CTxtTable& colours, CTxtTable& target, std::int32_t row,
                  std::int32_t column, QWidget* parent = nullptr);

    QComboBox* Colours() const;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    const CTxtTable& colours_;
    CTxtTable& target_;
    std::int32_t row_;
    std::int32_t column_;
};

} // namespace tolmere
