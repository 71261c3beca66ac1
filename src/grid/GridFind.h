// SPDX-License-Identifier: MIT
// Find all and replace over a sheet's cells, with a spreadsheet's options.
#pragma once

#include "grid/CellSheet.h"
#include "grid/GridModel.h"

#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

struct FindOptions {
    bool matchCase = false; // otherwise ASCII and Latin-1 letters match either case
    bool wholeCell = false; // the cell is the text, not merely holds it
    bool regex = false;     // the text is an ECMAScript regular expression
    int column = -1;        // only this column; -1 for all
};

// A text to look for, prepared once for every cell it is tried on. A cell holds UTF-8
// or Windows-1252, so a typed text may be looked for in both forms: a cell matches
// either.
class CCellMatcher {
public:
    CCellMatcher(std::string needle, const FindOptions& options);
    CCellMatcher(std::vector<std::string> forms, const FindOptions& options);
    // Why the text cannot be looked for (an empty text, a faulty expression); empty
    // when it can.
    const std::string& Error() const { return error_; }
    const FindOptions& Options() const { return options_; }
    bool Matches(std::string_view cell) const;
    // The cell with every match replaced (a regular expression's replacement may name
    // its groups as $1 …), and how many there were; nothing when none.
    // `replacements`: the Windows-1252 form, then the UTF-8 form a cell that is valid
    // UTF-8 takes (the first when there is no second).
    std::optional<std::string>
    Replace(std::string_view cell, const std::vector<std::string>& replacements, int& count) const;
    std::optional<std::string> Replace(std::string_view cell, std::string_view replacement,
                                       int& count) const {
        return Replace(cell, std::vector<std::string>{std::string(replacement)}, count);
    }

private:
    // Where the next match of any form starts at or after `from`, its length and form;
    // npos for none.
    std::size_t Next(std::string_view cell, std::size_t from, std::size_t& length,
                     std::size_t& form) const;
    // The form that matches the whole cell; npos for none.
    std::size_t WholeForm(std::string_view cell) const;

    std::vector<std::string> needles_; // folded when case does not matter
    FindOptions options_;
    std::string error_;
    std::vector<std::regex> regexes_;
};

// Every cell of the range (the sheet when empty) the matcher matches, in row order.
// Only the option's column when it names one.
std::vector<GridCell> FindAll(const CCellSheet& sheet, const CCellMatcher& matcher,
                              GridRange range = {});

// What replacing every match in the range would change; the count of cells is the
// number of changes, the count of texts replaced `occurrences`.
GridEditResult ReplaceAll(const CCellSheet& sheet, const CCellMatcher& matcher,
                          const std::vector<std::string>& replacements, GridRange range = {});
inline GridEditResult ReplaceAll(const CCellSheet& sheet, const CCellMatcher& matcher,
                                 std::string_view replacement, GridRange range = {}) {
    return ReplaceAll(sheet, matcher, std::vector<std::string>{std::string(replacement)}, range);
}

} // namespace tolmere
