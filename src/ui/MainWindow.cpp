// SPDX-License-Identifier: MIT
#include "ui/MainWindow.h"

#include "base/Guide.h"
#include "items/NameColours.h"
#include "mods/GameDescribe.h"
#include "ui/AboutDlg.h"
#include "ui/ChangesDlg.h"
#include "ui/ItemSearch.h"
#include "ui/MessagesDlg.h"
#include "ui/ModListCtrl.h"
#include "ui/RawEditDlg.h"
#include "ui/ScreenText.h"
#include "ui/SetMasterDlg.h"
#include "ui/StatusLine.h"
#include "ui/StringsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTimer>

namespace tolmere {
namespace {

using K = ControlKind;

const char* const kLanguages[] = {"ENG", "CHI", "DEU", "ESP", "KOR", "JPN", "POL", "ITA", "FRA"};

QString Bytes(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

} // namespace

const DialogTemplate CMainWindow::kTemplate{
    102,
    "Tolmere edit",
    279,
    200,
    {
        {kMainModFrame, K::kGroupBox, "Modifiers (max 10)", 7, 39, 258, 130},
        {kMainItemList, K::kDropDownList, "", 7, 21, 177, 12},
        // After the list, which keeps the first focus: Ctrl+Z there undoes the table's
        // edits, in the field its own typing.
        {kMainFind, K::kEdit, "", 7, 7, 177, 12},
        {kMainModList, K::kListView, "", 11, 50, 151, 100},
        {kMainAdd, K::kSkinButton, "Add", 170, 49, 56, 13},
        {kMainEdit, K::kSkinButton, "Edit", 170, 64, 56, 13},
        {kMainDelete, K::kSkinButton, "Delete", 170, 79, 56, 13},
        {kMainSpawnOn, K::kSkinButton, "S&pawn On", 7, 176, 64, 14},
        {kMainReload, K::kSkinButton, "&Reload", 72, 176, 64, 14},
        {kMainLoadFile, K::kSkinButton, "Load &File", 137, 176, 63, 14},
        {kMainSaveAs, K::kSkinButton, "Save &As", 201, 176, 64, 14},
        {kMainName, K::kSkinButton, "&Name", 188, 7, 40, 13},
        {kMainAbout, K::kSkinButton, "A&bout", 230, 7, 35, 13},
        {kMainCacheImages, K::kSkinButton, "&Cache Img", 11, 152, 46, 14},
        {kMainRaw, K::kSkinButton, "raw", 227, 151, 16, 13, kStyleHidden},
        {kMainLoadStrings, K::kSkinButton, "Load .tbl", 228, 49, 37, 13},
        {kMainSaveStrings, K::kSkinButton, "Save .tbl", 228, 64, 37, 13},
        {kMainExtra, K::kSkinButton, "xtra", 245, 151, 16, 13},
        {kMainSetItems, K::kSkinButton, "Set &Master", 188, 21, 77, 12},
        {kMainStrings, K::kSkinButton, "Strings", 228, 79, 37, 13},
        {kMainLanguage, K::kDropDownList, "", 170, 94, 75, 12, kStyleHidden},
        {kMainCancel, K::kDrawnButton, "Cancel", 7, 180, 64, 14, kStyleHidden},
        {kMainStatus, K::kStaticCentered, "0 modifier(s)", 60, 154, 101, 10},
        {kMainCatalogueLine, K::kStaticCentered, "", 73, 185, 120, 8, kStyleHidden},
        {kMainShowImage, K::kCheckBox, "S&how Image", 173, 186, 65, 8, kStyleHidden},
        {kMainPlus, K::kSkinButton, "+", 209, 151, 16, 13, kStyleHidden},
        {kMainProblems, K::kSkinButton, "Problems", 170, 109, 56, 13},
    }};

CMainWindow::CMainWindow(ProgramData& data, QWidget* parent)
    : CSkinDialog(kTemplate, parent), data_(data),
      pictureWorker_(data.pictures, {[this] {
                                         // From the worker's thread: the repaint is posted, and
                                         // dropped with the window if it is gone by then.
                                         QMetaObject::invokeMethod(
                                             this, [this] { update(ClientRect()); },
                                             Qt::QueuedConnection);
                                     },
                                     nullptr}) {
    for (const char* language : kLanguages)
        ControlAs<QComboBox>(kMainLanguage)->addItem(QString::fromLatin1(language));
    ControlAs<QPushButton>(kMainSpawnOn)->setDefault(true);
    for (const auto& [id, what] : std::initializer_list<std::pair<int, const char*>>{
             {kMainSpawnOn, "Write UniqueItems.txt (and, when you agree, the names) into "
                            "patch_d2.mpq, keeping a copy of the archive first"},
             {kMainReload, "Take UniqueItems.txt from the game again, throwing away what "
                           "is not written"},
             {kMainLoadFile, "Open a UniqueItems.txt file"},
             {kMainSaveAs, "Save UniqueItems.txt as a file"},
             {kMainName, "Rename the selected item in patchstring.tbl"},
             {kMainAbout, "About Tolmere"},
             {kMainSetItems, "Open Set Master: the set items and their bonuses"},
             {kMainLoadStrings, "Open a patchstring.tbl file as the names"},
             {kMainSaveStrings, "Save the names as a patchstring.tbl file"},
             {kMainStrings, "Find, change and add the texts of the string tables (Ctrl+T)"},
             {kMainCacheImages, "Take every item's picture from the game at once"},
             {kMainAdd, "Add a modifier in the first free slot"},
             {kMainEdit, "Edit the selected modifier (Enter or a double click)"},
             {kMainDelete, "Delete the selected modifier; the later ones move up"},
             {kMainExtra, "Show the language choice and Raw Edit"},
             {kMainRaw, "Edit every cell of UniqueItems.txt in a grid"},
             {kMainProblems, "What the game would trip over in the loaded tables (F8)"},
         })
        DescribeControl(this, id, what);
    // The lists take the new room; the buttons keep to the edges they stand by.
    MakeResizable(QStringLiteral("main"),
                  {{kMainFind, kStretchAcross},      {kMainItemList, kStretchAcross},
                   {kMainName, kFollowRight},        {kMainAbout, kFollowRight},
                   {kMainSetItems, kFollowRight},    {kMainModFrame, kStretch},
                   {kMainModList, kStretch},         {kMainAdd, kFollowRight},
                   {kMainEdit, kFollowRight},        {kMainDelete, kFollowRight},
                   {kMainLoadStrings, kFollowRight}, {kMainSaveStrings, kFollowRight},
                   {kMainLanguage, kFollowRight},    {kMainCacheImages, kFollowBottom},
                   {kMainRaw, kFollowCorner},        {kMainExtra, kFollowCorner},
                   {kMainPlus, kFollowCorner},       {kMainStatus, kStretchAcrossBottom},
                   {kMainSpawnOn, kFollowBottom},    {kMainReload, kFollowBottom},
                   {kMainLoadFile, kFollowCorner},   {kMainSaveAs, kFollowCorner},
                   {kMainCancel, kFollowBottom},     {kMainCatalogueLine, kStretchAcrossBottom},
                   {kMainShowImage, kFollowCorner},  {kMainProblems, kFollowRight}});
    FollowGrowth(Control(kMainStrings), kFollowRight);

    OnCommand(kMainAdd, [this] { OnAdd(); });
    OnCommand(kMainEdit, [this] { OnEdit(); });
    OnCommand(kMainDelete, [this] { OnDelete(); });
    OnCommand(kMainReload, [this] { OnReload(); });
    OnCommand(kMainLoadFile, [this] { OnLoadFile(); });
    OnCommand(kMainSaveAs, [this] { OnSaveAs(); });
    OnCommand(kMainName, [this] { OnName(); });
    OnCommand(kMainAbout, [this] { OnAbout(); });
    OnCommand(kMainLoadStrings, [this] { OnLoadStrings(); });
    OnCommand(kMainSaveStrings, [this] { OnSaveStrings(); });
    OnCommand(kMainExtra, [this] { OnExtra(); });
    OnCommand(kMainSetItems, [this] { OnSetItems(); });
    OnCommand(kMainCacheImages, [this] { OnCacheImages(); });
    OnCommand(kMainRaw, [this] { OnRaw(); });
    OnCommand(kMainProblems, [this] { OnProblems(); });
    connect(new QShortcut(QKeySequence(Qt::Key_F8), this), &QShortcut::activated, this,
            [this] { OnProblems(); });
    OnCommand(kMainStrings, [this] { OnStrings(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this), &QShortcut::activated, this,
            [this] { OnStrings(); });
    // "+" has never done anything.
    OnCommand(kMainPlus, [] {});

    connect(ItemList(), QOverload<int>::of(&QComboBox::activated), this,
            [this] { FillModifierList(); });
    auto* find = ControlAs<QLineEdit>(kMainFind);
    find->setPlaceholderText(QStringLiteral("Find an item by name, key or base (Ctrl+F)"));
    search_ = new CItemSearch(find, [this](int row) { ShowItem(row); });
    connect(ItemList(), &QComboBox::currentIndexChanged, this, [this] { ShowItemColour(); });
    // The desktop's menu-like delegate ignores the entries' own colours.
    ItemList()->setItemDelegate(new QStyledItemDelegate(ItemList()));
    connect(ControlAs<QComboBox>(kMainLanguage), QOverload<int>::of(&QComboBox::activated), this,
            [this] { OnLanguageChosen(); });
    connect(ModList(), &QTreeWidget::itemClicked, this, [this] { UpdateCatalogueLine(); });
    connect(ModList(), &CModListCtrl::doubleClickedAnywhere, this, [this] { OnEdit(); });
    connect(ModList(), &CModListCtrl::enterPressed, this, [this] { OnEdit(); });
    AddMessagesShortcut(this);
    AddChangesShortcut(this, [this] { OnChanges(); });
    connect(ModList(), &QTreeWidget::itemSelectionChanged, this, [this] { UpdateCatalogueLine(); });
    // Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y, wherever the focus is in the window.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this), &QShortcut::activated, this,
            [this] { OnUndo(); });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { OnRedo(); });
    connect(ControlAs<QCheckBox>(kMainShowImage), &QCheckBox::toggled, this,
            [this](bool on) { SetShowImage(on); });
}

void CMainWindow::ShowItem(std::int32_t row) {
    const int index = ItemList()->findData(row);
    if (index < 0)
        return;
    ItemList()->setCurrentIndex(index);
    FillModifierList();
}

CMainWindow::~CMainWindow() {
    pictureWorker_.Stop();
}

QComboBox* CMainWindow::ItemList() const {
    return ControlAs<QComboBox>(kMainItemList);
}
CModListCtrl* CMainWindow::ModList() const {
    return ControlAs<CModListCtrl>(kMainModList);
}
QLabel* CMainWindow::Label(int id) const {
    return ControlAs<QLabel>(id);
}

void CMainWindow::SetStatus(const QString& text) {
    ShowStatusText(Label(kMainStatus), text);
}
QString CMainWindow::StatusText() const {
    return StatusTextOf(Label(kMainStatus));
}

void CMainWindow::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    ModList()->Prepare();
    LoadAtStart();
}

