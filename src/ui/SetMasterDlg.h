// SPDX-License-Identifier: MIT
// The set item editor: every set with its items in a tree, the selected node's
// modifiers, and the files and archive of the set tables.
#pragma once

#include "app/ProgramData.h"
#include "archive/ArchiveBridge.h"
#include "sets/SetModel.h"
#include "ui/SkinDialog.h"

#include <optional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace tolmere {

class CModListCtrl;

enum SetMasterControl : int {
    kSetTree = 1026,
    kSetModList = 1021,
    kSetFrame = 1901,
    kSetStatus = 1027,
    kSetAdd = 1011,
    kSetEdit = 1024,
    kSetDelete = 1025,
    kSetRawEdit = 1013,
    kSetSpawnOn = 1,
    kSetCancel = 2,
    kSetLoadFile = 1022,
    kSetSaveAs = 1023,
    kSetNames = 1028,
    kSetColours = 1029,
    kSetFind = 1030,
    kSetStrings = 1031,
};

class CItemSearch;

class CSetMasterDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // `bridge` is null when no game was found: the tables then come from files only.
    // With `pictures` (the main window shows pictures) the items' pictures are taken
    // from the game as the window opens, and the selected item's is drawn.
    CSetMasterDlg(ProgramData& data, const CArchiveBridge* bridge, bool pictures = false,
                  QWidget* parent = nullptr);

    QTreeWidget* Tree() const;
    CModListCtrl* ModList() const;
    QString StatusText() const;
    const CSetModel& Model() const { return model_; }
    // Selects the node of that number; false when there is none.
    bool SelectNode(std::int32_t number);

    // After the set tables were replaced: the tree anew, the first set selected.
    void FillTree();
    // Where the selected item's picture is drawn, in the window's pixels.
    QRect PictureBox() const;
    // The picture drawn now, or null.
    std::shared_ptr<const CDib> Picture() const { return picture_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;     // Spawn On
    void OnCancel() override; // closing, after asking about unsaved changes
    void paintEvent(QPaintEvent* event) override;

private:
    // Takes SetItems.txt (and Sets.txt where the layout keeps one) from the game; the
    // tables in memory change only when every one loaded.
    void LoadFromGame();
    // Puts loaded tables in place of those in memory, with their histories cleared.
    void Replace(CTxtTable setItems, std::optional<CTxtTable> sets, const std::string& itemsFrom,
                 const std::string& setsFrom);
    std::int32_t SelectedNode() const;
    // The selected list line, or nothing.
    const SetListLine* SelectedLine() const;
    void FillList();
    // Every item's picture extracted in one run of the tool and decoded into the cache.
    void CachePictures();
    void ShowPicture(std::int32_t index);
    void Relabel(std::int32_t index);
    void SetLabel(QTreeWidgetItem* item, const SetNode& node) const;
    void SetStatus(const std::string& text);
    void Record(EditStep step);
    void UpdateCaption();
    bool CanEdit() const;
    std::optional<std::string> AskFile(bool save, const char* name);

    void OnAdd();
    void OnEdit();
    void RunModifierDialog(std::int32_t index, std::int32_t group, std::int32_t slot);
    void OnDelete();
    void OnNames();
    void OnColours();
    void OnLoadFile();
    void OnSaveAs();
    void OnUndoRedo(bool redo);
    void OnRawEdit();
    // The Strings window; a set or set item chosen there is selected here.
    void OnStrings();

    ProgramData& data_;
    const CArchiveBridge* bridge_;
    CSetModel model_;
    std::vector<SetListLine> lines_;
    QString fileDialogFolder_;
    bool pictures_;
    CItemSearch* search_ = nullptr; // owned by its field
    std::shared_ptr<const CDib> picture_;
};

} // namespace tolmere
