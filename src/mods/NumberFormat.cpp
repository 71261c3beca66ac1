// SPDX-License-Identifier: MIT
#include "mods/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tolmere {
namespace {

struct Conversion {
    bool left = false, plus = false, space = false, alternate = false, zero = false;
    int width = 0;
    int precision = -1;
    char type = 0;
};

constexpr int kMaxField = 512; // keeps a pattern from asking for huge output

// Digits of |value| with `precision` decimals, halves away from zero.
std::string FixedDigits(double magnitude, int precision) {
    char buffer[kMaxField + 400];
    auto written = [&](std::to_chars_result r) {
        return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("?");
    };
    // to_chars rounds the exact binary value correctly, ties to even; a value that is
    // exactly halfway has a finite expansion one digit longer, ending in 5.
    if (precision <= 22 && std::isfinite(magnitude)) {
        const double scale = std::pow(10.0, precision);
        const double scaled = magnitude * scale;
        const double error = std::fma(magnitude, scale, -scaled);
        if (error == 0 && scaled < 9007199254740992.0 && scaled - std::floor(scaled) == 0.5) {
            std::string digits = written(std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                                       std::chars_format::fixed, precision + 1));
            digits.pop_back(); // the 5
            int i = static_cast<int>(digits.size()) - 1;
            for (; i >= 0; --i) {
                if (digits[i] == '.')
                    continue;
                if (digits[i] == '9') {
                    digits[i] = '0';
                    continue;
                }
                ++digits[i];
                break;
            }
            if (i < 0)
                digits.insert(digits.begin(), '1');
            if (!digits.empty() && digits.back() == '.')
                digits.pop_back();
            return digits;
        }
    }
    return written(std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                 std::chars_format::fixed, precision));
}

// %g as printf writes it: with P significant digits (6 when none are given, 1 for 0)
// and X the exponent the value has when rounded to them, fixed notation with P-1-X
// decimals when -4 <= X < P, scientific with P-1 otherwise; trailing zeros (and a
// trailing point) go, unless the alternate form "#" keeps them.
std::string General(double magnitude, int precision, bool alternate) {
    precision = std::max(precision, 1);
    char buffer[kMaxField + 400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                 std::chars_format::scientific, precision - 1);
    if (r.ec != std::errc())
        return "?";
    std::string body(buffer, r.ptr);
    const std::size_t e = body.find('e');
    const int exponent = std::atoi(body.c_str() + e + 1);
    if (exponent >= -4 && exponent < precision)
        body = FixedDigits(magnitude, precision - 1 - exponent);
    if (alternate)
        return body;
    const std::size_t end = std::min(body.find('e'), body.size());
    std::size_t keep = end;
    if (body.find('.') < end) {
        while (keep > 0 && body[keep - 1] == '0')
            --keep;
        if (keep > 0 && body[keep - 1] == '.')
            --keep;
    }
    return body.substr(0, keep) + body.substr(end);
}

std::string Body(const Conversion& conv, double magnitude) {
    char lower = static_cast<char>(conv.type | 0x20);
    int precision = conv.precision < 0 ? 6 : conv.precision;
    std::string body;
    if (!std::isfinite(magnitude)) {
        body = std::isnan(magnitude) ? "nan" : "inf";
    } else if (lower == 'f') {
        body = FixedDigits(magnitude, precision);
    } else if (lower == 'g') {
        body = General(magnitude, precision, conv.alternate);
    } else {
        char buffer[kMaxField + 400];
        auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                               std::chars_format::scientific, precision);
        body = r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("?");
    }
    if (conv.alternate && body.find('.') == std::string::npos && std::isfinite(magnitude)) {
        std::size_t exponent = body.find('e');
        body.insert(exponent == std::string::npos ? body.size() : exponent, ".");
    }
    if (conv.type >= 'A' && conv.type <= 'Z')
        for (char& ch : body)
            if (ch >= 'a' && ch <= 'z')
                ch = static_cast<char>(ch - 32);
    return body;
}

std::string Render(const Conversion& conv, double value) {
    std::string sign;
    if (std::signbit(value) && !std::isnan(value))
        sign = "-";
    else if (conv.plus)
        sign = "+";
    else if (conv.space)
        sign = " ";
    std::string body = Body(conv, std::fabs(value));
    std::size_t length = sign.size() + body.size();
    std::size_t pad = conv.width > 0 && static_cast<std::size_t>(conv.width) > length
                          ? static_cast<std::size_t>(conv.width) - length
                          : 0;
    if (conv.left)
        return sign + body + std::string(pad, ' ');
    if (conv.zero && std::isfinite(value))
        return sign + std::string(pad, '0') + body;
    return std::string(pad, ' ') + sign + body;
}

// Parses a conversion starting after '%'; returns the index after it, or 0 when the
// text is not one of the accepted conversions.
std::size_t ParseConversion(std::string_view p, std::size_t i, Conversion& conv) {
    for (; i < p.size(); ++i) {
        char c = p[i];
        if (c == '-')
            conv.left = true;
        else if (c == '+')
            conv.plus = true;
        else if (c == ' ')
            conv.space = true;
        else if (c == '#')
            conv.alternate = true;
        else if (c == '0')
            conv.zero = true;
        else
            break;
    }
    auto number = [&](int& out) {
        out = 0;
        while (i < p.size() && p[i] >= '0' && p[i] <= '9') {
            out = out * 10 + (p[i] - '0');
            if (out > kMaxField)
                return false;
            ++i;
        }
        return true;
    };
    if (!number(conv.width))
        return 0;
    if (i < p.size() && p[i] == '.') {
        ++i;
        if (!number(conv.precision))
            return 0;
    }
    if (i < p.size() && p[i] == 'l')
        ++i;
    if (i >= p.size() || !std::strchr("fFeEgG", p[i]))
        return 0;
    conv.type = p[i];
    return i + 1;
}

} // namespace

std::string FormatNumbers(std::string_view pattern, std::initializer_list<double> values) {
    std::string out;
    out.reserve(pattern.size() + 16);
    const double* next = values.begin();
    std::size_t i = 0;
    while (i < pattern.size()) {
        std::size_t percent = pattern.find('%', i);
        if (percent == std::string_view::npos) {
            out.append(pattern.substr(i));
            break;
        }
        out.append(pattern.substr(i, percent - i));
        if (percent + 1 < pattern.size() && pattern[percent + 1] == '%') {
            out += '%';
            i = percent + 2;
            continue;
        }
        Conversion conv;
        std::size_t after = ParseConversion(pattern, percent + 1, conv);
        if (after == 0 || next == values.end()) {
            // Not ours to interpret: shown as written, starting with its percent sign.
            std::size_t stop = after == 0 ? percent + 1 : after;
            out.append(pattern.substr(percent, stop - percent));
            i = stop;
            continue;
        }
        out += Render(conv, *next++);
        i = after;
    }
    return out;
}

} // namespace tolmere
