// SPDX-License-Identifier: MIT
#include "grid/GridFind.h"

#include "grid/CaseFold.h"

#include <algorithm>

namespace tolmere {

CCellMatcher::CCellMatcher(std::string needle, const FindOptions& options) : options_(options) {
    if (needle.empty()) {
        error_ = "There is no text to find";
        return;
    }
    if (options.regex) {
        auto flags = std::regex::ECMAScript;
        if (!options.matchCase)
            flags |= std::regex::icase;
        try {
            regex_.emplace(needle, flags);
        } catch (const std::regex_error& fault) {
            error_ = "The regular expression \"" + needle + "\" is not valid: " + fault.what();
        }
        return;
    }
    needle_ = options.matchCase ? std::move(needle) : FoldCase(needle);
}

std::size_t CCellMatcher::Next(std::string_view cell, std::size_t from, std::size_t& length) const {
    if (regex_) {
        std::match_results<std::string_view::const_iterator> match;
        const auto flags =
            from > 0 ? std::regex_constants::match_prev_avail : std::regex_constants::match_default;
        if (!std::regex_search(cell.begin() + static_cast<std::ptrdiff_t>(from), cell.end(), match,
                               *regex_, flags))
            return std::string_view::npos;
        length = static_cast<std::size_t>(match.length(0));
        return from + static_cast<std::size_t>(match.position(0));
    }
    length = needle_.size();
    if (options_.matchCase)
        return cell.find(needle_, from);
    return FindFolded(cell, needle_, from);
}

bool CCellMatcher::Matches(std::string_view cell) const {
    if (!error_.empty())
        return false;
    if (options_.wholeCell) {
        if (regex_)
            return std::regex_match(cell.begin(), cell.end(), *regex_);
        return cell.size() == needle_.size() &&
               (options_.matchCase ? cell == needle_ : FindFolded(cell, needle_, 0) == 0);
    }
    std::size_t length = 0;
    return Next(cell, 0, length) != std::string_view::npos;
}

std::optional<std::string> CCellMatcher::Replace(std::string_view cell,
                                                 std::string_view replacement, int& count) const {
    count = 0;
    if (!Matches(cell))
        return std::nullopt;
    if (regex_ && options_.wholeCell) {
        std::match_results<std::string_view::const_iterator> match;
        std::regex_match(cell.begin(), cell.end(), match, *regex_);
        count = 1;
        return match.format(std::string(replacement));
    }
    if (regex_) {
        std::string out;
        std::regex_replace(std::back_inserter(out), cell.begin(), cell.end(), *regex_,
                           std::string(replacement));
        using Matches = std::regex_iterator<std::string_view::const_iterator>;
        count =
            static_cast<int>(std::distance(Matches(cell.begin(), cell.end(), *regex_), Matches()));
        return out;
    }
    if (options_.wholeCell) {
        count = 1;
        return std::string(replacement);
    }
    std::string out;
    std::size_t at = 0, length = 0;
    for (std::size_t hit = Next(cell, 0, length); hit != std::string_view::npos;
         hit = Next(cell, at, length)) {
        out.append(cell.substr(at, hit - at));
        out.append(replacement);
        at = hit + length;
        ++count;
    }
    out.append(cell.substr(at));
    return out;
}

namespace {

GridRange SearchRange(const CCellSheet& sheet, const CCellMatcher& matcher, GridRange range) {
    range = range.Empty() ? GridRange::All(sheet) : range.Within(sheet);
    const int column = matcher.Options().column;
    if (column >= 0) {
        range.left = std::max(range.left, column);
        range.right = std::min(range.right, column);
    }
    return range;
}

} // namespace

std::vector<GridCell> FindAll(const CCellSheet& sheet, const CCellMatcher& matcher,
                              GridRange range) {
    std::vector<GridCell> hits;
    if (!matcher.Error().empty())
        return hits;
    range = SearchRange(sheet, matcher, range);
    for (int r = range.top; r <= range.bottom; ++r)
        for (int c = range.left; c <= range.right; ++c)
            if (matcher.Matches(sheet.SheetText(r, c)))
                hits.push_back({r, c});
    return hits;
}

GridEditResult ReplaceAll(const CCellSheet& sheet, const CCellMatcher& matcher,
                          std::string_view replacement, GridRange range) {
    GridEditResult result;
    result.error = matcher.Error();
    if (!result.Ok())
        return result;
    for (const GridCell& hit : FindAll(sheet, matcher, range)) {
        const std::string_view before = sheet.SheetText(hit.row, hit.column);
        int count = 0;
        std::optional<std::string> after = matcher.Replace(before, replacement, count);
        result.occurrences += count;
        if (after && *after != before)
            result.changes.push_back({hit.row, hit.column, std::move(*after)});
    }
    return result;
}

} // namespace tolmere
