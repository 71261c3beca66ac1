// SPDX-License-Identifier: MIT
#include "tables/ColumnFinder.h"

#include <algorithm>
#include <charconv>

namespace tolmere {

bool CColumnFinder::SameName(std::string_view a, std::string_view b) {
    auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&lower](char x, char y) { return lower(x) == lower(y); });
}

CColumnFinder::CColumnFinder(const CTxtTable& table) : table_(table) {}

std::int32_t CColumnFinder::Find(std::string_view name) const {
    for (std::int32_t c = 0; c < table_.ColumnCount(); ++c) {
        if (SameName(table_.HeaderCell(c).value_or(std::string_view()), name))
            return c;
    }
    return -1;
}

std::int32_t CColumnFinder::Require(std::string_view name) {
    const std::int32_t column = Find(name);
    if (column < 0)
        missing_.emplace_back(name);
    return column;
}

std::vector<int> CColumnFinder::Numbers(std::string_view pattern) const {
    const std::size_t hash = pattern.find('#');
    if (hash == std::string_view::npos)
        return {};
    const std::string_view head = pattern.substr(0, hash);
    const std::string_view tail = pattern.substr(hash + 1);
    std::vector<int> numbers;
    for (std::int32_t c = 0; c < table_.ColumnCount(); ++c) {
        const std::string_view name = table_.HeaderCell(c).value_or(std::string_view());
        if (name.size() <= head.size() + tail.size() ||
            !SameName(name.substr(0, head.size()), head) ||
            !SameName(name.substr(name.size() - tail.size()), tail))
            continue;
        const std::string_view digits =
            name.substr(head.size(), name.size() - head.size() - tail.size());
        int number = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        // "prop01" or "prop+1" would be another column to the game; only plain numbers count.
        if (error != std::errc() || end != digits.data() + digits.size() || digits[0] == '0' ||
            number <= 0)
            continue;
        numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::string CColumnFinder::Numbered(std::string_view pattern, int number) {
    std::string name(pattern);
    const std::size_t hash = name.find('#');
    if (hash != std::string::npos)
        name.replace(hash, 1, std::to_string(number));
    return name;
}

} // namespace tolmere
