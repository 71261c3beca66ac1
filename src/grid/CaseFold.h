// SPDX-License-Identifier: MIT
// Case folding for finding text in cells: ASCII letters and the Latin-1 capitals. UTF-8
// cells fold a few lead bytes too, harmlessly, since needle and cell fold alike.
#pragma once

#include <string>
#include <string_view>

namespace tolmere {

std::string FoldCase(std::string_view text);
// Where `foldedNeedle` first occurs in `cell` at or after `from`, case folded; npos for
// nowhere.
std::size_t FindFolded(std::string_view cell, std::string_view foldedNeedle, std::size_t from);

} // namespace tolmere
