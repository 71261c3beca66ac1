// SPDX-License-Identifier: MIT
// Blocks of cells as spreadsheets put them on the clipboard: a tab between cells, a
// line end after every row, and a cell holding a tab, a line break or a quote written
// inside quotes with its quotes doubled.
#pragma once

#include "grid/CellSheet.h"

#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

using CellBlock = std::vector<std::vector<std::string>>;

// The range's cells; every row ends in LF.
std::string EncodeTsv(const CCellSheet& sheet, const GridRange& range);
std::string EncodeTsv(const CellBlock& block);
// Rows end in LF or CR LF; the line end after the last row is optional. No text, no
// rows. A quote that opens a cell and never closes takes the rest of the text, as
// spreadsheets read it.
CellBlock DecodeTsv(std::string_view text);

} // namespace tolmere
