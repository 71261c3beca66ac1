// SPDX-License-Identifier: MIT
#include "ui/ChangePalDlg.h"

#include "ui/ScreenText.h"

#include <QComboBox>

#include <algorithm>
#include <strings.h>

namespace tolmere {

const DialogTemplate CChangePalDlg::kTemplate{
    108,
    "Change Pal",
    156,
    61,
    {
        {kDialogOk, ControlKind::kDrawnButton, "OK", 23, 30, 50, 14},
        {kDialogCancel, ControlKind::kDrawnButton, "Cancel", 77, 30, 50, 14},
        {kPalColours, ControlKind::kDropDownList, "", 33, 7, 107, 12, kStyleSorted},
        {kNoControlId, ControlKind::kStatic, "Pal", 12, 9, 18, 8},
    }};

CChangePalDlg::CChangePalDlg(const CTxtTable& colours, CTxtTable& target, std::int32_t row,
                             std::int32_t column, QWidget* parent)
    : CSkinDialog(kTemplate, parent), colours_(colours), target_(target), row_(row),
      column_(column) {}

QComboBox* CChangePalDlg::Colours() const {
    return ControlAs<QComboBox>(kPalColours);
}

void CChangePalDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    const std::string code(target_.Text(row_, column_));
    std::string remembered;
    struct Entry {
        std::string name;
        std::int32_t row;
    };
    std::vector<Entry> entries;
    for (std::int32_t r = 0; r < colours_.DataRowCount(); ++r) {
        entries.push_back({std::string(colours_.Text(r, 1)), r});
        // A later row with the same code wins, as the table is read top to bottom.
        if (colours_.Text(r, 0) == code)
            remembered = entries.back().name;
    }
    // The list is sorted by name, letters in any case together, as a sorted list box
    // keeps it.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return strcasecmp(a.name.c_str(), b.name.c_str()) < 0;
    });
    QComboBox* list = Colours();
    for (const Entry& entry : entries)
        list->addItem(ScreenText(entry.name, TextSource::kTableCell), entry.row);
    // The search for the remembered name starts after the first entry and wraps, so
    // a colour the table lacks leaves the second entry chosen.
    const int count = list->count();
    for (int step = 1; step <= count; ++step) {
        const int at = step % count;
        const std::string& name = entries[static_cast<std::size_t>(at)].name;
        if (strncasecmp(name.c_str(), remembered.c_str(), remembered.size()) == 0) {
            list->setCurrentIndex(at);
            break;
        }
    }
}

void CChangePalDlg::OnOK() {
    const int chosen = Colours()->currentIndex();
    if (chosen < 0)
        return;
    const std::int32_t row = Colours()->itemData(chosen).toInt();
    target_.SetCell(row_, column_, std::string(colours_.Text(row, 0)));
    done(kDialogOk);
}

} // namespace tolmere
