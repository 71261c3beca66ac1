// SPDX-License-Identifier: MIT
#include "mods/ModKeys.h"

#include "tables/ColumnFinder.h"

#include <utility>

namespace tolmere {
namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

bool CModKeys::Load(const std::string& path) {
    CTxtTable table;
    if (!table.Load(path))
        return false;
    Assign(std::move(table));
    return true;
}

void CModKeys::Assign(CTxtTable table) {
    table_ = std::move(table);
    const CColumnFinder find(table_);
    columns_.wording = find.Find("wording");
    columns_.role = find.Find("role");
    columns_.param = find.Find("param");
    columns_.minLabel = find.Find("min label");
    columns_.maxLabel = find.Find("max label");
    firstRowOfCode_.clear();
    for (std::int32_t row = 0; row < table_.DataRowCount(); ++row)
        firstRowOfCode_.emplace(std::string(Code(row)), row); // keeps the row nearest the top
}

std::int32_t CModKeys::Find(std::string_view code) const {
    auto it = firstRowOfCode_.find(std::string(code));
    return it == firstRowOfCode_.end() ? -1 : it->second;
}

std::string CModKeys::DisplayText(std::int32_t row) const {
    std::string text(Pattern(row));
    ReplaceAll(text, "%.0f", "");
    ReplaceAll(text, "%%", "%");
    ReplaceAll(text, "%+.0f", "+");
    return text;
}

char CModKeys::Kind(std::int32_t row) const {
    std::string_view kind = Text(row, columns_.kind);
    return kind.empty() ? '\0' : kind[0];
}

DamageRole CModKeys::Role(std::int32_t row) const {
    const std::string_view role = Text(row, columns_.role);
    if (role == "min")
        return DamageRole::kMin;
    if (role == "max")
        return DamageRole::kMax;
    if (role == "len")
        return DamageRole::kLength;
    if (role == "minmax")
        return DamageRole::kMinMax;
    if (role == "minmaxlen")
        return DamageRole::kMinMaxLength;
    return DamageRole::kNone;
}

double CModKeys::Divisor(std::int32_t row) const {
    double divisor = 1;
    ParseNumber(Text(row, columns_.divisor), divisor);
    return divisor == 0 ? 1 : divisor;
}

float CModKeys::Adjust(std::int32_t row, float stored) const {
    double offset = 0;
    double divisor = 1;
    ParseNumber(Text(row, columns_.offset), offset);
    ParseNumber(Text(row, columns_.divisor), divisor);
    return static_cast<float>((stored + static_cast<float>(offset)) / static_cast<float>(divisor));
}

std::array<std::string, CModKeys::kCreditLines> CModKeys::CreditLines() const {
    std::array<std::string, kCreditLines> lines;
    for (int i = 0; i < kCreditLines; ++i)
        lines[static_cast<std::size_t>(i)] = std::string(Text(i, columns_.credit));
    return lines;
}

} // namespace tolmere
