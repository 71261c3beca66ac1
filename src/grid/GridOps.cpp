// SPDX-License-Identifier: MIT
#include "grid/GridOps.h"

#include "grid/CaseFold.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace tolmere {
namespace {

void Change(GridEditResult& result, const CCellSheet& sheet, int row, int column,
            std::string text) {
    if (row >= sheet.SheetRows() || sheet.SheetText(row, column) != text)
        result.changes.push_back({row, column, std::move(text)});
}

std::string FormatNumber(double value, bool whole) {
    if (whole) {
        const double rounded = std::round(value); // half away from zero
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", rounded == 0 ? 0.0 : rounded);
        return text;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string out = text;
    out.erase(out.find_last_not_of('0') + 1);
    if (out.back() == '.')
        out.pop_back();
    return out == "-0" ? "0" : out;
}

} // namespace

GridEditResult PasteBlock(const CCellSheet& sheet, GridCell at, const CellBlock& block,
                          GridRange target) {
    GridEditResult result;
    const int height = static_cast<int>(block.size());
    int width = 0;
    for (const auto& row : block)
        width = std::max(width, static_cast<int>(row.size()));
    if (height == 0 || width == 0) {
        result.error = "There is nothing to paste";
        return result;
    }
    int across = 1, down = 1;
    if (!target.Empty() && (target.Height() > height || target.Width() > width) &&
        target.Height() % height == 0 && target.Width() % width == 0) {
        at = {target.top, target.left};
        down = target.Height() / height;
        across = target.Width() / width;
    }
    const int columns = sheet.SheetColumns();
    if (at.column < 0 || at.row < 0 || at.column + width * across > columns) {
        result.error = "A block " + std::to_string(width) + " columns wide pasted at column " +
                       std::to_string(at.column + 1) + " would run past the last column (" +
                       std::to_string(columns) + ")";
        return result;
    }
    result.rowsToAdd = std::max(0, at.row + height * down - sheet.SheetRows());
    for (int d = 0; d < down; ++d)
        for (int r = 0; r < height; ++r) {
            const auto& cells = block[static_cast<std::size_t>(r)];
            for (int a = 0; a < across; ++a)
                for (int c = 0; c < static_cast<int>(cells.size()); ++c)
                    Change(result, sheet, at.row + d * height + r, at.column + a * width + c,
                           cells[static_cast<std::size_t>(c)]);
        }
    return result;
}

GridEditResult FillDown(const CCellSheet& sheet, GridRange range) {
    GridEditResult result;
    range = range.Within(sheet);
    if (range.Empty())
        return result;
    int from = range.top;
    if (range.Height() == 1) {
        if (range.top == 0) {
            result.error = "There is no row above to fill down from";
            return result;
        }
        from = range.top - 1;
    }
    for (int c = range.left; c <= range.right; ++c) {
        const std::string text(sheet.SheetText(from, c));
        for (int r = from + 1; r <= range.bottom; ++r)
            Change(result, sheet, r, c, text);
    }
    return result;
}

std::optional<double> SheetNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    bool any = i > digits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        any = any || i > fraction;
    }
    if (!any || i != text.size())
        return std::nullopt;
    const std::size_t start = text[0] == '+' ? 1 : 0;
    double value = 0;
    std::from_chars(text.data() + start, text.data() + text.size(), value);
    return value;
}

std::optional<CalcOperation> ParseCalc(std::string_view text, std::string& error) {
    std::optional<double> operand;
    CalcOperation op;
    if (!text.empty()) {
        operand = SheetNumber(text.substr(1));
        switch (text[0]) {
        case '+':
            break;
        case '-':
            if (operand)
                operand = -*operand;
            break;
        case '*':
            op.kind = CalcKind::kMultiply;
            break;
        case '/':
            op.kind = CalcKind::kMultiply;
            if (operand && *operand != 0)
                operand = 1 / *operand;
            else
                operand.reset();
            break;
        case '=':
            op.kind = CalcKind::kSet;
            break;
        default:
            operand.reset();
        }
    }
    if (!operand) {
        error = "\"" + std::string(text) +
                "\" is no operation: +N, -N, *N, /N or =N, N a number other than 0 after /";
        return std::nullopt;
    }
    op.operand = *operand;
    return op;
}

