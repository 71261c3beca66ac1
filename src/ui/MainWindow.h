// SPDX-License-Identifier: MIT
// The unique item editor: the program's main window.
#pragma once

#include "app/ProgramData.h"
#include "archive/ArchiveBridge.h"
#include "archive/WorkLock.h"
#include "images/PictureWorker.h"
#include "items/UniqueModel.h"
#include "lint/Lint.h"
#include "ui/SkinDialog.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace tolmere {

class CModListCtrl;
class CProblemsDlg;
class CSetMasterDlg;
struct NameColour;

// Control ids of the main window.
enum MainWindowControl : int {
    kMainItemList = 1000,
    kMainModList = 1002,
    kMainStatus = 1003,
    kMainAdd = 1007,
    kMainEdit = 1008,
    kMainDelete = 1009,
    kMainCatalogueLine = 1010,
    kMainAbout = 1011,
    kMainName = 1012,
    kMainSaveStrings = 1014,
    kMainShowImage = 1015,
    kMainCacheImages = 1016,
    kMainLoadStrings = 1017,
    kMainExtra = 1018,
    kMainSetItems = 1019,
    kMainLanguage = 1020,
    kMainRaw = 1021,
    kMainPlus = 1022,
    kMainFind = 1023,
    kMainProblems = 1024,
    kMainStrings = 1025,
    kMainSpawnOn = 1,
    kMainCancel = 2,
    kMainSaveAs = 3,
    kMainLoadFile = 5,
    kMainReload = 6,
    // The "Modifiers (max N)" frame, named so that its caption can follow the layout.
    kMainModFrame = 1901,
};

class CItemSearch;

class CMainWindow : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    explicit CMainWindow(ProgramData& data, QWidget* parent = nullptr);
    ~CMainWindow() override;

    // The game directory, ending with '/', or empty when no game was found.
    const std::string& GameDir() const { return gameDir_; }
    ProgramData& Data() { return data_; }

    void SetStatus(const QString& text);
    QString StatusText() const;

    // Empties the item list and fills it from the table, selecting `row` (the first
    // entry when -1 or out of range), and fills the modifier list for it.
    void FillItemList(std::int32_t row = -1);
    // What a change of the selected item does: the modifier list, the count in the
    // status line, the catalogue line and a picture request.
    void FillModifierList();
    // After the unique items table was replaced: its layout, the frame's caption, and
    // a message when the table can only be looked at.
    void TakeUniqueLayout();
    // The data row of the selected item, or -1.
    std::int32_t SelectedRow() const;

    // The picture worker, with the flags it shares with this window's thread.
    CPictureWorker& PictureWorker() { return pictureWorker_; }
    // Where the selected item's picture is drawn: the box, in the window's pixels.
    QRect PictureBox() const;
    // Where a picture of that size is drawn in the box: centred, overlapping the box's
    // edges when larger.
    QPoint PicturePlace(int width, int height) const;

protected:
    void OnInitDialog() override;
    void OnOK() override;     // Spawn On
    void OnCancel() override; // closing
    void paintEvent(QPaintEvent* event) override;

