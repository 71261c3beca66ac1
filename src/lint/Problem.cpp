// SPDX-License-Identifier: MIT
#include "lint/Problem.h"

#include "tables/Cp1252.h"
#include "tables/StrTblText.h"

#include <algorithm>
#include <cstdio>

namespace tolmere {
namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0                 ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

void AppendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (std::size_t at = 0; at < text.size();) {
        const auto ch = static_cast<unsigned char>(text[at]);
        char escaped[8];
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", ch);
            out += escaped;
        } else if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (const std::size_t length = Utf8Length(text, at)) {
            out.append(text, at, length);
            at += length;
            continue;
        } else {
            const unsigned code = Cp1252ToUnicode(ch);
            std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
            out += escaped;
        }
        ++at;
    }
    out += '"';
}

} // namespace

const char* SeverityName(Severity severity) {
    switch (severity) {
    case Severity::kError:
        return "error";
    case Severity::kWarning:
        return "warning";
    case Severity::kNote:
        break;
    }
    return "note";
}

std::size_t CountOf(const Problems& problems, Severity severity) {
    return static_cast<std::size_t>(
        std::count_if(problems.begin(), problems.end(),
                      [severity](const Problem& problem) { return problem.severity == severity; }));
}

std::string ProblemLine(const Problem& problem) {
    return std::string(SeverityName(problem.severity)) + "\t" + EscapeOnOneLine(problem.file) +
           "\t" + (problem.row < 0 ? std::string() : std::to_string(problem.row)) + "\t" +
           EscapeOnOneLine(problem.key) + "\t" + EscapeOnOneLine(problem.column) + "\t" +
           EscapeOnOneLine(problem.text);
}

std::string ProblemsJson(const Problems& problems) {
    std::string out = "[";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const Problem& problem = problems[i];
        out += i == 0 ? "\n  {" : ",\n  {";
        out += "\"severity\": \"" + std::string(SeverityName(problem.severity)) + "\", ";
        out += "\"file\": ";
        AppendJsonString(out, problem.file);
        out +=
            ", \"row\": " + (problem.row < 0 ? std::string("null") : std::to_string(problem.row));
        out += ", \"key\": ";
        AppendJsonString(out, problem.key);
        out += ", \"column\": ";
        AppendJsonString(out, problem.column);
        out += ", \"text\": ";
        AppendJsonString(out, problem.text);
        out += "}";
    }
    return out + (problems.empty() ? "]\n" : "\n]\n");
}

} // namespace tolmere