GridEditResult Calculate(const CCellSheet& sheet, GridRange range, const CalcOperation& op) {
    GridEditResult result;
    range = range.Within(sheet);
    const bool operandWhole = std::floor(op.operand) == op.operand;
    for (int r = range.top; r <= range.bottom; ++r)
        for (int c = range.left; c <= range.right; ++c) {
            const std::string_view text = sheet.SheetText(r, c);
            if (op.kind == CalcKind::kSet) {
                Change(result, sheet, r, c, FormatNumber(op.operand, operandWhole));
                continue;
            }
            const std::optional<double> value = SheetNumber(text);
            if (!value) {
                ++result.skipped;
                continue;
            }
            const bool whole = text.find('.') == std::string_view::npos;
            const double after =
                op.kind == CalcKind::kAdd ? *value + op.operand : *value * op.operand;
            Change(result, sheet, r, c, FormatNumber(after, whole));
        }
    return result;
}

std::vector<int> SortedRows(const CCellSheet& sheet, int column, bool descending) {
    struct Key {
        int rank; // 0 a number, 1 a text, 2 empty
        double number;
        std::string text;
    };
    const int rows = sheet.SheetRows();
    std::vector<Key> keys(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        Key& key = keys[static_cast<std::size_t>(r)];
        const std::string_view text = sheet.SheetText(r, column);
        const std::optional<double> number = SheetNumber(text);
        key.rank = text.empty() ? 2 : number ? 0 : 1;
        key.number = number.value_or(0);
        if (key.rank == 1)
            key.text = FoldCase(text);
    }
    std::vector<int> order(static_cast<std::size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys, descending](int a, int b) {
        const Key& x = keys[static_cast<std::size_t>(a)];
        const Key& y = keys[static_cast<std::size_t>(b)];
        if (x.rank != y.rank)
            return x.rank < y.rank;
        if (x.rank == 0 && x.number != y.number)
            return descending ? x.number > y.number : x.number < y.number;
        if (x.rank == 1)
            return descending ? y.text < x.text : x.text < y.text;
        return false;
    });
    return order;
}

std::string FormatNumberText(double value) {
    return FormatNumber(value, std::floor(value) == value);
}

SheetSummary Summarise(const CCellSheet& sheet, GridRange range) {
    SheetSummary summary;
    range = range.Within(sheet);
    summary.rows = range.Height();
    summary.columns = range.Width();
    for (int r = range.top; r <= range.bottom; ++r)
        for (int c = range.left; c <= range.right; ++c) {
            const std::optional<double> value = SheetNumber(sheet.SheetText(r, c));
            if (!value)
                continue;
            summary.least = summary.numbers == 0 ? *value : std::min(summary.least, *value);
            summary.greatest = summary.numbers == 0 ? *value : std::max(summary.greatest, *value);
            summary.sum += *value;
            ++summary.numbers;
        }
    return summary;
}

std::optional<std::pair<int, int>> ParseRowSpan(std::string_view text, int rows,
                                                std::string& error) {
    if (text == "all") {
        if (rows > 0)
            return std::make_pair(0, rows - 1);
        error = "the table has no rows";
        return std::nullopt;
    }
    const auto number = [](std::string_view digits) -> std::optional<int> {
        int value = 0;
        const auto [end, fault] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || digits[0] == '+' || digits[0] == '-' || fault != std::errc() ||
            end != digits.data() + digits.size())
            return std::nullopt;
        return value;
    };
    const std::size_t dash = text.find('-');
    const std::optional<int> first = number(text.substr(0, dash));
    const std::optional<int> last =
        dash == std::string_view::npos ? first : number(text.substr(dash + 1));
    if (!first || !last || *first > *last) {
        error = "ROWS \"" + std::string(text) + "\" is not all, N or N-M";
        return std::nullopt;
    }
    if (*last >= rows) {
        error = "the table has no row " + std::to_string(*last);
        return std::nullopt;
    }
    return std::make_pair(*first, *last);
}

} // namespace tolmere
