// SPDX-License-Identifier: MIT
// Tables for tests, built from rows of cells.
#pragma once

#include "mods/ModKeys.h"
#include "tables/TxtTable.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tolmere::testing {

using Row = std::vector<std::string>;

// A table whose header has `columns` columns named c0, c1, …; each row is padded with
// empty cells to that width.
CTxtTable TableOf(int columns, const std::vector<Row>& rows);
// A table parsed from these bytes.
CTxtTable Parsed(const std::string& bytes);
// A table whose header holds these names; rows are padded to its width.
CTxtTable NamedTable(const Row& header, const std::vector<Row>& rows);
// The classic unique items header: index … nummods, ten slots prop1 … max10.
Row ClassicUniqueHeader();
// Where the real game tables for tests live, or "" (with the reason in `skip`) when
// that folder is absent.
std::string RealTablesDir(std::string& skip);
// Declares `dir`, the real tables' folder, or skips the test when that folder is absent.
#define REAL_TABLES_OR_SKIP(dir)                                                                   \
    std::string dir##Skip;                                                                         \
    const std::string dir = ::tolmere::testing::RealTablesDir(dir##Skip);                          \
    if (dir.empty())                                                                               \
    GTEST_SKIP() << dir##Skip

// Expects every cell of `table` to be as in `before`, but those `mayChange(row, column)`
// allows; the tables have the same shape.
void ExpectOnlyChanged(const CTxtTable& before, const CTxtTable& table,
                       const std::function<bool(std::int32_t, std::int32_t)>& mayChange);

// A catalogue of rows: code, pattern, kind, default, -, offset, divisor, -, note, credit.
CModKeys CatalogueOf(const std::vector<Row>& rows);

} // namespace tolmere::testing
