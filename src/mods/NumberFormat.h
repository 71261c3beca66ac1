// SPDX-License-Identifier: MIT
// printf-style formatting of catalogue patterns that may come from any data file.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tolmere {

// Formats `pattern` with the given numbers, consumed in order by the conversions
// f, F, e, E, g, G (flags - + space # 0, a width and a precision are honoured as
// printf honours them, "#" keeping %g's trailing zeros; an "l" length is allowed). "%%" is a percent sign. Any other conversion, and any
// conversion left without a number, is written as its literal text, so no pattern
// can read or write memory. Halves round away from zero ("%.0f" of 2.5 is "3");
// the output never depends on the process locale.
std::string FormatNumbers(std::string_view pattern, std::initializer_list<double> values);

} // namespace tolmere
