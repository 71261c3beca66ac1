// SPDX-License-Identifier: MIT
#include "diff/ChangeLines.h"

#include "tables/StrTblText.h"
#include "tables/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace tolmere {
namespace {

// Undoes EscapeField; false at an escape it does not write.
bool Unescape(const std::string& field, std::string& out) {
    return UnescapeOneLine(field, out, true);
}

std::string KeyField(const ChangeLine& line) {
    std::string field = EscapeField(line.key);
    if (line.occurrence > 0)
        field += "\\#" + std::to_string(line.occurrence + 1);
    return field;
}

std::string ColumnField(const ChangeLine& line) {
    const std::string place = " " + std::to_string(line.place);
    switch (line.kind) {
    case ChangeKind::kCell:
        return EscapeField(line.column);
    case ChangeKind::kRowAdded:
        return "\\added" + place;
    case ChangeKind::kRowRemoved:
        return "\\removed" + place;
    case ChangeKind::kRowMoved:
        return "\\moved" + place;
    case ChangeKind::kModifier:
        return "\\modifier";
    case ChangeKind::kText:
        return "\\text";
    case ChangeKind::kEntryAdded:
        return "\\added";
    case ChangeKind::kEntryRemoved:
        return "\\removed";
    }
    return std::string();
}

// A whole number of decimal digits, or -1.
std::int32_t Place(const std::string& digits) {
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(digits);
}

bool ReadKey(const std::string& field, ChangeLine& line) {
    const std::size_t mark = field.rfind("\\#");
    // "\\#" is an escaped backslash and a '#': a backslash before the mark pairs with it.
    std::size_t backslashes = 0;
    for (std::size_t i = mark; mark != std::string::npos && i > 0 && field[i - 1] == '\\'; --i)
        ++backslashes;
    if (mark == std::string::npos || backslashes % 2 == 1)
        return Unescape(field, line.key);
    const std::int32_t n = Place(field.substr(mark + 2));
    if (n < 2)
        return false;
    line.occurrence = n - 1;
    return Unescape(field.substr(0, mark), line.key);
}

bool ReadColumn(const std::string& field, ChangeLine& line) {
    const std::size_t space = field.find(' ');
    const std::string word = field.substr(0, space);
    const bool placed = space != std::string::npos;
    static const std::pair<const char*, ChangeKind> kPlaced[] = {
        {"\\added", ChangeKind::kRowAdded},
        {"\\removed", ChangeKind::kRowRemoved},
        {"\\moved", ChangeKind::kRowMoved}};
    static const std::pair<const char*, ChangeKind> kBare[] = {
        {"\\modifier", ChangeKind::kModifier},
        {"\\text", ChangeKind::kText},
        {"\\added", ChangeKind::kEntryAdded},
        {"\\removed", ChangeKind::kEntryRemoved}};
    const auto* first = placed ? std::begin(kPlaced) : std::begin(kBare);
    const auto* last = placed ? std::end(kPlaced) : std::end(kBare);
    const auto* found =
        std::find_if(first, last, [&](const auto& entry) { return word == entry.first; });
    // Anything else is a column name: a name's own backslash is written doubled, so
    // only a name of a CR and "emoved" would read as a marker, and no table has one.
    if (found == last)
        return Unescape(field, line.column);
    line.kind = found->second;
    return !placed || (line.place = Place(field.substr(space + 1))) >= 0;
}

} // namespace

std::string EscapeField(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const char c = bytes[i];
        const std::size_t length = Utf8Length(bytes, i);
        if (c == '\\' || c == '\t' || c == '\r' || c == '\n') {
            out += c == '\\' ? "\\\\" : c == '\t' ? "\\t" : c == '\r' ? "\\r" : "\\n";
            ++i;
        } else if (length == 0 || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            out += hex;
            ++i;
        } else {
            out.append(bytes, i, length);
            i += length;
        }
    }
    return out;
}

std::string FormatChange(const ChangeLine& line) {
    return EscapeField(line.table) + '\t' + KeyField(line) + '\t' + ColumnField(line) + '\t' +
           EscapeField(line.before) + '\t' + EscapeField(line.after);
}

std::string FormatChanges(std::vector<ChangeLine> lines) {
    std::vector<
        std::pair<std::tuple<std::string, std::string, std::int32_t, std::string>, std::string>>
        sorted;
    sorted.reserve(lines.size());
    for (const ChangeLine& line : lines)
        sorted.push_back(
            {{line.table, line.key, line.occurrence, ColumnField(line)}, FormatChange(line)});
    std::sort(sorted.begin(), sorted.end());
    std::string text;
    for (const auto& entry : sorted)
        text += entry.second + '\n';
    return text;
}

bool ParseChanges(const std::string& text, std::vector<ChangeLine>& lines, std::string& error) {
    std::vector<ChangeLine> read;
    std::size_t start = 0;
    for (std::size_t number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string lineText = text.substr(start, end - start);
        start = end + 1;
        if (!lineText.empty() && lineText.back() == '\r')
            lineText.pop_back();
        if (lineText.empty())
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        for (std::size_t i = 0; i < lineText.size();) {
            const std::size_t length = Utf8Length(lineText, i);
            if (length == 0)
                return error = where + "not UTF-8", false;
            i += length;
        }
        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t tab = lineText.find('\t', from);
            fields.push_back(lineText.substr(from, tab - from));
            if (tab == std::string::npos)
                break;
            from = tab + 1;
        }
        if (fields.size() != 5)
            return error = where + "expected 5 fields (table, key, column, old, new), found " +
                           std::to_string(fields.size()),
                   false;
        ChangeLine line;
        if (!Unescape(fields[0], line.table) || !ReadKey(fields[1], line) ||
            !ReadColumn(fields[2], line) || !Unescape(fields[3], line.before) ||
            !Unescape(fields[4], line.after))
            return error = where + "an escape or a column marker that is not known", false;
        read.push_back(std::move(line));
    }
    lines = std::move(read);
    return true;
}

} // namespace tolmere
