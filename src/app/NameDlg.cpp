#include "app/NameDlg.h"

#include "tables/StrTbl.h"
#include "ui/ScreenText.h"

#include <QLineEdit>

namespace tolmere {

const DialogTemplate CNameDlg::kTemplate{
    106,
    "Change Name",
    216,
    66,
    {
        {kNameDlgName, ControlKind::kEdit, "", 31, 7, 169, 13},
        {kNoControlId, ControlKind::kStatic, "Name", 8, 9, 20, 8},
        {kNameDlgPrefix, ControlKind::kEdit, "", 31, 23, 169, 13},
        {kNameDlgPrefixLabel, ControlKind::kStatic, "Prefix", 7, 25, 18, 8},
        {kDialogOk, ControlKind::kDrawnButton, "OK", 54, 39, 50, 14},
        {kDialogCancel, ControlKind::kDrawnButton, "Cancel", 107, 39, 50, 14},
    }};

CNameDlg::CNameDlg(CStrTbl& strings, std::string nameKey, std::string prefixKey, QWidget* parent)
    : CSkinDialog(kTemplate, parent), strings_(strings), nameKey_(std::move(nameKey)),
      prefixKey_(std::move(prefixKey)) {}

void CNameDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    // The original bytes are kept so that a text the user leaves alone goes back
    // exactly as it came, even where it is not valid UTF-8.
    const auto fill = [this](const std::string& key, int id, std::string& original) {
        const StrEntry* entry = strings_.Find(key);
        original = entry ? entry->text : std::string();
        ControlAs<QLineEdit>(id)->setText(ScreenText(original, TextSource::kStringTable));
    };
    fill(nameKey_, kNameDlgName, nameOriginal_);
    if (prefixKey_.empty()) {
        Control(kNameDlgPrefix)->setVisible(false);
        Control(kNameDlgPrefixLabel)->setVisible(false);
    } else {
        fill(prefixKey_, kNameDlgPrefix, prefixOriginal_);
    }
    Control(kNameDlgName)->setFocus();
}

void CNameDlg::Store(const std::string& key, int id, const std::string& original) {
    const QString shown = ControlAs<QLineEdit>(id)->text();
    if (shown.isEmpty()) {
        strings_.Remove(strings_.Find(key));
        return;
    }
    strings_.Set(key, StoredText(shown, original, TextSource::kStringTable));
}

void CNameDlg::OnOK() {
    Store(nameKey_, kNameDlgName, nameOriginal_);
    if (!prefixKey_.empty())
        Store(prefixKey_, kNameDlgPrefix, prefixOriginal_);
    CSkinDialog::OnOK();
}

} // namespace tolmere
