// SPDX-License-Identifier: MIT
// A spreadsheet's edits on a selection: paste a block, fill down, arithmetic; and the
// order a view sorted by one column shows the rows in. Each says what it would change;
// the caller writes it (into the grid, one undo step, or into a table).
#pragma once

#include "grid/CellSheet.h"
#include "grid/GridModel.h"
#include "grid/Tsv.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

// The block at `at`; or, when `target` is larger than the block and a whole number of
// blocks high and wide, the block repeated over it. A block running past the last
// column is refused; rows past the last are asked for in `rowsToAdd`.
GridEditResult PasteBlock(const CCellSheet& sheet, GridCell at, const CellBlock& block,
                          GridRange target = {});

// Each column's first cell of the range into the cells below it; a range one row high
// takes the row above it instead.
GridEditResult FillDown(const CCellSheet& sheet, GridRange range);

enum class CalcKind { kAdd, kMultiply, kSet };
struct CalcOperation {
    CalcKind kind = CalcKind::kAdd;
    double operand = 0;
};
// "+10", "-2.5", "*1.5", "/2", "=0"; nothing, with the reason in `error`, otherwise.
std::optional<CalcOperation> ParseCalc(std::string_view text, std::string& error);
// A cell's number: an optional sign, digits, an optional point and digits; nothing else.
std::optional<double> SheetNumber(std::string_view text);
// The operation on every number of the range. A whole number stays whole, rounded half
// away from zero; any other keeps up to six decimals. Add and multiply leave cells that
// hold no number alone and count them in `skipped`; set writes every cell.
GridEditResult Calculate(const CCellSheet& sheet, GridRange range, const CalcOperation& op);

// The rows in the order a view sorted by `column` shows them: numbers by value before
// texts (compared without regard to case), empty cells last either way; rows that
// compare equal keep their own order.
std::vector<int> SortedRows(const CCellSheet& sheet, int column, bool descending);

// What the status line says of a selection: its size and, over the cells holding
// numbers, their count, sum, least and greatest.
struct SheetSummary {
    int rows = 0, columns = 0, numbers = 0;
    double sum = 0, least = 0, greatest = 0;
};
SheetSummary Summarise(const CCellSheet& sheet, GridRange range);
// A number as a cell would hold it: no point when whole, else up to six decimals.
std::string FormatNumberText(double value);

// The rows `text` names: "all", "N" or "N-M" (data row numbers, both ends included).
std::optional<std::pair<int, int>> ParseRowSpan(std::string_view text, int rows,
                                                std::string& error);

} // namespace tolmere
