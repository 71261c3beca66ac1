// SPDX-License-Identifier: MIT
#include "ui/NameDlg.h"

#include "tables/StringTables.h"
#include "ui/ScreenText.h"

#include <QLabel>
#include <QLineEdit>

namespace tolmere {

const DialogTemplate CNameDlg::kTemplate{
    106,
    "Change Name",
    216,
    82,
    {
        {kNameDlgName, ControlKind::kEdit, "", 31, 7, 169, 13},
        {kNoControlId, ControlKind::kStatic, "Name", 8, 9, 22, 8},
        {kNameDlgPrefix, ControlKind::kEdit, "", 31, 23, 169, 13},
        {kNameDlgPrefixLabel, ControlKind::kStatic, "Prefix", 7, 25, 21, 8},
        {kNameDlgSource, ControlKind::kStatic, "", 8, 39, 200, 18},
        {kDialogOk, ControlKind::kDrawnButton, "OK", 54, 59, 50, 14},
        {kDialogCancel, ControlKind::kDrawnButton, "Cancel", 107, 59, 50, 14},
    }};

CNameDlg::CNameDlg(CStringTables& strings, std::string nameKey, std::string prefixKey,
                   QWidget* parent)
    : CSkinDialog(kTemplate, parent), strings_(strings), nameKey_(std::move(nameKey)),
      prefixKey_(std::move(prefixKey)) {}

void CNameDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    nameOriginal_ = Fill(nameKey_, kNameDlgName);
    if (prefixKey_.empty()) {
        Control(kNameDlgPrefix)->setVisible(false);
        Control(kNameDlgPrefixLabel)->setVisible(false);
    } else {
        prefixOriginal_ = Fill(prefixKey_, kNameDlgPrefix);
    }
    // Which entry the name is, and where it comes from and goes, said before any typing.
    QString source =
        QStringLiteral("Key \u201c%1\u201d").arg(ScreenText(nameKey_, TextSource::kTableCell));
    const CStringTables::Found found = strings_.Lookup(nameKey_);
    source += !found.entry ? QStringLiteral(": in no string table yet")
                           : QStringLiteral(", from %1")
                                 .arg(QString::fromLatin1(CStringTables::FileName(found.source)));
    source += QStringLiteral("; a change is written into patchstring.tbl");
    auto* label = ControlAs<QLabel>(kNameDlgSource);
    label->setWordWrap(true);
    label->setText(source);
    auto* name = ControlAs<QLineEdit>(kNameDlgName);
    name->setFocus();
    name->selectAll();
}

std::string CNameDlg::Fill(const std::string& key, int id) {
    // The original bytes are kept so that a text the user leaves alone goes back
    // exactly as it came, even where it is not valid UTF-8.
    const CStringTables::Found found = strings_.Lookup(key);
    const std::string original = found.entry ? found.entry->text : std::string();
    auto* box = ControlAs<QLineEdit>(id);
    box->setText(ScreenText(original, TextSource::kStringTable));
    if (found.entry && found.source != StringSource::kPatch)
        box->setToolTip(QStringLiteral("The game's name, from %1; a change is written into "
                                       "patchstring.tbl")
                            .arg(QString::fromLatin1(CStringTables::FileName(found.source))));
    return original;
}

void CNameDlg::Store(const std::string& key, int id, const std::string& original) {
    CStrTbl& patch = strings_.Patch();
    const QString shown = ControlAs<QLineEdit>(id)->text();
    if (shown.isEmpty()) {
        patch.Remove(patch.Find(key));
        return;
    }
    const std::string text = StoredText(shown, original, TextSource::kStringTable);
    // A name of the game's other tables left as it was needs no entry of our own.
    if (!patch.Find(key) && text == original)
        return;
    patch.Set(key, text);
}

void CNameDlg::OnOK() {
    Store(nameKey_, kNameDlgName, nameOriginal_);
    if (!prefixKey_.empty())
        Store(prefixKey_, kNameDlgPrefix, prefixOriginal_);
    CSkinDialog::OnOK();
}

} // namespace tolmere
