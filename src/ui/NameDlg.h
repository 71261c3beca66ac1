// SPDX-License-Identifier: MIT
// Renaming an item: its name, and for set items the prefix, as string-table entries.
#pragma once

#include "ui/SkinDialog.h"

#include <string>

namespace tolmere {

class CStringTables;

enum NameDlgControl : int {
    kNameDlgName = 1011,
    kNameDlgPrefix = 1012,
    kNameDlgPrefixLabel = 1028,
    kNameDlgSource = 1029,
};

class CNameDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // Edits the texts of `nameKey` and, unless it is empty, `prefixKey`. A box shows
    // the text the game would show; what the user changes is written into
    // patchstring.tbl, where it overrides the game's other tables. Nothing changes
    // until OK; an emptied box removes the patchstring.tbl entry.
    CNameDlg(CStringTables& strings, std::string nameKey, std::string prefixKey,
             QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Fills box `id` with the text of `key`; returns its bytes.
    std::string Fill(const std::string& key, int id);
    // Writes what box `id` holds now under `key`; `original` is what it was filled with.
    void Store(const std::string& key, int id, const std::string& original);

    CStringTables& strings_;
    std::string nameKey_;
    std::string prefixKey_;
    std::string nameOriginal_;
    std::string prefixOriginal_;
};

} // namespace tolmere
