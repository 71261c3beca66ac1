#include "app/BaseLists.h"

#include <algorithm>

namespace tolmere {

bool CBaseLists::Loaded() const {
    return std::all_of(lists_.begin(), lists_.end(), [](const CTxtTable& list) {
        return list.ColumnCount() > 0 && list.RowCount() > 0;
    });
}

void CBaseLists::FindBaseItem(const std::string& code, BaseItem& item) const {
    for (std::size_t i = 0; i < kListCount; ++i) {
        const CTxtTable& list = lists_[i];
        const BaseListLayout& layout = Layout(i);
        const std::int32_t needed = std::max({layout.codeColumn, layout.nameColumn,
                                              layout.fallbackPictureColumn, layout.pictureColumn}) +
                                    1;
        if (list.ColumnCount() < needed)
            continue;
        for (std::int32_t row = 0; row < list.DataRowCount(); ++row) {
            if (list.Text(row, layout.codeColumn) != code)
                continue;
            item.name = list.Text(row, layout.nameColumn);
            item.picture = list.Text(row, layout.pictureColumn);
            item.fallbackPicture = list.Text(row, layout.fallbackPictureColumn);
        }
    }
}

} // namespace tolmere
