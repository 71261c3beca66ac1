// SPDX-License-Identifier: MIT
// A loaded table's data rows as a sheet, for tolmere-cli's spreadsheet commands.
#pragma once

#include "grid/CellSheet.h"
#include "tables/TxtTable.h"

namespace tolmere {

class CTableSheet : public CCellSheet {
public:
    explicit CTableSheet(const CTxtTable& table) : table_(table) {}
    int SheetRows() const override { return table_.DataRowCount(); }
    int SheetColumns() const override { return table_.ColumnCount(); }
    std::string_view SheetText(int row, int column) const override {
        return table_.Text(row, column);
    }

private:
    const CTxtTable& table_;
};

} // namespace tolmere
