// SPDX-License-Identifier: MIT
// Everything mpq2k says about a problem goes through here, so that each problem is exactly
// one line on stderr: the editor shows that line to the user as it is.
#pragma once

#include <string>
#include <string_view>

namespace mpq2k {

// Control characters (a newline inside a name, for instance) would break the one-line rule.
std::string Printable(std::string_view text);

// Writes "mpq2k: " + message + "\n" on stderr.
void ReportError(std::string_view message);

} // namespace mpq2k
