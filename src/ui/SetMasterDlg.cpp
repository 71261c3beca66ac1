// SPDX-License-Identifier: MIT
#include "ui/SetMasterDlg.h"

#include "base/Guide.h"
#include "items/NameColours.h"
#include "mods/ModifierChoices.h"
#include "ui/ChangePalDlg.h"
#include "ui/DibImage.h"
#include "ui/ItemSearch.h"
#include "ui/MainWindow.h"
#include "ui/MessagesDlg.h"
#include "ui/ModListCtrl.h"
#include "ui/ModifierDlg.h"
#include "ui/NameDlg.h"
#include "ui/ProblemsDlg.h"
#include "ui/RawEditDlg.h"
#include "ui/ScreenText.h"
#include "ui/StatusLine.h"
#include "ui/StringsDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

namespace tolmere {
namespace {

using K = ControlKind;

const char kCaption[] = "Set Master";

const QColor kMemberColour(160, 160, 235);
const QColor kSetColour(221, 204, 102);

constexpr int kNodeRole = Qt::UserRole;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The selected item's picture, right of the modifier frame, in a box of 106 × 118
// pixels as in the main window.
const ControlRow kPictureBox{kNoControlId, K::kStatic, "", 342, 22, 71, 73};

} // namespace

const DialogTemplate CSetMasterDlg::kTemplate{
    107,
    kCaption,
    420,
    253,
    {
        {kSetTree, K::kTreeView, "", 7, 21, 157, 195},
        {kSetFind, K::kEdit, "", 7, 7, 157, 12},
        {kSetModList, K::kListView, "", 178, 22, 151, 124},
        {kSetFrame, K::kGroupBox, "[25] Max total modifiers  [2] Fixed on each Item", 171, 7, 164,
         173},
        {kSetStatus, K::kStaticCentered, "Ready.", 177, 148, 151, 10},
        {kSetAdd, K::kSkinButton, "Add", 177, 162, 50, 13},
        {kSetEdit, K::kSkinButton, "Edit", 228, 162, 50, 13},
        {kSetDelete, K::kSkinButton, "Delete", 279, 162, 50, 13},
        {kSetRawEdit, K::kSkinButton, "&Raw Edit", 171, 184, 50, 13},
        {kSetStrings, K::kSkinButton, "Strings", 223, 184, 50, 13},
        {kSetSpawnOn, K::kSkinButton, "Spawn &On", 7, 220, 50, 14},
        {kSetCancel, K::kSkinButton, "&Cancel", 59, 220, 50, 14},
        {kSetLoadFile, K::kSkinButton, "Load &File", 111, 220, 55, 14},
        {kSetSaveAs, K::kSkinButton, "Save &As", 168, 220, 55, 14},
        {kSetNames, K::kSkinButton, "C&hange Names", 226, 220, 64, 14},
        {kSetColours, K::kSkinButton, "Pa&l Colors", 292, 220, 46, 14},
    }};

CSetMasterDlg::CSetMasterDlg(ProgramData& data, const CArchiveBridge* bridge, bool pictures,
                             QWidget* parent)
    : CSkinDialog(kTemplate, parent), data_(data), bridge_(bridge),
      model_({&data.setItems, &data.sets}), pictures_(pictures) {
    setWindowFlag(Qt::Window); // a taskbar button of its own
    ControlAs<QPushButton>(kSetSpawnOn)->setDefault(true);
    for (const auto& [id, what] : std::initializer_list<std::pair<int, const char*>>{
             {kSetSpawnOn, "Write SetItems.txt (and Sets.txt) into patch_d2.mpq in one go, "
                           "then offer the names"},
             {kSetCancel, "Back to the unique items (Escape)"},
             {kSetLoadFile, "Open a set table file"},
             {kSetSaveAs, "Save the set tables as files"},
             {kSetNames, "Rename the selected set or item in patchstring.tbl"},
             {kSetColours, "Pick the selected set's or item's colour"},
             {kSetAdd, "Add a modifier to the selected group"},
             {kSetEdit, "Edit the selected modifier (Enter or a double click)"},
             {kSetDelete, "Delete the selected modifier; the later ones in its group move up"},
             {kSetRawEdit, "Edit every cell of the selected node's table in a grid"},
             {kSetStrings, "Find, change and add the texts of the string tables (Ctrl+T)"},
         })
        DescribeControl(this, id, what);
    // The tree and the modifiers share the new width, and both take the new height.
    constexpr Growth kTreeGrowth{0, 0.5, 0, 1};
    constexpr Growth kListGrowth{0.5, 0.5, 0, 1};
    constexpr Growth kUnderList{0.5, 0.5, 1, 0};
    constexpr Growth kListButton{0.5, 0, 1, 0};
    MakeResizable(QStringLiteral("sets"), {{kSetTree, kTreeGrowth},
                                           {kSetFind, Growth{0, 0.5, 0, 0}},
                                           {kSetModList, kListGrowth},
                                           {kSetFrame, kListGrowth},
                                           {kSetStatus, kUnderList},
                                           {kSetAdd, kListButton},
                                           {kSetEdit, kListButton},
                                           {kSetDelete, kListButton},
                                           {kSetRawEdit, kListButton},
                                           {kSetStrings, kListButton},
                                           {kSetSpawnOn, kFollowBottom},
                                           {kSetCancel, kFollowBottom},
                                           {kSetLoadFile, kFollowBottom},
                                           {kSetSaveAs, kFollowBottom},
                                           {kSetNames, kFollowBottom},
                                           {kSetColours, kFollowBottom}});
    OnCommand(kSetAdd, [this] { OnAdd(); });
    OnCommand(kSetEdit, [this] { OnEdit(); });
    OnCommand(kSetDelete, [this] { OnDelete(); });
    OnCommand(kSetNames, [this] { OnNames(); });
    OnCommand(kSetColours, [this] { OnColours(); });
    OnCommand(kSetLoadFile, [this] { OnLoadFile(); });
    OnCommand(kSetSaveAs, [this] { OnSaveAs(); });
    OnCommand(kSetRawEdit, [this] { OnRawEdit(); });
    OnCommand(kSetStrings, [this] { OnStrings(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this), &QShortcut::activated, this,
            [this] { OnStrings(); });
    connect(Tree(), &QTreeWidget::currentItemChanged, this, [this] { FillList(); });
    auto* find = ControlAs<QLineEdit>(kSetFind);
    find->setPlaceholderText(QStringLiteral("Find a set or item (Ctrl+F)"));
    search_ = new CItemSearch(find, [this](int index) {
        SelectNode(model_.Node(index).number);
        Tree()->setFocus();
    });
    connect(ModList(), &CModListCtrl::doubleClickedAnywhere, this, [this] { OnEdit(); });
    connect(ModList(), &CModListCtrl::enterPressed, this, [this] { OnEdit(); });
    AddMessagesShortcut(this);
    AddProblemsShortcut(
        this,
        [this] {
            return LintTables(
                {&data_.uniqueItems, &data_.setItems, &data_.sets, &data_.game, &data_.strings});
        },
        [this](const Problem& problem) { SelectNode(SetNodeOfProblem(model_.Tree(), problem)); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this), &QShortcut::activated, this,
            [this] { OnUndoRedo(false); });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this] { OnUndoRedo(true); });
}

