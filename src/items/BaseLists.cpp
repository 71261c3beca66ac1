// SPDX-License-Identifier: MIT
#include "items/BaseLists.h"

#include "tables/ColumnFinder.h"

#include <algorithm>

namespace tolmere {

BaseListLayout RecogniseBaseList(const CTxtTable& list) {
    const CColumnFinder finder(list);
    BaseListLayout layout;
    layout.codeColumn = finder.Find("code");
    layout.nameColumn = finder.Find("name");
    if (layout.nameColumn < 0)
        layout.nameColumn = finder.Find("namestr");
    layout.fallbackPictureColumn = finder.Find("invfile");
    layout.pictureColumn = finder.Find("uniqueinvfile");
    layout.setPictureColumn = finder.Find("setinvfile");
    return layout;
}

bool CBaseLists::Load(std::size_t i, const std::string& path) {
    CTxtTable list;
    if (!list.Load(path))
        return false;
    Assign(i, std::move(list));
    return true;
}

void CBaseLists::Assign(std::size_t i, CTxtTable list) {
    lists_[i] = std::move(list);
    layouts_[i] = RecogniseBaseList(lists_[i]);
}

bool CBaseLists::Loaded() const {
    return std::all_of(lists_.begin(), lists_.end(), [](const CTxtTable& list) {
        return list.ColumnCount() > 0 && list.RowCount() > 0;
    });
}

void CBaseLists::FindBaseItem(const std::string& code, BaseItem& item) const {
    for (std::size_t i = 0; i < kListCount; ++i) {
        const CTxtTable& list = lists_[i];
        const BaseListLayout& layout = layouts_[i];
        if (layout.codeColumn < 0)
            continue;
        const auto assign = [&list](std::int32_t row, std::int32_t column, std::string& out) {
            if (column >= 0)
                out = list.Text(row, column);
        };
        for (std::int32_t row = 0; row < list.DataRowCount(); ++row) {
            if (list.Text(row, layout.codeColumn) != code)
                continue;
            assign(row, layout.nameColumn, item.name);
            assign(row, layout.pictureColumn, item.picture);
            assign(row, layout.fallbackPictureColumn, item.fallbackPicture);
            assign(row, layout.setPictureColumn, item.setPicture);
        }
    }
}

} // namespace tolmere
