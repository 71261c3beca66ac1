// SPDX-License-Identifier: MIT
#include "grid/GridUndo.h"

namespace tolmere {

bool CGridUndo::Apply(CGridModel& model, const GridEditResult& result, std::string name) {
    if (!result.Ok() || (result.changes.empty() && result.rowsToAdd == 0))
        return false;
    Open(model, std::move(name));
    for (int r = 0; r < result.rowsToAdd; ++r)
        AddRow(model);
    for (const GridChange& change : result.changes)
        Write(model, change.row, change.column, change.text);
    Close();
    return true;
}

void CGridUndo::Open(CGridModel& model, std::string name) {
    if (open_)
        Close();
    // A new step drops what was undone after it.
    steps_.resize(done_);
    steps_.push_back({std::move(name), model.RowCount(), model.RowCount(), {}});
    open_ = true;
}

void CGridUndo::Write(CGridModel& model, int row, int column, std::string_view text) {
    if (!open_ || !model.Contains(row, column))
        return;
    const std::string_view before = model.Text(row, column);
    if (before == text)
        return;
    steps_.back().cells.push_back(
        {row, column, std::string(before), std::string(text), model.Changed(row, column)});
    model.SetText(row, column, text);
}

void CGridUndo::AddRow(CGridModel& model) {
    if (!open_)
        return;
    model.AddRow();
    steps_.back().rowsAfter = model.RowCount();
}

void CGridUndo::Close() {
    if (!open_)
        return;
    open_ = false;
    const Step& step = steps_.back();
    if (step.cells.empty() && step.rowsAfter == step.rowsBefore)
        steps_.pop_back();
    done_ = steps_.size();
}

std::string CGridUndo::UndoName() const {
    return CanUndo() ? steps_[done_ - 1].name : std::string();
}

std::string CGridUndo::RedoName() const {
    return CanRedo() ? steps_[done_].name : std::string();
}

bool CGridUndo::Undo(CGridModel& model, std::vector<GridCell>* cells) {
    Close();
    if (!CanUndo())
        return false;
    const Step& step = steps_[--done_];
    // Cells in reverse, so a cell written twice ends as it first was.
    for (auto cell = step.cells.rbegin(); cell != step.cells.rend(); ++cell) {
        model.Restore(cell->row, cell->column, cell->before, cell->beforeChanged);
        if (cells)
            cells->push_back({cell->row, cell->column});
    }
    while (model.RowCount() > step.rowsBefore)
        model.RemoveLastRow();
    return true;
}

bool CGridUndo::Redo(CGridModel& model, std::vector<GridCell>* cells) {
    Close();
    if (!CanRedo())
        return false;
    const Step& step = steps_[done_++];
    while (model.RowCount() < step.rowsAfter)
        model.AddRow();
    for (const Cell& cell : step.cells) {
        model.SetText(cell.row, cell.column, cell.after);
        if (cells)
            cells->push_back({cell.row, cell.column});
    }
    return true;
}

void CGridUndo::Clear() {
    steps_.clear();
    done_ = 0;
    open_ = false;
}

} // namespace tolmere