QTreeWidget* CSetMasterDlg::Tree() const {
    return ControlAs<QTreeWidget>(kSetTree);
}
CModListCtrl* CSetMasterDlg::ModList() const {
    return ControlAs<CModListCtrl>(kSetModList);
}
QString CSetMasterDlg::StatusText() const {
    return StatusTextOf(ControlAs<QLabel>(kSetStatus));
}
void CSetMasterDlg::SetStatus(const std::string& text) {
    ShowStatusText(ControlAs<QLabel>(kSetStatus), Text(text));
}

void CSetMasterDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    ModList()->Prepare();
    Control(kSetRawEdit)->setVisible(data_.extraFeatures);
    LoadFromGame();
    FillTree();
    if (pictures_)
        CachePictures();
}

QRect CSetMasterDlg::PictureBox() const {
    const QRect place =
        DialogUnitsRect(kPictureBox.x, kPictureBox.y, kPictureBox.cx, kPictureBox.cy);
    // Right of the modifier frame, whose right edge follows the window's.
    return QRect(place.topLeft() + ClientRect().topLeft() + QPoint(Grown().width(), 0),
                 QSize(106, 118));
}

void CSetMasterDlg::CachePictures() {
    if (!bridge_ || !data_.baseLists.Loaded())
        return;
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < model_.NodeCount(); ++i) {
        const std::string name = model_.PictureName(model_.Node(i), data_.baseLists);
        if (!name.empty())
            names.push_back(name);
    }
    data_.pictures.ForgetEmpty();
    bridge_->RunPictureScript(names);
    for (const std::string& name : names)
        LoadItemPic(data_.pictures, bridge_->WorkDir(), name);
    bridge_->RemovePictures();
    ShowPicture(SelectedNode());
}

