// SPDX-License-Identifier: MIT
#include "grid/GridFind.h"

#include "grid/CaseFold.h"
#include "tables/Utf8.h"

#include <algorithm>

namespace tolmere {

CCellMatcher::CCellMatcher(std::string needle, const FindOptions& options)
    : CCellMatcher(std::vector<std::string>{std::move(needle)}, options) {}

CCellMatcher::CCellMatcher(std::vector<std::string> forms, const FindOptions& options)
    : options_(options) {
    if (forms.empty() || forms.front().empty()) {
        error_ = "There is no text to find";
        return;
    }
    for (std::string& form : forms) {
        if (options.regex) {
            auto flags = std::regex::ECMAScript;
            if (!options.matchCase)
                flags |= std::regex::icase;
            try {
                regexes_.emplace_back(form, flags);
            } catch (const std::regex_error& fault) {
                error_ = "The regular expression \"" + form + "\" is not valid: " + fault.what();
                regexes_.clear();
                return;
            }
        } else {
            needles_.push_back(options.matchCase ? std::move(form) : FoldCase(form));
        }
    }
}

std::size_t CCellMatcher::Next(std::string_view cell, std::size_t from, std::size_t& length,
                               std::size_t& form) const {
    std::size_t best = std::string_view::npos;
    const std::size_t forms = regexes_.empty() ? needles_.size() : regexes_.size();
    for (std::size_t f = 0; f < forms; ++f) {
        std::size_t at = std::string_view::npos, size = 0;
        if (!regexes_.empty()) {
            std::match_results<std::string_view::const_iterator> match;
            const auto flags = from > 0 ? std::regex_constants::match_prev_avail
                                        : std::regex_constants::match_default;
            if (std::regex_search(cell.begin() + static_cast<std::ptrdiff_t>(from), cell.end(),
                                  match, regexes_[f], flags)) {
                at = from + static_cast<std::size_t>(match.position(0));
                size = static_cast<std::size_t>(match.length(0));
            }
        } else {
            at = options_.matchCase ? cell.find(needles_[f], from)
                                    : FindFolded(cell, needles_[f], from);
            size = needles_[f].size();
        }
        if (at < best) {
            best = at;
            length = size;
            form = f;
        }
    }
    return best;
}

std::size_t CCellMatcher::WholeForm(std::string_view cell) const {
    for (std::size_t f = 0; f < regexes_.size(); ++f)
        if (std::regex_match(cell.begin(), cell.end(), regexes_[f]))
            return f;
    for (std::size_t f = 0; f < needles_.size(); ++f) {
        const std::string& needle = needles_[f];
        if (cell.size() == needle.size() &&
            (options_.matchCase ? cell == needle : FindFolded(cell, needle, 0) == 0))
            return f;
    }
    return std::string_view::npos;
}

bool CCellMatcher::Matches(std::string_view cell) const {
    if (!error_.empty())
        return false;
    if (options_.wholeCell)
        return WholeForm(cell) != std::string_view::npos;
    std::size_t length = 0, form = 0;
    return Next(cell, 0, length, form) != std::string_view::npos;
}

std::optional<std::string> CCellMatcher::Replace(std::string_view cell,
                                                 const std::vector<std::string>& replacements,
                                                 int& count) const {
    count = 0;
    if (!error_.empty())
        return std::nullopt;
    // The replacement goes in as the cell is read: UTF-8 when the cell is valid UTF-8.
    static const std::string kNothing;
    const std::string& replacement = replacements.empty() ? kNothing
                                     : replacements.size() > 1 && IsUtf8(cell)
                                         ? replacements[1]
                                         : replacements.front();
    if (options_.wholeCell) {
        const std::size_t form = WholeForm(cell);
        if (form == std::string_view::npos)
            return std::nullopt;
        count = 1;
        if (regexes_.empty())
            return replacement;
        std::match_results<std::string_view::const_iterator> match;
        std::regex_match(cell.begin(), cell.end(), match, regexes_[form]);
        return match.format(replacement);
    }
    std::size_t length = 0, form = 0;
    std::size_t hit = Next(cell, 0, length, form);
    if (hit == std::string_view::npos)
        return std::nullopt;
    if (!regexes_.empty()) {
        // The form found first stands for the cell: a cell holds one encoding.
        const std::regex& regex = regexes_[form];
        std::string out;
        std::regex_replace(std::back_inserter(out), cell.begin(), cell.end(), regex, replacement);
        using Matches = std::regex_iterator<std::string_view::const_iterator>;
        count =
            static_cast<int>(std::distance(Matches(cell.begin(), cell.end(), regex), Matches()));
        return out;
    }
    std::string out;
    std::size_t at = 0;
    for (; hit != std::string_view::npos; hit = Next(cell, at, length, form)) {
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
                          const std::vector<std::string>& replacements, GridRange range) {
    GridEditResult result;
    result.error = matcher.Error();
    if (!result.Ok())
        return result;
    for (const GridCell& hit : FindAll(sheet, matcher, range)) {
        const std::string_view before = sheet.SheetText(hit.row, hit.column);
        int count = 0;
        std::optional<std::string> after = matcher.Replace(before, replacements, count);
        result.occurrences += count;
        if (after && *after != before)
            result.changes.push_back({hit.row, hit.column, std::move(*after)});
    }
    return result;
}

} // namespace tolmere
