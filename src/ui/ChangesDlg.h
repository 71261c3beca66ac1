// SPDX-License-Identifier: MIT
// "Changes" (Ctrl+Shift+D): the table being edited against a base the user chooses
// (the patch archive's copy, the game's own, or a file), one change a line; a click on
// one goes to its item, or for a changed cell to that cell.
#pragma once

#include "app/Changes.h"
#include "ui/SkinDialog.h"

#include <functional>
#include <vector>

namespace tolmere {

enum ChangesControl : int {
    kChangesBase = 1001,
    kChangesSummary = 1002,
    kChangesList = 1003,
    kChangesOk = 1,
};

class CChangesDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;
    // The choices of kChangesBase, in order.
    enum Base : int { kBasePatch = 0, kBaseGame = 1, kBaseFile = 2 };

    // Goes to a data row's item (column -1) or to a cell of it, over `dialog`; true when
    // the table changed there, and the list is compared again.
    using GoToFn = std::function<bool(std::int32_t row, std::int32_t column, QWidget* dialog)>;

    // `bridge` is null without a game.
    CChangesDlg(QWidget* parent, const CArchiveBridge* bridge, ChangesRequest request, GoToFn goTo);

    // Compares with the base of that choice (asking for the file of kBaseFile).
    void Compare(int base);
    // Lists a comparison's changes; Compare's last step.
    void Show(const ChangesReport& report);

protected:
    void OnInitDialog() override;

private:
    void GoTo(int line);

    const CArchiveBridge* bridge_;
    ChangesRequest request_;
    GoToFn goTo_;
    ChangesBase compared_; // the base of the list shown
    std::vector<ChangeLine> lines_;
};

// The shortcut that opens it on the main window.
void AddChangesShortcut(QWidget* window, const std::function<void()>& open);

} // namespace tolmere
