// SPDX-License-Identifier: MIT
// The modifier catalogue over "modkey.txt": wording and value rules per property code.
#pragma once

#include "tables/TxtTable.h"

#include <array>
#include <string>
#include <unordered_map>

namespace tolmere {

// Columns of the catalogue file.
struct ModKeyColumns {
    std::int32_t code = 0;
    std::int32_t pattern = 1;
    std::int32_t kind = 2;
    std::int32_t defaultValue = 3;
    std::int32_t offset = 5;
    std::int32_t divisor = 6;
    std::int32_t note = 8;
    std::int32_t credit = 9;
    // Found by their header names; -1 in a catalogue without them.
    std::int32_t wording = -1;  // "+[range] to Strength": the value from min, max and param
    std::int32_t role = -1;     // a damage slot's part: min, max, len, minmax, minmaxlen
    std::int32_t param = -1;    // what the param cell holds: skill, number, perlevel, …
    std::int32_t minLabel = -1; // the dialog's labels for the two value boxes
    std::int32_t maxLabel = -1;
};

// Which part of a combined damage line a slot gives.
enum class DamageRole { kNone, kMin, kMax, kLength, kMinMax, kMinMaxLength };

class CModKeys {
public:
    static constexpr int kCreditLines = 3;

    CModKeys() = default;

    // Loads the catalogue; false (catalogue unchanged) when the file cannot be read.
    bool Load(const std::string& path);
    // Takes an already loaded table as the catalogue.
    void Assign(CTxtTable table);

    const CTxtTable& Table() const { return table_; }
    std::int32_t Count() const { return table_.DataRowCount(); }

    // First data row whose code equals `code` byte for byte, or -1.
    std::int32_t Find(std::string_view code) const;
    std::string_view Code(std::int32_t row) const { return Text(row, columns_.code); }
    std::string_view Pattern(std::int32_t row) const { return Text(row, columns_.pattern); }
    // The pattern without its number: "%.0f" removed, "%%" to "%", "%+.0f" to "+".
    std::string DisplayText(std::int32_t row) const;
    // First character of the kind column, or '\0' when it is empty.
    char Kind(std::int32_t row) const;
    std::string_view DefaultValue(std::int32_t row) const {
        return Text(row, columns_.defaultValue);
    }
    std::string_view Note(std::int32_t row) const { return Text(row, columns_.note); }
    // (stored + offset) / divisor in single precision; offset 0 and divisor 1 when
    // their cells hold no number.
    float Adjust(std::int32_t row, float stored) const;
    std::string_view Wording(std::int32_t row) const { return Text(row, columns_.wording); }
    DamageRole Role(std::int32_t row) const;
    std::string_view ParamKind(std::int32_t row) const { return Text(row, columns_.param); }
    std::string_view MinLabel(std::int32_t row) const { return Text(row, columns_.minLabel); }
    std::string_view MaxLabel(std::int32_t row) const { return Text(row, columns_.maxLabel); }
    // The divisor column as a number, 1 when it holds none.
    double Divisor(std::int32_t row) const;
    std::array<std::string, kCreditLines> CreditLines() const;

private:
    // A missing cell reads as empty.
    std::string_view Text(std::int32_t row, std::int32_t column) const {
        return table_.Text(row, column);
    }

    CTxtTable table_;
    ModKeyColumns columns_;
    std::unordered_map<std::string, std::int32_t> firstRowOfCode_;
};

} // namespace tolmere
