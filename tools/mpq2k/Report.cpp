// SPDX-License-Identifier: MIT
#include "Report.h"

#include <cstdio>

namespace mpq2k {

std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += (byte < 0x20 || byte == 0x7F) ? '?' : c;
    }
    return out;
}

void ReportError(std::string_view message) {
    const std::string line = "mpq2k: " + Printable(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace mpq2k
