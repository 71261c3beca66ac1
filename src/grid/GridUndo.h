// SPDX-License-Identifier: MIT
// Undo inside the grid before its edits are applied to the table: every commit, paste,
// replace, fill or calculation is one step, taken back and done again byte for byte,
// change marks included.
#pragma once

#include "grid/CellSheet.h"
#include "grid/GridModel.h"

#include <string>
#include <vector>

namespace tolmere {

class CGridUndo {
public:
    // Writes the changes, adding the rows they ask for first, as one step named `name`.
    // Nothing when the result failed or changes nothing.
    bool Apply(CGridModel& model, const GridEditResult& result, std::string name);

    // A step gathered a write at a time (an edit and what its hook writes after it).
    void Open(CGridModel& model, std::string name);
    bool IsOpen() const { return open_; }
    void Write(CGridModel& model, int row, int column, std::string_view text);
    void AddRow(CGridModel& model);
    // Keeps the step when it changed anything.
    void Close();

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The step's name, or empty.
    std::string UndoName() const;
    std::string RedoName() const;
    // The cells the step touched, for the caller to show.
    bool Undo(CGridModel& model, std::vector<GridCell>* cells = nullptr);
    bool Redo(CGridModel& model, std::vector<GridCell>* cells = nullptr);
    void Clear();

private:
    struct Cell {
        int row = 0, column = 0;
        std::string before, after;
        bool beforeChanged = false;
    };
    struct Step {
        std::string name;
        int rowsBefore = 0, rowsAfter = 0;
        std::vector<Cell> cells;
    };
    std::vector<Step> steps_;
    std::size_t done_ = 0;
    bool open_ = false;
};

} // namespace tolmere
