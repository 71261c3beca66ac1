#include "tables/StrTblText.h"

#include <algorithm>
#include <vector>

namespace tolmere {
namespace {

void AppendEscaped(std::string& out, const std::string& text) {
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

bool Unescape(const std::string& text, std::string& out) {
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
        default:
            return false;
        }
    }
    return true;
}

} // namespace

std::string StrTblToText(const CStrTbl& table) {
    std::vector<const StrEntry*> order;
    for (const StrEntry& e : table.List())
        order.push_back(&e);
    std::stable_sort(order.begin(), order.end(), [](const StrEntry* a, const StrEntry* b) {
        return a->indexNumber < b->indexNumber;
    });
    std::string out;
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
        std::string key, value;
        if (tab == std::string::npos || !Unescape(line.substr(0, tab), key) ||
            !Unescape(line.substr(tab + 1), value)) {
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
