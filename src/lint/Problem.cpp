// SPDX-License-Identifier: MIT
#include "lint/Problem.h"

#include "tables/Cp1252.h"
#include "tables/StrTblText.h"
#include "tables/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace tolmere {
namespace {

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
