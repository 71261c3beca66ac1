#include "mods/ModKeys.h"

#include <utility>

namespace tolmere {
namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

const std::string& Empty() {
    static const std::string empty;
    return empty;
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
    firstRowOfCode_.clear();
    for (std::int32_t row = 0; row < table_.DataRowCount(); ++row)
        firstRowOfCode_.emplace(Code(row), row); // keeps the row nearest the top
}

std::int32_t CModKeys::Find(const std::string& code) const {
    auto it = firstRowOfCode_.find(code);
    return it == firstRowOfCode_.end() ? -1 : it->second;
}

const std::string& CModKeys::Text(std::int32_t row, std::int32_t column) const {
    const std::string* cell = table_.Cell(row, column);
    return cell ? *cell : Empty();
}

std::string CModKeys::DisplayText(std::int32_t row) const {
    std::string text = Pattern(row);
    ReplaceAll(text, "%.0f", "");
    ReplaceAll(text, "%%", "%");
    ReplaceAll(text, "%+.0f", "+");
    return text;
}

char CModKeys::Kind(std::int32_t row) const {
    const std::string& kind = Text(row, columns_.kind);
    return kind.empty() ? '\0' : kind[0];
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
        lines[static_cast<std::size_t>(i)] = Text(i, columns_.credit);
    return lines;
}

} // namespace tolmere