void CMainWindow::TakeUniqueLayout() {
    data_.uniqueLayout = RecogniseUniqueItems(data_.uniqueItems, "UniqueItems.txt");
    const UniqueItemsLayout& layout = data_.uniqueLayout;
    ControlAs<QGroupBox>(kMainModFrame)
        ->setTitle(QStringLiteral("Modifiers (max %1)").arg(layout.modifiers.SlotCount()));
}

QString CMainWindow::ItemLabel(std::int32_t row, const NameColour** colour) const {
    const CTxtTable& table = data_.uniqueItems;
    const UniqueItemsLayout& layout = data_.uniqueLayout;
    const std::string_view key = table.Text(row, layout.keyColumn);
    QString label = ScreenText(key, TextSource::kTableCell) + QStringLiteral(" (") +
                    ScreenText(table.Text(row, layout.shownColumn), TextSource::kTableCell) +
                    QStringLiteral(")");
    const CStringTables::Found found = data_.strings.Lookup(std::string(key));
    if (found.entry) {
        // The list shows a name's colour code as its colour, not as "ÿc4".
        const ColouredText name = SplitColourCodes(found.entry->text);
        label += QStringLiteral(" --- [") + ScreenText(name.text, TextSource::kStringTable) +
                 QStringLiteral("]") + QString::fromStdString(NameSourceNote(found.source));
        *colour = name.colour;
    }
    return label;
}

