// SPDX-License-Identifier: MIT
// A sheet as a sorted view shows it: view row r is the sheet's row order[r]; rows past
// the order (added since it was made) keep their own place. The table keeps its order;
// only what the operations see is rearranged, and their changes are brought back to
// the sheet's rows before they are written.
#pragma once

#include "grid/CellSheet.h"

#include <vector>

namespace tolmere {

class CViewSheet : public CCellSheet {
public:
    // `filtered`: the order holds only the rows a filter lets through.
    CViewSheet(const CCellSheet& cells, const std::vector<int>& order, const bool& filtered)
        : cells_(cells), order_(order), filtered_(filtered) {}
    int SheetRows() const override {
        return filtered_ ? static_cast<int>(order_.size()) : cells_.SheetRows();
    }
    int SheetColumns() const override { return cells_.SheetColumns(); }
    std::string_view SheetText(int row, int column) const override {
        return cells_.SheetText(SheetRow(row), column);
    }
    // Rows past the view's end are the rows past the sheet's, a paste's rows to add.
    int SheetRow(int viewRow) const {
        const int shown = static_cast<int>(order_.size());
        if (order_.empty() && !filtered_)
            return viewRow;
        return viewRow >= 0 && viewRow < shown ? order_[static_cast<std::size_t>(viewRow)]
                                               : cells_.SheetRows() + viewRow - shown;
    }
    // The changes with their rows the sheet's own.
    GridEditResult ToSheetRows(GridEditResult result) const {
        for (GridChange& change : result.changes)
            change.row = SheetRow(change.row);
        return result;
    }

private:
    const CCellSheet& cells_;
    const std::vector<int>& order_;
    const bool& filtered_;
};

} // namespace tolmere
