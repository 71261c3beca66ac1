// SPDX-License-Identifier: MIT
// Cells as the spreadsheet operations see them: a rectangle of byte texts, whether the
// grid's model holds them or a table loaded by tolmere-cli. The operations only read;
// they return the changes, and the caller writes them where its cells live.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

class CCellSheet {
public:
    virtual ~CCellSheet() = default;
    virtual int SheetRows() const = 0;
    virtual int SheetColumns() const = 0;
    // Empty outside the sheet.
    virtual std::string_view SheetText(int row, int column) const = 0;
};

// Rows top … bottom and columns left … right, both ends included.
struct GridRange {
    int top = 0, left = 0, bottom = -1, right = -1;
    bool Empty() const { return bottom < top || right < left; }
    int Height() const { return Empty() ? 0 : bottom - top + 1; }
    int Width() const { return Empty() ? 0 : right - left + 1; }
    bool Contains(int row, int column) const {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    bool operator==(const GridRange& o) const {
        return top == o.top && left == o.left && bottom == o.bottom && right == o.right;
    }
    bool operator!=(const GridRange& o) const { return !(*this == o); }
    // The whole sheet.
    static GridRange All(const CCellSheet& sheet) {
        return {0, 0, sheet.SheetRows() - 1, sheet.SheetColumns() - 1};
    }
    // This range cut to the sheet.
    GridRange Within(const CCellSheet& sheet) const {
        return {std::max(top, 0), std::max(left, 0), std::min(bottom, sheet.SheetRows() - 1),
                std::min(right, sheet.SheetColumns() - 1)};
    }
};

struct GridChange {
    int row = 0;
    int column = 0;
    std::string text;
};

// What an operation would do: the cells whose text changes (rows past the sheet's end
// included, when `rowsToAdd` asks for them), and what it counted on the way.
struct GridEditResult {
    std::vector<GridChange> changes;
    int rowsToAdd = 0;
    int occurrences = 0; // replace: the texts replaced, more than one in a cell maybe
    int skipped = 0;     // arithmetic: cells that hold no number, left alone
    std::string error;   // said in words; nothing changes when it is set
    bool Ok() const { return error.empty(); }
};

} // namespace tolmere