void CMainWindow::FillItemList(std::int32_t row) {
    QComboBox* items = ItemList();
    items->clear();
    const std::int32_t count = Model().ItemCount();
    for (std::int32_t r = 0; r < count; ++r) {
        const NameColour* colour = nullptr;
        items->addItem(ItemLabel(r, &colour), r);
        if (colour)
            items->setItemData(r, QColor(colour->red, colour->green, colour->blue),
                               Qt::ForegroundRole);
    }
    if (count > 0)
        items->setCurrentIndex(row >= 0 && row < count ? row : 0);
    ShowItemColour();
    FillSearch();
    DescribeSelected();
}

void CMainWindow::FillSearch() {
    // Found by the words of the list and by the base item's name and code; the rows
    // without a base item are the table's headings ("Armor"), not items.
    const CTxtTable& table = data_.uniqueItems;
    const std::int32_t codeColumn = data_.uniqueLayout.codeColumn;
    std::vector<CItemSearch::Entry> entries;
    for (int index = 0; index < ItemList()->count(); ++index) {
        const std::int32_t row = ItemList()->itemData(index).toInt();
        const std::string code(table.Text(row, codeColumn));
        if (codeColumn >= 0 && code.empty())
            continue;
        BaseItem base;
        data_.baseLists.FindBaseItem(code, base);
        QString text = ItemList()->itemText(index) + QStringLiteral("  \u00b7  ");
        if (!base.name.empty())
            text += ScreenText(base.name, TextSource::kTableCell) + QLatin1Char(' ');
        text += QLatin1Char('(') + ScreenText(code, TextSource::kTableCell) + QLatin1Char(')');
        entries.push_back({text, row});
    }
    search_->SetEntries(entries);
}

