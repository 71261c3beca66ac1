// SPDX-License-Identifier: MIT
#include "grid/CaseFold.h"

#include <algorithm>
#include <array>

namespace tolmere {
namespace {

const std::array<unsigned char, 256>& FoldTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> fold{};
        for (int i = 0; i < 256; ++i) {
            const bool upper = (i >= 'A' && i <= 'Z') || (i >= 0xC0 && i <= 0xDE && i != 0xD7);
            fold[static_cast<std::size_t>(i)] = static_cast<unsigned char>(upper ? i + 0x20 : i);
        }
        return fold;
    }();
    return table;
}

} // namespace

std::string FoldCase(std::string_view text) {
    const auto& fold = FoldTable();
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(fold[static_cast<unsigned char>(c)]);
    return out;
}

std::size_t FindFolded(std::string_view cell, std::string_view foldedNeedle, std::size_t from) {
    if (from > cell.size() || foldedNeedle.size() > cell.size() - from)
        return std::string_view::npos;
    const auto& fold = FoldTable();
    const auto begin = cell.begin() + static_cast<std::ptrdiff_t>(from);
    const auto hit = std::search(
        begin, cell.end(), foldedNeedle.begin(), foldedNeedle.end(), [&fold](char a, char b) {
            return static_cast<char>(fold[static_cast<unsigned char>(a)]) == b;
        });
    return hit == cell.end() ? std::string_view::npos
                             : static_cast<std::size_t>(hit - cell.begin());
}

} // namespace tolmere
