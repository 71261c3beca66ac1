// SPDX-License-Identifier: MIT
// Which inventory picture an item shows, as the game chooses it.
#pragma once

#include "items/BaseLists.h"
#include "items/UniqueLayout.h"

#include <string>

namespace tolmere {

// Whether a picture name from a table cell may be joined to a directory and put on a
// script line: not empty, no '/', '\\', "..", nor control characters.
bool IsSafePictureName(const std::string& name);

// Which picture an item shows, as the game chooses it.
enum class ItemQuality { kUnique, kSet };

// The name of an item's inventory picture, without directory or extension: the row's
// own picture (`own`, the `invfile` cell) when it has one, else the base item's
// picture for its quality (`uniqueinvfile` or `setinvfile`), else the base item's
// `invfile`. Empty when there is none, or when the name is not safe.
std::string ItemPictureName(const CBaseLists& lists, const std::string& code,
                            const std::string& own = std::string(),
                            ItemQuality quality = ItemQuality::kUnique);

// The picture name of data row `row`: the row's own `invfile` where the layout has the
// column and the cell is filled, else its base item's `uniqueinvfile`, else the base
// item's `invfile`. Empty when there is none.
std::string UniquePictureName(const CTxtTable& table, const UniqueItemsLayout& layout,
                              std::int32_t row, const CBaseLists& lists);

} // namespace tolmere
