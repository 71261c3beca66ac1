// SPDX-License-Identifier: MIT
#include "Script.h"

namespace mpq2k {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

ScriptCommand Parse(std::string_view line, std::size_t number) {
    ScriptCommand command;
    command.line = number;
    command.first = std::string(line);

    // A NUL would silently cut the name short once it reaches a C API.
    if (line.find('\0') != std::string_view::npos || line.size() < 3 || !IsBlank(line[1])) {
        return command;
    }
    const char verb =
        static_cast<char>(line[0] == 'O' || line[0] == 'X' ? line[0] + ('a' - 'A') : line[0]);
    command.optional = line[0] == 'O' || line[0] == 'X';
    const std::string_view rest = TrimBlanks(line.substr(2));
    if (rest.empty()) {
        return command;
    }

    if (verb == 'o' || verb == 'c') {
        command.kind = verb == 'o' ? ScriptCommand::Kind::Open : ScriptCommand::Kind::Close;
        command.first = std::string(rest);
        return command;
    }
    if (verb == 'x') {
        // The directory is the last word: names inside archives may hold spaces, the
        // editor's scratch directories never do.
        const auto cut = rest.find_last_of(" \t");
        if (cut == std::string_view::npos) {
            return command;
        }
        const std::string_view name = TrimBlanks(rest.substr(0, cut));
        const std::string_view dir = rest.substr(cut + 1);
        if (name.empty() || dir.empty()) {
            return command;
        }
        command.kind = ScriptCommand::Kind::Extract;
        command.first = std::string(name);
        command.second = std::string(dir);
    }
    return command;
}

} // namespace

std::vector<ScriptCommand> ParseScript(std::string_view text) {
    // Notepad-style editors put a byte order mark in front of the first line.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) {
        text.remove_prefix(kBom.size());
    }

    std::vector<ScriptCommand> commands;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        // LF, CR LF, and a lone CR (old Mac editors) all end a line; a CR left inside a line
        // would end up inside a file name.
        const auto end = text.find_first_of("\r\n");
        const std::string_view raw = text.substr(0, end);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && next < text.size() &&
            text[next] == '\n') {
            ++next;
        }
        text.remove_prefix(next);

        const std::string_view line = TrimBlanks(raw);
        if (!line.empty()) {
            commands.push_back(Parse(line, number));
        }
    }
    return commands;
}

} // namespace mpq2k