void CSetMasterDlg::ShowPicture(std::int32_t index) {
    // Only what the cache holds: the pictures are taken as the window opens.
    picture_.reset();
    const std::string name =
        index >= 0 ? model_.PictureName(model_.Node(index), data_.baseLists) : std::string();
    if (pictures_ && !name.empty() && data_.pictures.FindPic(name) >= 0)
        picture_ = data_.pictures.CurrentPic();
    update(PictureBox());
}

void CSetMasterDlg::paintEvent(QPaintEvent* event) {
    CSkinDialog::paintEvent(event);
    if (!picture_ || picture_->IsEmpty())
        return;
    QPainter painter(this);
    const QRect box = PictureBox();
    const int width = static_cast<int>(picture_->Desc().width);
    const int height = static_cast<int>(picture_->Desc().height);
    // Centred as in the main window; entry 0 lets the dialog show through.
    DrawAt(painter, *picture_, box.left() + (box.width() - width) / 2,
           box.top() + (box.height() - height) / 2, 0);
}

void CSetMasterDlg::FillTree() {
    model_.Rebuild();
    ControlAs<QGroupBox>(kSetFrame)->setTitle(Text(model_.Tree().frameText));
    QTreeWidget* tree = Tree();
    const QSignalBlocker quiet(tree);
    tree->clear();
    std::vector<QTreeWidgetItem*> items;
    std::vector<CItemSearch::Entry> entries;
    for (std::int32_t i = 0; i < model_.NodeCount(); ++i) {
        const SetNode& node = model_.Node(i);
        auto* item = node.IsMember()
                         ? new QTreeWidgetItem(items[static_cast<std::size_t>(node.parent)])
                         : new QTreeWidgetItem(tree);
        item->setData(0, kNodeRole, i);
        SetLabel(item, node);
        items.push_back(item);
        entries.push_back({item->text(0), i});
    }
    search_->SetEntries(entries);
    tree->expandAll();
    if (!items.empty())
        tree->setCurrentItem(items.front());
    FillList();
}

