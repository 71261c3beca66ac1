#include "support/TableBuilder.h"

namespace tolmere::testing {

CTxtTable TableOf(int columns, const std::vector<Row>& rows) {
    std::string bytes;
    for (int c = 0; c < columns; ++c)
        bytes += (c ? "\tc" : "c") + std::to_string(c);
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

CModKeys CatalogueOf(const std::vector<Row>& rows) {
    CModKeys keys;
    keys.Assign(TableOf(10, rows));
    return keys;
}

} // namespace tolmere::testing
