// SPDX-License-Identifier: MIT
#include "tables/EditHistory.h"

#include <algorithm>
#include <iterator>

namespace tolmere {
namespace {

// The entry of `key` that lookups find first, as it stands now.
std::optional<EntryState> StateOf(const CStrTbl& strings, const StrEntry* entry) {
    if (!entry)
        return std::nullopt;
    return EntryState{entry->text, entry->indexNumber, strings.PositionOf(entry)};
}

// Puts the entry back as `target` says, from where `from` says it stands.
void Restore(CStrTbl& strings, const std::string& key, const std::optional<EntryState>& from,
             const std::optional<EntryState>& target) {
    StrEntry* entry = from ? strings.FindExact(key, from->indexNumber) : nullptr;
    if (entry && !target) {
        strings.Remove(entry);
        return;
    }
    if (!target)
        return;
    if (!entry) {
        strings.Insert(target->position, key, target->text, target->indexNumber);
        return;
    }
    strings.SetText(*entry, target->text);
    entry->indexNumber = target->indexNumber;
}

void Apply(const EditStep& step, bool forward) {
    // Backwards in reverse order, so that a cell changed twice ends as it first was.
    if (forward) {
        for (const RowsAppended& rows : step.rows) {
            while (rows.table->DataRowCount() < rows.after)
                rows.table->AddRow();
        }
        for (const CellChange& cell : step.cells)
            cell.table->SetCell(cell.row, cell.column, cell.after);
        for (const EntryChange& entry : step.entries)
            Restore(*entry.strings, entry.key, entry.before, entry.after);
    } else {
        for (auto it = step.entries.rbegin(); it != step.entries.rend(); ++it)
            Restore(*it->strings, it->key, it->after, it->before);
        for (auto it = step.cells.rbegin(); it != step.cells.rend(); ++it)
            it->table->SetCell(it->row, it->column, it->before);
        for (auto it = step.rows.rbegin(); it != step.rows.rend(); ++it)
            it->table->RemoveAddedRows(it->before);
    }
}

} // namespace

bool EditStep::Touches(const void* document) const {
    return std::any_of(rows.begin(), rows.end(),
                       [document](const RowsAppended& r) { return r.table == document; }) ||
           std::any_of(cells.begin(), cells.end(),
                       [document](const CellChange& c) { return c.table == document; }) ||
           std::any_of(entries.begin(), entries.end(),
                       [document](const EntryChange& e) { return e.strings == document; });
}

void CEditHistory::Push(EditStep step) {
    if (step.Empty())
        return;
    steps_.resize(current_);
    // A document whose saved state lay among the steps now dropped can reach it no more.
    for (auto& [document, point] : clean_) {
        if (point != kNeverClean && point > current_)
            point = kNeverClean;
    }
    steps_.push_back(std::move(step));
    ++current_;
}

const EditStep* CEditHistory::Undo() {
    if (!CanUndo())
        return nullptr;
    const EditStep& step = steps_[--current_];
    Apply(step, false);
    return &step;
}

const EditStep* CEditHistory::Redo() {
    if (!CanRedo())
        return nullptr;
    const EditStep& step = steps_[current_++];
    Apply(step, true);
    return &step;
}

std::size_t CEditHistory::CleanPoint(const void* document) const {
    const auto it = clean_.find(document);
    return it == clean_.end() ? 0 : it->second;
}

bool CEditHistory::Modified(const void* document) const {
    const std::size_t point = CleanPoint(document);
    if (point == kNeverClean)
        return true;
    const std::size_t from = std::min(point, current_);
    const std::size_t to = std::max(point, current_);
    return std::any_of(steps_.begin() + static_cast<std::ptrdiff_t>(from),
                       steps_.begin() + static_cast<std::ptrdiff_t>(to),
                       [document](const EditStep& step) { return step.Touches(document); });
}

void CEditHistory::Clear() {
    std::map<const void*, std::size_t> kept;
    const auto keep = [&](const void* document) {
        kept[document] = Modified(document) ? kNeverClean : 0;
    };
    for (const auto& [document, point] : clean_)
        keep(document);
    for (const EditStep& step : steps_) {
        for (const RowsAppended& rows : step.rows)
            keep(rows.table);
        for (const CellChange& cell : step.cells)
            keep(cell.table);
        for (const EntryChange& entry : step.entries)
            keep(entry.strings);
    }
    steps_.clear();
    current_ = 0;
    clean_ = std::move(kept);
}

void CEditHistory::Forget(const void* document) {
    // Steps of other documents never depend on this one's, so they stay, and every
    // saved state keeps its place among them.
    const auto shifted = [&](std::size_t point) {
        std::size_t removed = 0;
        for (std::size_t i = 0; i < point && i < steps_.size(); ++i)
            removed += steps_[i].Touches(document) ? 1 : 0;
        return point - removed;
    };
    for (auto& [other, point] : clean_) {
        if (point != kNeverClean)
            point = shifted(point);
    }
    current_ = shifted(current_);
    steps_.erase(
        std::remove_if(steps_.begin(), steps_.end(),
                       [document](const EditStep& step) { return step.Touches(document); }),
        steps_.end());
    clean_[document] = current_;
}

void CEditHistory::MarkClean(const void* document) {
    clean_[document] = current_;
}

CRowRecorder::CRowRecorder(CTxtTable& table, std::int32_t row) : table_(table), row_(row) {
    for (std::int32_t c = 0; c < table.ColumnCount(); ++c)
        cells_.emplace_back(table.Text(row, c));
}

void CRowRecorder::Finish(EditStep& step) const {
    for (std::int32_t c = 0; c < static_cast<std::int32_t>(cells_.size()); ++c) {
        const std::string_view now = table_.Text(row_, c);
        if (now != cells_[static_cast<std::size_t>(c)])
            step.cells.push_back(
                {&table_, row_, c, cells_[static_cast<std::size_t>(c)], std::string(now)});
    }
}

CEntryRecorder::CEntryRecorder(CStrTbl& strings, std::vector<std::string> keys)
    : strings_(strings) {
    for (std::string& key : keys) {
        std::optional<EntryState> state = StateOf(strings, strings.Find(key));
        noted_.push_back({std::move(key), std::move(state)});
    }
}

void CEntryRecorder::Finish(EditStep& step) const {
    for (const Noted& noted : noted_) {
        // The entry noted, followed by its index number, or the one an operation added.
        const StrEntry* now = noted.state ? strings_.FindExact(noted.key, noted.state->indexNumber)
                                          : strings_.Find(noted.key);
        std::optional<EntryState> after = StateOf(strings_, now);
        const bool same = noted.state && after && noted.state->text == after->text &&
                          noted.state->indexNumber == after->indexNumber;
        if (same || (!noted.state && !after))
            continue;
        step.entries.push_back({&strings_, noted.key, noted.state, std::move(after)});
    }
}

} // namespace tolmere