private:
    // Start-up and the game (MainWindowFiles.cpp).
    void LoadAtStart();
    // Finds the game where the user pointed or the registry says; without one, offers
    // to choose its folder. Empty when there is none.
    std::string FindGame();
    // Takes the language's string tables from the game; `announce` shows a message
    // when patchstring.tbl did not load. False, with the tables in memory unchanged,
    // when patchstring.tbl could not be read or the language has no tables at all.
    bool TakeStringTables(const std::string& language, bool announce);
    // The game's property and skill tables, for wording the modifiers as it does.
    void TakeGameData();
    // Puts a unique items table loaded from `servedBy` ("" for a file or the patch
    // archive) in place of the one in memory, with a new history.
    void ReplaceUniqueItems(CTxtTable table, const std::string& servedBy);
    void ShowLoadedFrom(Archive archive);
    bool NeedGame() const;
    // A file dialog that opens where the last one was left.
    std::optional<std::string> AskFile(bool save, const char* suffix, const char* name,
                                       const char* filter);

    // Edits, undo and the unsaved-changes guard (MainWindowEdits.cpp).
    // False, having said why, when the table's layout does not allow writing into it.
    bool CanEdit() const;
    CUniqueModel Model() const { return CUniqueModel(data_.uniqueItems, data_.uniqueLayout); }
    // Records a finished user action for undo and shows the caption's mark.
    void Record(EditStep step);
    void OnUndo();
    void OnRedo();
    // Shows an undone or redone step: the row it touched, or the names it changed.
    void ShowStep(const EditStep& step, const char* how);
    // Asks before throwing away unsaved changes to these documents (tables and string
    // tables of the program's data); true when there are none or the user agrees.
    bool AskDiscard(const std::vector<const void*>& documents);
    // " *" after the caption while a document has unsaved changes.
    void UpdateCaption();

    // Colours the closed item list like the selected entry's name.
    void ShowItemColour();
    // The search field's entries, one for each item of the list.
    void FillSearch();
    QComboBox* ItemList() const;
    CModListCtrl* ModList() const;
    QLabel* Label(int id) const;
    // The item list's text for a row; `colour` becomes its name's colour, if it has one.
    QString ItemLabel(std::int32_t row, const NameColour** colour) const;
    void DescribeSelected();
    void UpdateCatalogueLine();

    void OnAdd();
    void OnEdit();
    // Adds or edits the slot in the modifier dialog; refills the list after Apply.
    void RunModifierDialog(std::int32_t row, std::int32_t slot);
    void OnDelete();
    void OnName();
    void OnReload();
    void OnLoadFile();
    void OnSaveAs();
    void OnAbout();
    void OnLoadStrings();
    void OnSaveStrings();
    void OnExtra();
    void OnLanguageChosen();
    // Opens Set Master; `whenOpen` runs once it shows its tables.
    void OnSetItems(const std::function<void(CSetMasterDlg&)>& whenOpen = nullptr);
    // "raw": the whole unique items table in the grid.
    void OnRaw();
    // Raw Edit on the unique items table over `parent`, on data row `row`, column
    // `column` when both are given; true when it changed the table.
    bool RawEditUnique(QWidget* parent, int row = -1, int column = -1);
    // "Changes" (Ctrl+Shift+D); a click on a change shows its item, or opens Raw Edit on
    // a changed cell.
    void OnChanges();
    void ShowItem(std::int32_t row);
    // The Strings window; a row of UniqueItems.txt chosen there is selected here.
    void OnStrings();
    // "Cache Img": every item's picture extracted in one run and decoded into the cache.
    void OnCacheImages();
    // The display's check box rule: on raises a request for the selected item.
    void SetShowImage(bool on);
    // The picture the selected item shows, asked of the worker.
    void RequestPicture();

    // The Problems view (MainWindowProblems.cpp): opened by its button and F8, run again
    // after every edit while it shows.
    LintInput LintSources() const;
    void OnProblems();
    void RefreshProblems();
    // Selects the item or set node of the problem, or opens the grid on its cell.
    void GoToProblem(const Problem& problem);

    ProgramData& data_;
    std::string gameDir_;
    std::optional<CArchiveBridge> bridge_;
    CWorkLock workLock_;            // held for the run on gameDir_
    CItemSearch* search_ = nullptr; // owned by its field
    CPictureWorker pictureWorker_;
    CProblemsDlg* problems_ = nullptr; // a child, made when first opened
    bool txtNoteShown_ = false;        // the game reads changed 1.10+ tables only with -txt
    // The folder file dialogs open in: the game's at first, then where the user was.
    QString fileDialogFolder_;
};

// The names of the program's documents, for questions and messages.
std::string DocumentName(const ProgramData& data, const void* document);
// Asks before throwing away unsaved changes to these documents; true when there are
// none or the user agrees.
bool AskDiscardChanges(const ProgramData& data, const std::vector<const void*>& documents);
// Whether patchstring.tbl can take new names; says why not when it cannot.
bool NamesWritable(const ProgramData& data);

} // namespace tolmere
