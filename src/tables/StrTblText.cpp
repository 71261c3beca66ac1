// SPDX-License-Identifier: MIT
#include "tables/StrTblText.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tolmere {
namespace {

void AppendEscaped(std::string& out, std::string_view text) {
    for (char ch : text) {
        switch (ch) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += ch;
        }
    }
}

int HexDigit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

bool Unescape(const std::string& text, std::string& out, bool hexBytes) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 'x': {
            const int high = hexBytes && i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
            const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
            if (low < 0)
                return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

const char kLayoutLine[] = "tbl hash-slots=%u version=%u";

// The first line's hash layout, when it is a layout line; false when it is not one.
bool ReadLayoutLine(const std::string& line, CStrTbl& table) {
    unsigned slots = 0, version = 0;
    char end = 0;
    return line.rfind("tbl ", 0) == 0 &&
           std::sscanf(line.c_str(), "tbl hash-slots=%u version=%u%c", &slots, &version, &end) ==
               2 &&
           version <= 255 && table.SetHashLayout(slots, static_cast<unsigned char>(version));
}

} // namespace

std::string EscapeOnOneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

bool UnescapeOneLine(const std::string& line, std::string& text, bool hexBytes) {
    return Unescape(line, text, hexBytes);
}

std::string StrTblToText(const CStrTbl& table) {
    std::vector<const StrEntry*> order;
    for (const StrEntry& e : table.List())
        order.push_back(&e);
    std::stable_sort(order.begin(), order.end(), [](const StrEntry* a, const StrEntry* b) {
        return a->indexNumber < b->indexNumber;
    });
    std::string out;
    if ((table.HashSlots() != 0 && table.HashSlots() != order.size()) || table.Version() != 1) {
        char line[64];
        std::snprintf(line, sizeof line, kLayoutLine, static_cast<unsigned>(table.HashSlots()),
                      static_cast<unsigned>(table.Version()));
        out += std::string(line) + "\n";
    }
    for (const StrEntry* e : order) {
        AppendEscaped(out, e->key);
        out += '\t';
        AppendEscaped(out, e->text);
        out += '\n';
    }
    return out;
}

bool StrTblFromText(const std::string& text, CStrTbl& table, std::string& error) {
    CStrTbl parsed = table;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t tab = line.find('\t');
        if (lineNumber == 1 && tab == std::string::npos && line.rfind("tbl ", 0) == 0) {
            if (ReadLayoutLine(line, parsed))
                continue;
            error = "line 1: expected tbl hash-slots=N version=V (N at most 65535, V at "
                    "most 255)";
            return false;
        }
        std::string key, value;
        if (tab == std::string::npos || !Unescape(line.substr(0, tab), key, false) ||
            !Unescape(line.substr(tab + 1), value, false)) {
            error = "line " + std::to_string(lineNumber) +
                    ": expected key TAB text with escapes \\\\ \\t \\r \\n";
            return false;
        }
        parsed.Add(key, value);
    }
    table = std::move(parsed);
    return true;
}

} // namespace tolmere
