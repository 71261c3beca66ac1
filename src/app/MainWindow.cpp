#include "app/MainWindow.h"

#include "app/Guide.h"
#include "app/NameDlg.h"
#include "archive/GameDir.h"
#include "mods/ModListCtrl.h"
#include "mods/ModifierDlg.h"
#include "tables/ProgramExit.h"
#include "ui/AboutDlg.h"
#include "ui/FileDialogs.h"
#include "ui/ScreenText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QThread>

namespace tolmere {
namespace {

using K = ControlKind;

const char kUniqueItemsFile[] = "UniqueItems.txt";
const char kTableFilter[] = "Tab Delimited Text File (*.txt)|*.txt|All Files(*.*)|*.*||";
const char kStringsFilter[] = "Table File (*.tbl)|*.tbl|All Files(*.*)|*.*||";
const char* const kLanguages[] = {"ENG", "CHI", "DEU", "ESP", "KOR", "JPN", "POL", "ITA", "FRA"};

const char kNoGameMessage[] = "Cannot detect d2 installation";
const char kNotExtractedAtStart[] =
    "Unable to extract UniqueItems.txt from either mpq\nYou probably don't have mpq2k, (this "
    "program needs it in D2 directory).\nOf course, there's also the chances that something's "
    "wrong \nwith your D2 set-up";
const char kNotLoadedFromWorkDir[] = "Unable to load UniqueItems.txt from temporary dir";
const char kModKeyMissing[] =
    "Unable to load Modkey.txt.\r\nthe file needed to be on the same dir or at d2 dir";
const char kColoursMissing[] =
    "Unable to load colors.txt.\r\nthe file needed to be on the same dir or at d2 dir";
const char kProtectedMessage[] = "Azurewrath keeps its last three modifiers.";

constexpr int kWorkerWaitSteps = 200;
constexpr int kWorkerWaitStepMs = 100;

QString Bytes(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

} // namespace

const DialogTemplate CMainWindow::kTemplate{
    102,
    "Tolmere edit",
    279,
    186,
    {
        {kNoControlId, K::kGroupBox, "Modifiers (max 10)", 7, 25, 258, 130},
        {kMainItemList, K::kDropDownList, "", 7, 7, 177, 12},
        {kMainModList, K::kListView, "", 11, 36, 151, 100},
        {kMainAdd, K::kSkinButton, "Add", 170, 35, 75, 13},
        {kMainEdit, K::kSkinButton, "Edit", 170, 50, 75, 13},
        {kMainDelete, K::kSkinButton, "Delete", 170, 65, 75, 13},
        {kMainSpawnOn, K::kSkinButton, "S&pawn On", 7, 162, 64, 14},
        {kMainReload, K::kSkinButton, "&Reload", 72, 162, 64, 14},
        {kMainLoadFile, K::kSkinButton, "Load &File", 137, 162, 63, 14},
        {kMainSaveAs, K::kSkinButton, "Save &As", 201, 162, 64, 14},
        {kMainName, K::kSkinButton, "&Name", 188, 7, 40, 13},
        {kMainAbout, K::kSkinButton, "A&bout", 230, 7, 35, 13},
        {kMainCacheImages, K::kSkinButton, "&Cache Img", 11, 138, 46, 14},
        {kMainRaw, K::kSkinButton, "raw", 227, 137, 16, 13, kStyleHidden},
        {kMainLoadStrings, K::kSkinButton, "", 251, 35, 9, 20},
        {kMainSaveStrings, K::kSkinButton, "", 251, 57, 9, 20},
        {kMainExtra, K::kSkinButton, "xtra", 245, 137, 16, 13},
        {kMainSetItems, K::kSkinButton, "", 230, 21, 35, 6},
        {kMainLanguage, K::kDropDownList, "", 170, 80, 75, 12, kStyleHidden},
        {kMainCancel, K::kDrawnButton, "Cancel", 7, 166, 64, 14, kStyleHidden},
        {kMainStatus, K::kStaticCentered, "0 modifier(s)", 60, 140, 101, 10},
        {kMainCatalogueLine, K::kStaticCentered, "", 73, 171, 120, 8, kStyleHidden},
        {kMainShowImage, K::kCheckBox, "S&how Image", 173, 172, 65, 8, kStyleHidden},
        {kMainPlus, K::kSkinButton, "+", 209, 137, 16, 13, kStyleHidden},
    }};

CMainWindow::CMainWindow(ProgramData& data, QWidget* parent)
    : CSkinDialog(kTemplate, parent), data_(data), model_(data.uniqueItems) {
    for (const char* language : kLanguages)
        ControlAs<QComboBox>(kMainLanguage)->addItem(QString::fromLatin1(language));
    ControlAs<QPushButton>(kMainSpawnOn)->setDefault(true);

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
    // The picture cache, the raw grid and the set item window arrive with their own
    // windows; "+" has never done anything.
    for (int inert : {kMainCacheImages, kMainRaw, kMainSetItems, kMainPlus})
        OnCommand(inert, [] {});

    connect(ItemList(), QOverload<int>::of(&QComboBox::activated), this,
            [this] { FillModifierList(); });
    connect(ControlAs<QComboBox>(kMainLanguage), QOverload<int>::of(&QComboBox::activated), this,
            [this] { OnLanguageChosen(); });
    connect(ModList(), &QTreeWidget::itemClicked, this, [this] { UpdateCatalogueLine(); });
    connect(ModList(), &QTreeWidget::itemDoubleClicked, this, [this] { OnEdit(); });
    connect(ModList(), &QTreeWidget::itemSelectionChanged, this, [this] { UpdateCatalogueLine(); });
    connect(ControlAs<QCheckBox>(kMainShowImage), &QCheckBox::toggled, this, [this](bool on) {
        showImage = on;
        if (on)
            pictureRequest = true;
    });
}

CMainWindow::~CMainWindow() {
    workerRunning = false;
    if (workerStarted_)
        QThread::msleep(kWorkerWaitStepMs);
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
    Label(kMainStatus)->setText(text);
}
QString CMainWindow::StatusText() const {
    return Label(kMainStatus)->text();
}

void CMainWindow::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    ModList()->Prepare();
    LoadAtStart();
}

void CMainWindow::LoadAtStart() {
    std::optional<std::string> gameDir = DetectGameDir();
    if (!gameDir) {
        GuideMsg(kNoGameMessage, kCaptionGuide);
        // Without a game the catalogue still helps anyone who loads a table file.
        LoadModKeys(data_.modKeys, data_.programDir, std::string());
        LoadDataTable(data_.colours, "colors.txt", data_.programDir, std::string());
        return;
    }
    gameDir_ = *gameDir;
    bridge_.emplace(gameDir_);

    const std::optional<Archive> served = ExtractUniqueItems();
    if (!served) {
        GuideMsg(kNotExtractedAtStart, kCaptionError);
        ExitProgram(kExitTableNotExtracted);
    }
    if (!bridge_->LoadExtracted(kUniqueItemsFile, data_.uniqueItems)) {
        GuideMsg(kNotLoadedFromWorkDir, kCaptionGuide);
        ExitProgram(kExitTableNotLoadable);
    }
    if (!LoadModKeys(data_.modKeys, data_.programDir, gameDir_)) {
        GuideMsg(kModKeyMissing, kCaptionGuide);
        ExitProgram(kExitDataFilesMissing);
    }
    if (!LoadDataTable(data_.colours, "colors.txt", data_.programDir, gameDir_)) {
        GuideMsg(kColoursMissing, kCaptionGuide);
        ExitProgram(kExitDataFilesMissing);
    }
    bridge_->ExtractStringTable(data_.strings, data_.language);
    FillItemList();
    ShowLoadedFrom(*served);
    FillModifierList();

    // The picture worker arrives with the picture cache; its flags start as it expects.
    showImage = false;
    workerFinished = false;
    workerRunning = true;
}

std::optional<Archive> CMainWindow::ExtractUniqueItems() const {
    for (Archive archive : {Archive::kPatch, Archive::kBase}) {
        if (bridge_->ExtractUniqueItems(archive))
            return archive;
    }
    return std::nullopt;
}

void CMainWindow::ShowLoadedFrom(Archive archive) {
    SetStatus(archive == Archive::kPatch ? QStringLiteral("Loaded from patch_d2")
                                         : QStringLiteral("Loaded from d2data"));
}

bool CMainWindow::NeedGame() const {
    if (bridge_)
        return true;
    GuideMsg(kNoGameMessage, kCaptionGuide);
    return false;
}

QString CMainWindow::ItemLabel(std::int32_t row) const {
    const CTxtTable& table = data_.uniqueItems;
    const UniqueItemsLayout& layout = model_.Layout();
    const std::string_view key = table.Text(row, layout.keyColumn);
    QString label = ScreenText(key, TextSource::kTableCell) + QStringLiteral(" (") +
                    ScreenText(table.Text(row, layout.shownColumn), TextSource::kTableCell) +
                    QStringLiteral(")");
    if (const StrEntry* entry = data_.strings.Find(std::string(key)))
        label += QStringLiteral(" --- [") + ScreenText(entry->text, TextSource::kStringTable) +
                 QStringLiteral("]");
    return label;
}

void CMainWindow::FillItemList(std::int32_t row) {
    QComboBox* items = ItemList();
    items->clear();
    const std::int32_t count = model_.ItemCount();
    for (std::int32_t r = 0; r < count; ++r)
        items->addItem(ItemLabel(r), r);
    if (count > 0)
        items->setCurrentIndex(row >= 0 && row < count ? row : 0);
    DescribeSelected();
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
    ModList()->DescribeModifiers(data_.uniqueItems, row, model_.Layout().slots, data_.modKeys);
}

void CMainWindow::FillModifierList() {
    const std::int32_t row = SelectedRow();
    if (row < 0)
        return;
    DescribeSelected();
    SetStatus(QString::asprintf("%i Modifiers", model_.ModifierCount(row)));
    UpdateCatalogueLine();
    pictureRequest = true;
}

void CMainWindow::UpdateCatalogueLine() {
    QString line;
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    if (row >= 0 && slot >= 0) {
        const SlotRun& run = model_.Layout().slots;
        const std::string_view code = data_.uniqueItems.Text(row, run.CodeColumn(slot));
        const std::int32_t keyRow = data_.modKeys.Find(code);
        if (keyRow >= 0)
            line = ScreenText(data_.modKeys.Note(keyRow), TextSource::kTableCell);
    }
    Label(kMainCatalogueLine)->setText(line);
}

void CMainWindow::OnAdd() {
    const std::int32_t row = SelectedRow();
    if (row < 0)
        return;
    const std::int32_t slot = model_.SlotForNewModifier(row);
    if (slot < 0) {
        GuideMsg("Cannot add more modifiers", kCaptionGuide);
        return;
    }
    RunModifierDialog(row, slot);
}

void CMainWindow::OnEdit() {
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    if (row < 0 || slot < 0)
        return;
    RunModifierDialog(row, slot);
}

void CMainWindow::RunModifierDialog(std::int32_t row, std::int32_t slot) {
    const UniqueItemsLayout& layout = model_.Layout();
    CModifierDlg dialog(slot, row, data_.uniqueItems, data_.modKeys, this, layout.slots.firstColumn,
                        layout.countColumn, layout.slots.slotCount);
    if (dialog.RunModal() == kDialogOk)
        FillModifierList();
}

void CMainWindow::OnDelete() {
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    if (row < 0 || slot < 0)
        return;
    const SlotRun& run = model_.Layout().slots;
    const std::string code(data_.uniqueItems.Text(row, run.CodeColumn(slot)));
    if (!GuideConfirm("Delete modifier '" + code + "'?"))
        return;
    if (model_.DeleteModifier(row, slot) == DeleteResult::kProtected) {
        GuideMsg(kProtectedMessage, kCaptionGuide);
        return;
    }
    FillModifierList();
}

void CMainWindow::OnOK() {
    if (!NeedGame())
        return;
    bridge_->ApplyToPatch(data_.uniqueItems, kUniqueItemsFile, data_.strings, data_.language,
                          CArchiveBridge::kApplyQuestion);
}

void CMainWindow::OnCancel() {
    workerRunning = false;
    // A running worker reports back within one of its sleeps; one that never does
    // holds the close for a bounded time only.
    for (int step = 0; workerStarted_ && step < kWorkerWaitSteps && !workerFinished; ++step)
        QThread::msleep(kWorkerWaitStepMs);
    done(kDialogCancel);
}

void CMainWindow::OnReload() {
    if (!GuideConfirm("Reload data from d2?"))
        return;
    if (!NeedGame())
        return;
    const std::optional<Archive> served = ExtractUniqueItems();
    if (!served) {
        GuideMsg("Unable to extract UniqueItems.txt from mpqs", kCaptionGuide);
        return;
    }
    if (!bridge_->LoadExtracted(kUniqueItemsFile, data_.uniqueItems)) {
        GuideMsg(kNotLoadedFromWorkDir, kCaptionGuide);
        return;
    }
    FillItemList();
    ShowLoadedFrom(*served);
    bridge_->ExtractBaseLists(data_.baseLists);
}

void CMainWindow::OnLoadFile() {
    const std::optional<QString> path =
        AskFileName(this, {false, "txt", "UniqueItems2.txt", kTableFilter});
    if (!path)
        return;
    // A table that does not load leaves the one in memory as it was, edits and all.
    if (!data_.uniqueItems.Load(path->toStdString())) {
        GuideMsg("Failed.", kCaptionGuide);
        return;
    }
    FillItemList();
}

void CMainWindow::OnSaveAs() {
    const std::optional<QString> path =
        AskFileName(this, {true, "txt", "UniqueItems2.txt", kTableFilter});
    if (!path)
        return;
    if (!data_.uniqueItems.Save(path->toStdString()))
        GuideMsg("Failed.", kCaptionGuide);
}

void CMainWindow::OnName() {
    const std::int32_t row = SelectedRow();
    if (row < 0)
        return;
    const std::string key(data_.uniqueItems.Text(row, model_.Layout().keyColumn));
    CNameDlg dialog(data_.strings, key, std::string(), this);
    if (dialog.RunModal() == kDialogOk)
        FillItemList(row);
}

void CMainWindow::OnAbout() {
    CAboutDlg about(data_.modKeys, this);
    about.RunModal();
}

void CMainWindow::OnLoadStrings() {
    const std::optional<QString> path =
        AskFileName(this, {false, "tbl", "PatchString2.tbl", kStringsFilter});
    if (!path)
        return;
    // Read into a scratch table so that a file that cannot be read changes nothing.
    CStrTbl loaded;
    if (!loaded.Read(path->toStdString())) {
        GuideMsg("Failed.", kCaptionGuide);
        return;
    }
    data_.strings = std::move(loaded);
    FillItemList();
}

void CMainWindow::OnSaveStrings() {
    const std::optional<QString> path =
        AskFileName(this, {true, "tbl", "PatchString2.tbl", kStringsFilter});
    if (!path)
        return;
    if (!data_.strings.Write(path->toStdString()))
        GuideMsg("Failed.", kCaptionGuide);
    SetStatus(QStringLiteral("Done."));
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

void CMainWindow::OnLanguageChosen() {
    const std::string chosen = ControlAs<QComboBox>(kMainLanguage)->currentText().toStdString();
    if (chosen == data_.language)
        return;
    data_.language = chosen;
    if (!bridge_) {
        data_.strings.Reset();
        return;
    }
    if (bridge_->ExtractStringTable(data_.strings, data_.language))
        FillItemList();
}

} // namespace tolmere
