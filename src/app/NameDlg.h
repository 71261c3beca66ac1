// Renaming an item: its name, and for set items the prefix, as string-table entries.
#pragma once

#include "ui/SkinDialog.h"

#include <string>

namespace tolmere {

class CStrTbl;

enum NameDlgControl : int {
    kNameDlgName = 1011,
    kNameDlgPrefix = 1012,
    kNameDlgPrefixLabel = 1028,
};

class CNameDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // Edits the texts of `nameKey` and, unless it is empty, `prefixKey` in `strings`.
    // Nothing changes until OK; an emptied box removes its entry.
    CNameDlg(CStrTbl& strings, std::string nameKey, std::string prefixKey,
             QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Writes what box `id` holds now under `key`; `original` is what it was filled with.
    void Store(const std::string& key, int id, const std::string& original);

    CStrTbl& strings_;
    std::string nameKey_;
    std::string prefixKey_;
    std::string nameOriginal_;
    std::string prefixOriginal_;
};

} // namespace tolmere