void CMainWindow::ShowItemColour() {
    // The closed field takes the selected name's colour; the popup keeps the skin's
    // and colours each entry by its own name.
    QComboBox* items = ItemList();
    const QVariant colour = items->currentData(Qt::ForegroundRole);
    items->setStyleSheet(colour.isValid()
                             ? QStringLiteral("QComboBox { color: %1; } QComboBox "
                                              "QAbstractItemView { color: rgb(170,170,170); }")
                                   .arg(colour.value<QColor>().name())
                             : QString());
}

std::int32_t CMainWindow::SelectedRow() const {
    const QComboBox* items = ItemList();
    if (items->currentIndex() < 0)
        return -1;
    return items->currentData().toInt();
}

void CMainWindow::DescribeSelected() {
    const std::int32_t row = SelectedRow();
    if (row < 0) {
        ModList()->Clear();
        return;
    }
    ModList()->SetLines(DescribeModifiers(data_.uniqueItems, row, data_.uniqueLayout.modifiers,
                                          data_.modKeys, data_.game, data_.strings));
}

void CMainWindow::FillModifierList() {
    const std::int32_t row = SelectedRow();
    if (row < 0)
        return;
    DescribeSelected();
    ShowStatusText(Label(kMainStatus),
                   QString::asprintf("%i Modifiers", Model().ModifierCount(row)), false);
    UpdateCatalogueLine();
    RequestPicture();
}

void CMainWindow::UpdateCatalogueLine() {
    QString line;
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    const ModifierSlots& mods = data_.uniqueLayout.modifiers;
    if (row >= 0 && mods.HasSlot(slot)) {
        const std::string_view code = data_.uniqueItems.Text(row, mods.CodeColumn(slot));
        const std::int32_t keyRow = data_.modKeys.Find(code);
        if (keyRow >= 0)
            line = ScreenText(data_.modKeys.Note(keyRow), TextSource::kTableCell);
    }
    Label(kMainCatalogueLine)->setText(line);
}

void CMainWindow::OnCancel() {
    if (!AskDiscard({&data_.uniqueItems, &data_.strings.Patch()}))
        return;
    // The worker ends its pass (one sleep or one decode) before the files go.
    pictureWorker_.Stop();
    if (bridge_)
        bridge_->RemoveWorkFiles();
    done(kDialogCancel);
}

void CMainWindow::OnAbout() {
    CAboutDlg about(data_.modKeys, this);
    about.RunModal();
}

void CMainWindow::OnExtra() {
    auto* languages = ControlAs<QComboBox>(kMainLanguage);
    languages->setCurrentText(Bytes(data_.language));
    const bool on = languages->isHidden();
    languages->setVisible(on);
    data_.extraFeatures = on;
    Control(kMainRaw)->setVisible(on);
    SetStatus(on ? QStringLiteral("mode_b") : QStringLiteral("mode_a stabilized"));
}

void CMainWindow::OnRaw() {
    // Raw Edit needs no layout: it is where a header that fits none is repaired.
    const std::int32_t row = SelectedRow();
    RawEditUnique(this);
    UpdateCaption();
    FillItemList(row);
    FillModifierList();
}

bool CMainWindow::RawEditUnique(QWidget* parent, int row, int column) {
    const auto loadLists = [this] {
        std::string failedList, reason;
        return bridge_ && bridge_->ExtractBaseLists(data_.baseLists, failedList, reason);
    };
    if (!RunRawEdit(data_, data_.uniqueItems, "UniqueItems.txt", loadLists, parent, row, column))
        return false;
    TakeUniqueLayout(); // a column may have been renamed
    SetStatus(QStringLiteral("Raw edit applied"));
    return true;
}

void CMainWindow::OnStrings() {
    std::int32_t row = SelectedRow();
    const auto goTo = [&row](const StringUse& use) {
        if (use.table != "UniqueItems.txt")
            return false;
        row = use.row;
        return true;
    };
    RunStrings(data_, goTo, this);
    UpdateCaption();
    FillItemList(row);
}

void CMainWindow::OnSetItems(const std::function<void(CSetMasterDlg&)>& whenOpen) {
    // The set editor opens over this window, which stays shown: hiding a dialog ends its
    // modal loop, and with it the program, however Set Master then closes. The unique
    // items stay in memory as they are.
    {
        CSetMasterDlg sets(data_, bridge_ ? &*bridge_ : nullptr, pictureWorker_.showImage, this);
        if (whenOpen)
            QTimer::singleShot(0, &sets, [&sets, &whenOpen] { whenOpen(sets); });
        sets.RunModal();
    }
    // Names changed there show here too.
    FillItemList(SelectedRow());
    FillModifierList();
    UpdateCaption();
}

} // namespace tolmere
