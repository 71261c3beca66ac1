// SPDX-License-Identifier: MIT
#include "items/ItemPictures.h"

namespace tolmere {

bool IsSafePictureName(const std::string& name) {
    if (name.empty() || name.find("..") != std::string::npos)
        return false;
    for (unsigned char ch : name) {
        if (ch < 32 || ch == '/' || ch == '\\')
            return false;
    }
    return true;
}

std::string ItemPictureName(const CBaseLists& lists, const std::string& code,
                            const std::string& own, ItemQuality quality) {
    std::string name = own;
    if (name.empty() && (code == "rin" || code == "amu")) {
        // Rings and amulets come in several looks; the first stands for them all.
        name = "inv" + code + "1";
    } else if (name.empty()) {
        BaseItem item;
        lists.FindBaseItem(code, item);
        const std::string& special =
            quality == ItemQuality::kUnique ? item.picture : item.setPicture;
        name = special.empty() ? item.fallbackPicture : special;
    }
    // The name is joined to a directory; a table cell must not steer it elsewhere.
    return IsSafePictureName(name) ? name : std::string();
}

std::string UniquePictureName(const CTxtTable& table, const UniqueItemsLayout& layout,
                              std::int32_t row, const CBaseLists& lists) {
    const std::string own(layout.pictureColumn >= 0 ? table.Text(row, layout.pictureColumn)
                                                    : std::string_view());
    const std::string code(layout.codeColumn >= 0 ? table.Text(row, layout.codeColumn)
                                                  : std::string_view());
    return ItemPictureName(lists, code, own, ItemQuality::kUnique);
}

} // namespace tolmere
