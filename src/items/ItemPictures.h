// Which inventory picture each unique item shows, as the game chooses it.
#pragma once

#include "items/BaseLists.h"
#include "items/UniqueLayout.h"

#include <string>

namespace tolmere {

// The picture name of data row `row`: the row's own `invfile` where the layout has the
// column and the cell is filled, else its base item's `uniqueinvfile`, else the base
// item's `invfile`. Empty when there is none.
std::string UniquePictureName(const CTxtTable& table, const UniqueItemsLayout& layout,
                              std::int32_t row, const CBaseLists& lists);

} // namespace tolmere
