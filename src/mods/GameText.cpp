// SPDX-License-Identifier: MIT
#include "mods/GameText.h"

namespace tolmere {

std::string NumberText(ValueRange value) {
    if (value.Single())
        return std::to_string(value.lo);
    const char* between = value.lo < 0 || value.hi < 0 ? " to " : "-";
    return "(" + std::to_string(value.lo) + between + std::to_string(value.hi) + ")";
}

std::string SignedText(ValueRange value) {
    const std::string text = NumberText(value);
    return value.lo >= 0 && value.hi >= 0 ? "+" + text : text;
}

std::string FormatGameText(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 >= pattern.size()) {
            out += pattern[i];
            continue;
        }
        const char kind = pattern[i + 1];
        if (kind == '%') {
            out += '%';
            ++i;
            continue;
        }
        const bool plus = kind == '+' && i + 2 < pattern.size() &&
                          (pattern[i + 2] == 'd' || pattern[i + 2] == 'i');
        const char conversion = plus ? pattern[i + 2] : kind;
        if ((conversion != 'd' && conversion != 'i' && conversion != 'u' && conversion != 's') ||
            next >= args.size()) {
            out += pattern[i];
            continue;
        }
        const std::string& arg = args[next++];
        if (plus && (arg.empty() || (arg[0] != '-' && arg[0] != '+')))
            out += '+';
        out += arg;
        i += plus ? 2 : 1;
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return out;
}

} // namespace tolmere
