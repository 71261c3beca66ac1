// SPDX-License-Identifier: MIT
// The modifier list of both editor windows: one line per shown modifier, each line
// carrying the slot it stands for.
#pragma once

#include "mods/Describe.h"

#include <QTreeWidget>

namespace tolmere {

class CModListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CModListCtrl(QWidget* parent = nullptr);

    // Report view: column 0 empty and one pixel wide, column 1 "Modifier", centred,
    // 220 pixels; whole rows are selected.
    void Prepare();

    // Replaces the whole list with these lines, top to bottom; no line is marked.
    void SetLines(const std::vector<ModLine>& lines);
    void Clear() { SetLines({}); }
    // The colour of the lines' text, this and every later fill.
    void SetTextColour(const QColor& colour);
    QColor TextColour() const { return textColour_; }

    int LineCount() const { return topLevelItemCount(); }
    QString LineText(int line) const;
    std::int32_t LineSlot(int line) const;
    // The slot of the current line, the selection mark: the line most recently
    // selected, which a click on blank space does not take away. -1 when there is none.
    std::int32_t CurrentSlot() const;
    // The selected line's text as shown; empty when none is selected.
    QString CurrentText() const;
    // The current line's index, or -1.
    int CurrentLine() const { return mark_; }
    void SelectLine(int line);

Q_SIGNALS:
    // A key was released in the list.
    void keyReleased();
    // A double click, on a line or on blank space.
    void doubleClickedAnywhere();
    // Enter or Return on the list: what a double click on the selected line does.
    void enterPressed();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int mark_ = -1;
    QColor textColour_; // invalid: the skin's
};

} // namespace tolmere