bool CSetMasterDlg::SelectNode(std::int32_t number) {
    const std::int32_t index = model_.Tree().Find(number);
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
        if ((*it)->data(0, kNodeRole).toInt() == index) {
            Tree()->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

std::int32_t CSetMasterDlg::SelectedNode() const {
    const QTreeWidgetItem* item = Tree()->currentItem();
    return item ? item->data(0, kNodeRole).toInt() : -1;
}

const SetListLine* CSetMasterDlg::SelectedLine() const {
    const int line = ModList()->CurrentLine();
    return line >= 0 && line < static_cast<int>(lines_.size())
               ? &lines_[static_cast<std::size_t>(line)]
               : nullptr;
}

void CSetMasterDlg::FillList() {
    const std::int32_t index = SelectedNode();
    if (index < 0) {
        lines_.clear();
        ModList()->Clear();
        return;
    }
    ShowPicture(index);
    const SetNode& node = model_.Node(index);
    ModList()->SetTextColour(node.IsMember() ? kMemberColour : kSetColour);
    lines_ = model_.Lines(node, data_.modKeys, data_.game, data_.strings);
    std::vector<ModLine> shown;
    for (const SetListLine& line : lines_)
        shown.push_back(
            {line.slot, line.slot < 0 ? "\xe2\x80\x94 " + line.text + " \xe2\x80\x94" : line.text});
    ModList()->SetLines(shown);
    const SetRowInfo info = model_.Info(index);
    std::string status = "Modifiers [" + std::to_string(info.listed) + "]";
    if (!node.IsMember())
        status += " - TotalModifiers [" + std::to_string(info.modifierCount) + "]";
    ShowStatusText(ControlAs<QLabel>(kSetStatus), Text(status), false);
}

void CSetMasterDlg::SetLabel(QTreeWidgetItem* item, const SetNode& node) const {
    // A name's colour code shows as its colour, as in the item list.
    const ColouredText label = SplitColourCodes(model_.Label(node, data_.strings));
    item->setText(0, ScreenText(label.text, TextSource::kStringTable));
    if (label.colour)
        item->setForeground(0, QColor(label.colour->red, label.colour->green, label.colour->blue));
    // The tree is narrow; the whole label shows when the pointer rests on it.
    item->setToolTip(0, item->text(0));
}

void CSetMasterDlg::Relabel(std::int32_t index) {
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
        if ((*it)->data(0, kNodeRole).toInt() != index)
            continue;
        SetLabel(*it, model_.Node(index));
    }
}

void CSetMasterDlg::Record(EditStep step) {
    data_.history.Push(std::move(step));
    UpdateCaption();
}

void CSetMasterDlg::UpdateCaption() {
    bool modified = false;
    for (const void* document :
         {static_cast<const void*>(&data_.setItems), static_cast<const void*>(&data_.sets),
          static_cast<const void*>(&data_.strings.Patch())})
        modified = modified || data_.history.Modified(document);
    setWindowTitle(QString::fromLatin1(kCaption) + (modified ? QStringLiteral(" *") : QString()));
}

bool CSetMasterDlg::CanEdit() const {
    if (model_.Tree().Editable())
        return true;
    GuideMsg(model_.Tree().problem + "\nThe table is read-only.", kCaptionGuide);
    return false;
}

void CSetMasterDlg::OnAdd() {
    const std::int32_t index = SelectedNode();
    if (index < 0 || !CanEdit())
        return;
    const SetNode& node = model_.Node(index);
    const SetListLine* line = SelectedLine();
    const SetAddTarget target = model_.SlotForNewModifier(node, line ? line->group : -1);
    if (target.slot < 0) {
        GuideMsg(target.refusal, kCaptionGuide);
        return;
    }
    RunModifierDialog(index, target.group, target.slot);
}

void CSetMasterDlg::OnEdit() {
    const std::int32_t index = SelectedNode();
    const SetListLine* line = SelectedLine();
    if (index < 0 || !line || line->slot < 0 || !CanEdit())
        return;
    RunModifierDialog(index, line->group, line->slot);
}

void CSetMasterDlg::RunModifierDialog(std::int32_t index, std::int32_t group, std::int32_t slot) {
    const SetNode& node = model_.Node(index);
    CTxtTable& table = *model_.TableOf(node);
    const ModifierSlots& edit = node.groups[static_cast<std::size_t>(group)].edit;
    const CRowRecorder recorder(table, node.row);
    const CModifierChoices choices =
        CModifierChoices::For(edit, data_.modKeys, data_.game, data_.strings);
    CModifierDlg dialog(slot, node.row, table, choices, edit, this);
    if (dialog.RunModal() != kDialogOk)
        return;
    EditStep step;
    step.name = dialog.Editing() ? "Edit modifier" : "Add modifier";
    recorder.Finish(step);
    Record(std::move(step));
    FillList();
}

void CSetMasterDlg::OnDelete() {
    const std::int32_t index = SelectedNode();
    if (index < 0 || !CanEdit())
        return;
    const SetNode& node = model_.Node(index);
    const SetListLine* line = SelectedLine();
    const std::string refusal = model_.DeleteRefusal(node, line ? line->group : -1);
    if (!refusal.empty()) {
        GuideMsg(refusal, kCaptionGuide);
        return;
    }
    if (!line || line->slot < 0)
        return;
    CTxtTable& table = *model_.TableOf(node);
    const ModifierSlots& edit = node.groups[static_cast<std::size_t>(line->group)].edit;
    const std::string code(table.Text(node.row, edit.CodeColumn(line->slot)));
    std::optional<EditStep> step =
        AskAndDeleteModifier(table, node.row, code, ModList()->CurrentText(),
                             [&] { return model_.DeleteModifier(node, line->group, line->slot); });
    if (!step)
        return;
    Record(std::move(*step));
    FillList();
}

void CSetMasterDlg::OnNames() {
    const std::int32_t index = SelectedNode();
    if (index < 0)
        return;
    if (!NamesWritable(data_))
        return;
    const SetNode& node = model_.Node(index);
    const std::string key = model_.NameKey(node);
    if (key.empty())
        return;
    const std::string second = model_.SecondKey(node);
    std::vector<std::string> keys{key};
    if (!second.empty())
        keys.push_back(second);
    const CEntryRecorder recorder(data_.strings.Patch(), keys);
    CNameDlg dialog(data_.strings, key, second, this);
    if (dialog.RunModal() != kDialogOk)
        return;
    EditStep step;
    step.name = "Rename " + key;
    recorder.Finish(step);
    Record(std::move(step));
    Relabel(index);
}

void CSetMasterDlg::OnColours() {
    const std::int32_t index = SelectedNode();
    if (index < 0 || !CanEdit())
        return;
    const SetNode& node = model_.Node(index);
    CTxtTable* table = model_.TableOf(node);
    if (!table || node.colourColumn < 0) {
        GuideMsg(model_.TableName(node) + " keeps no colour for " +
                     (node.IsMember() ? "this item" : "a set: choose one of its items"),
                 kCaptionGuide);
        return;
    }
    const CRowRecorder recorder(*table, node.row);
    CChangePalDlg dialog(data_.colours, *table, node.row, node.colourColumn, this);
    if (dialog.RunModal() != kDialogOk)
        return;
    EditStep step;
    step.name = "Change colour";
    recorder.Finish(step);
    Record(std::move(step));
}

void CSetMasterDlg::OnCancel() {
    if (!AskDiscardChanges(data_, {&data_.setItems, &data_.sets}))
        return;
    done(kDialogCancel);
}

void CSetMasterDlg::OnRawEdit() {
    // No layout needed: Raw Edit is where a header that fits none is repaired.
    // The table of the selected node: a set's own bonuses of the game's layout are in
    // Sets.txt, everything else in SetItems.txt.
    const std::int32_t index = SelectedNode();
    const SetNode* node = index >= 0 ? &model_.Node(index) : nullptr;
    CTxtTable* table = node && model_.TableOf(*node) ? model_.TableOf(*node) : &data_.setItems;
    const std::string name =
        node && model_.TableOf(*node) ? model_.TableName(*node) : "SetItems.txt";
    const std::int32_t number = node ? node->number : -1;
    const auto loadLists = [this] {
        std::string failedList, reason;
        return bridge_ && bridge_->ExtractBaseLists(data_.baseLists, failedList, reason);
    };
    RunRawEdit(data_, *table, name, loadLists, this);
    FillTree();
    SelectNode(number);
    UpdateCaption();
}

void CSetMasterDlg::OnStrings() {
    const std::int32_t index = SelectedNode();
    std::int32_t number = index >= 0 ? model_.Node(index).number : -1;
    const auto goTo = [this, &number](const StringUse& use) {
        for (const SetNode& node : model_.Tree().nodes) {
            if (node.row == use.row && model_.TableOf(node) &&
                model_.TableName(node) == use.table) {
                number = node.number;
                return true;
            }
        }
        return false;
    };
    RunStrings(data_, goTo, this);
    FillTree();
    SelectNode(number);
    UpdateCaption();
}

void CSetMasterDlg::OnUndoRedo(bool redo) {
    const EditStep* step = redo ? data_.history.Redo() : data_.history.Undo();
    if (!step)
        return;
    const std::int32_t selected = SelectedNode();
    const std::int32_t number = selected >= 0 ? model_.Node(selected).number : -1;
    FillTree();
    SelectNode(number);
    UpdateCaption();
    SetStatus((redo ? "Redone: " : "Undone: ") + step->name);
}

} // namespace tolmere
