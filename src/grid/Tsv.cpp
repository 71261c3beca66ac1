// SPDX-License-Identifier: MIT
#include "grid/Tsv.h"

namespace tolmere {
namespace {

void AppendCell(std::string& out, std::string_view cell) {
    if (cell.find_first_of("\t\r\n\"") == std::string_view::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string EncodeTsv(const CCellSheet& sheet, const GridRange& range) {
    std::string out;
    for (int r = range.top; r <= range.bottom; ++r) {
        for (int c = range.left; c <= range.right; ++c) {
            if (c > range.left)
                out += '\t';
            AppendCell(out, sheet.SheetText(r, c));
        }
        out += '\n';
    }
    return out;
}

std::string EncodeTsv(const CellBlock& block) {
    std::string out;
    for (const auto& row : block) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += '\t';
            AppendCell(out, row[c]);
        }
        out += '\n';
    }
    return out;
}

CellBlock DecodeTsv(std::string_view text) {
    CellBlock block;
    if (text.empty())
        return block;
    block.emplace_back(1);
    std::size_t i = 0;
    bool cellStart = true;
    while (i < text.size()) {
        const char c = text[i];
        std::string& cell = block.back().back();
        if (cellStart && c == '"') {
            // A quoted cell: up to the quote not doubled; "" stands for one quote.
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        cell += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text[i];
            }
            cellStart = false;
            continue;
        }
        cellStart = false;
        if (c == '\t') {
            block.back().emplace_back();
            cellStart = true;
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            i += c == '\r' ? 1 : 0;
            if (i + 1 < text.size())
                block.emplace_back(1);
            cellStart = true;
        } else {
            cell += c;
        }
        ++i;
    }
    return block;
}

} // namespace tolmere
