#include "items/ItemPictures.h"

#include "images/Dc6.h"

namespace tolmere {

std::string UniquePictureName(const CTxtTable& table, const UniqueItemsLayout& layout,
                              std::int32_t row, const CBaseLists& lists) {
    const std::string own(layout.pictureColumn >= 0 ? table.Text(row, layout.pictureColumn)
                                                    : std::string_view());
    const std::string code(layout.codeColumn >= 0 ? table.Text(row, layout.codeColumn)
                                                  : std::string_view());
    return ItemPictureName(lists, code, own, ItemQuality::kUnique);
}

} // namespace tolmere
