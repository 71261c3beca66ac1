// SPDX-License-Identifier: MIT
// The script parser reads files the editor wrote, but also whatever a user left in their
// place. Besides not crashing, it must never hand the runner a name or directory that
// carries line breaks or the blanks the format strips.
#include "Script.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool Clean(const std::string& word) {
    return !word.empty() && word.find_first_of("\r\n") == std::string::npos &&
           word.front() != ' ' && word.front() != '\t' && word.back() != ' ' &&
           word.back() != '\t' && word.find('\0') == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t previousLine = 0;
    for (const mpq2k::ScriptCommand& command : mpq2k::ParseScript(text)) {
        if (command.line <= previousLine) {
            __builtin_trap();
        }
        previousLine = command.line;
        switch (command.kind) {
        case mpq2k::ScriptCommand::Kind::Open:
        case mpq2k::ScriptCommand::Kind::Close:
            if (!Clean(command.first) || !command.second.empty()) {
                __builtin_trap();
            }
            break;
        case mpq2k::ScriptCommand::Kind::Extract:
            if (!Clean(command.first) || !Clean(command.second) ||
                command.second.find_first_of(" \t") != std::string::npos) {
                __builtin_trap();
            }
            break;
        case mpq2k::ScriptCommand::Kind::Invalid:
            if (command.first.empty()) {
                __builtin_trap();
            }
            break;
        }
    }
    return 0;
}
