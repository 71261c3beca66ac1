// SPDX-License-Identifier: MIT
// Undo and redo: every edit the user makes is one step that knows the cells and
// string-table entries it changed, before and after, byte for byte. The history also
// tells which documents (a table, a string table) differ from what was last saved.
#pragma once

#include "tables/StrTbl.h"
#include "tables/TxtTable.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tolmere {

struct CellChange {
    CTxtTable* table = nullptr;
    std::int32_t row = 0; // data row
    std::int32_t column = 0;
    std::string before;
    std::string after;
};

// Rows appended to a table: its data rows before and after.
struct RowsAppended {
    CTxtTable* table = nullptr;
    std::int32_t before = 0;
    std::int32_t after = 0;
};

// One entry of a string table as it stood: its text, its place in the table's order
// of writing and its place in the list that lookups walk.
struct EntryState {
    std::string text;
    std::uint32_t indexNumber = 0;
    std::size_t position = 0;
};

struct EntryChange {
    CStrTbl* strings = nullptr;
    std::string key;
    std::optional<EntryState> before; // nothing: the entry did not exist
    std::optional<EntryState> after;
};

// One user action.
struct EditStep {
    std::string name;               // "Add modifier", shown after "Undone: "
    std::vector<RowsAppended> rows; // carried out before the cells, undone after them
    std::vector<CellChange> cells;
    std::vector<EntryChange> entries;

    bool Empty() const { return rows.empty() && cells.empty() && entries.empty(); }
    bool Touches(const void* document) const;
};

class CEditHistory {
public:
    // Records a step that has already been carried out; an empty one is dropped. Steps
    // undone before are gone.
    void Push(EditStep step);
    // Undoes the last step, or redoes the last undone one; null when there is none.
    const EditStep* Undo();
    const EditStep* Redo();
    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ < steps_.size(); }

    // Forgets every step. A document that differs from its saved state goes on
    // differing until it is saved.
    void Clear();
    // Drops the steps of a document that was replaced as a whole, keeping every other
    // document's; the new content counts as saved.
    void Forget(const void* document);
    // The document (a CTxtTable or CStrTbl) now matches what was saved or loaded.
    void MarkClean(const void* document);
    // Whether undoing or redoing to the clean point would change the document.
    bool Modified(const void* document) const;

private:
    static constexpr std::size_t kNeverClean = SIZE_MAX;
    std::size_t CleanPoint(const void* document) const;

    std::vector<EditStep> steps_;
    std::size_t current_ = 0; // steps_[0, current_) are carried out
    std::map<const void*, std::size_t> clean_;
};

// Notes a row's cells so that what an operation then changes in it becomes a step.
class CRowRecorder {
public:
    CRowRecorder(CTxtTable& table, std::int32_t row);
    // Adds a change for every cell of the row that differs from what was noted.
    void Finish(EditStep& step) const;

private:
    CTxtTable& table_;
    std::int32_t row_;
    std::vector<std::string> cells_;
};

// Notes the entries of some keys so that what an operation then changes becomes a step.
class CEntryRecorder {
public:
    CEntryRecorder(CStrTbl& strings, std::vector<std::string> keys);
    void Finish(EditStep& step) const;

private:
    struct Noted {
        std::string key;
        std::optional<EntryState> state;
    };
    CStrTbl& strings_;
    std::vector<Noted> noted_;
};

} // namespace tolmere
