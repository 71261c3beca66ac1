// SPDX-License-Identifier: MIT
#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tolmere::testing {

CTxtTable TableOf(int columns, const std::vector<Row>& rows) {
    Row header;
    for (int c = 0; c < columns; ++c)
        header.push_back("c" + std::to_string(c));
    return NamedTable(header, rows);
}

CTxtTable NamedTable(const Row& header, const std::vector<Row>& rows) {
    const int columns = static_cast<int>(header.size());
    std::string bytes;
    for (int c = 0; c < columns; ++c)
        bytes += (c ? "\t" : "") + header[static_cast<std::size_t>(c)];
    bytes += "\r\n";
    for (const Row& row : rows) {
        for (int c = 0; c < columns; ++c) {
            if (c)
                bytes += '\t';
            if (c < static_cast<int>(row.size()))
                bytes += row[static_cast<std::size_t>(c)];
        }
        bytes += "\r\n";
    }
    CTxtTable table;
    table.Parse(bytes.data(), bytes.size());
    return table;
}

CTxtTable Parsed(const std::string& bytes) {
    CTxtTable table;
    table.Parse(bytes);
    return table;
}

Row ClassicUniqueHeader() {
    Row header{"index",   "version", "enabled",   "code",   "lvl",
               "lvl req", "rarity",  "cost mult", "nummods"};
    for (int n = 1; n <= 10; ++n) {
        for (const char* field : {"prop", "par", "min", "max"})
            header.push_back(field + std::to_string(n));
    }
    return header;
}

std::string RealTablesDir(std::string& skip) {
    const std::string dir = TOLMERE_SOURCE_DIR "/../shared/real";
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        skip = dir + " not found: real game tables not tested";
        return std::string();
    }
    return dir;
}

void ExpectOnlyChanged(const CTxtTable& before, const CTxtTable& table,
                       const std::function<bool(std::int32_t, std::int32_t)>& mayChange) {
    ASSERT_EQ(table.DataRowCount(), before.DataRowCount());
    ASSERT_EQ(table.ColumnCount(), before.ColumnCount());
    for (std::int32_t r = 0; r < table.DataRowCount(); ++r) {
        for (std::int32_t c = 0; c < table.ColumnCount(); ++c) {
            if (!mayChange(r, c)) {
                EXPECT_EQ(table.Text(r, c), before.Text(r, c)) << "row " << r << ", column " << c;
            }
        }
    }
}

CModKeys CatalogueOf(const std::vector<Row>& rows) {
    CModKeys keys;
    keys.Assign(TableOf(10, rows));
    return keys;
}

} // namespace tolmere::testing
