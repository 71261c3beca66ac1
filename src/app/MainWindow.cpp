#include "app/MainWindow.h"

#include "app/Guide.h"
#include "app/NameColours.h"
#include "app/NameDlg.h"
#include "app/SpawnOn.h"
#include "archive/GameDir.h"
#include "mods/ModListCtrl.h"
#include "mods/ModifierDlg.h"
#include "mods/ModifierEdit.h"
#include "tables/ProgramExit.h"
#include "ui/AboutDlg.h"
#include "ui/FileDialogs.h"
#include "ui/ScreenText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
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
const char kApplyQuestion[] =
    "Are you sure you want to apply this to patch_d2.mpq?\r\nbtw, this is using mpq2k( (c) "
    "Orvandel ).";
const char kChooseGameQuestion[] = "Choose the game's folder?";
const char kTxtNote[] =
    "Written into patch_d2.mpq; the game reads changed tables only when started with -txt";

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
        {kMainModFrame, K::kGroupBox, "Modifiers (max 10)", 7, 25, 258, 130},
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
    : CSkinDialog(kTemplate, parent), data_(data) {
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
    connect(ItemList(), &QComboBox::currentIndexChanged, this, [this] { ShowItemColour(); });
    // The desktop's menu-like delegate ignores the entries' own colours.
    ItemList()->setItemDelegate(new QStyledItemDelegate(ItemList()));
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

std::string CMainWindow::FindGame() {
    std::string problem;
    if (std::optional<std::string> found = FindGameDir(data_.gameSearch, problem))
        return *found;
    const std::string where = problem.empty() ? kNoGameMessage : problem;
    if (GuideMsg(where + "\n" + kChooseGameQuestion, kCaptionConfirmation, kGuideYesNo) !=
        kGuideYes)
        return std::string();
    FileDialogRequest request;
    request.folder = true;
    request.defaultName = QStringLiteral("The game's folder (with d2data.mpq)");
    const std::optional<QString> chosen = AskFileName(this, request);
    if (!chosen)
        return std::string();
    const std::string dir = chosen->toStdString();
    if (!LooksLikeGameDir(dir)) {
        GuideMsg(dir + ": no d2data.mpq or patch_d2.mpq there", kCaptionGuide);
        return std::string();
    }
    return dir.back() == '/' ? dir : dir + "/";
}

void CMainWindow::LoadAtStart() {
    const std::string gameDir = FindGame();
    if (gameDir.empty()) {
        // Without a game the catalogue still helps anyone who loads a table file.
        LoadModKeys(data_.modKeys, data_.programDir, std::string());
        LoadDataTable(data_.colours, "colors.txt", data_.programDir, std::string());
        return;
    }
    gameDir_ = gameDir;
    bridge_.emplace(gameDir_, FindArchiveTool(gameDir_, data_.programDir));

    const std::optional<Archive> served = ExtractUniqueItems();
    if (!served) {
        GuideMsg(kNotExtractedAtStart, kCaptionError);
        ExitProgram(kExitTableNotExtracted);
    }
    if (!bridge_->LoadExtracted(kUniqueItemsFile, data_.uniqueItems)) {
        GuideMsg(kNotLoadedFromWorkDir, kCaptionGuide);
        ExitProgram(kExitTableNotLoadable);
    }
    TakeUniqueLayout();
    if (!LoadModKeys(data_.modKeys, data_.programDir, gameDir_)) {
        GuideMsg(kModKeyMissing, kCaptionGuide);
        ExitProgram(kExitDataFilesMissing);
    }
    if (!LoadDataTable(data_.colours, "colors.txt", data_.programDir, gameDir_)) {
        GuideMsg(kColoursMissing, kCaptionGuide);
        ExitProgram(kExitDataFilesMissing);
    }
    bridge_->ExtractStringTables(data_.strings, data_.language);
    FillItemList();
    ShowLoadedFrom(*served);
    FillModifierList();

    // The picture worker arrives with the picture cache; its flags start as it expects.
    showImage = false;
    workerFinished = false;
    workerRunning = true;
}

std::optional<Archive> CMainWindow::ExtractUniqueItems() const {
    for (Archive archive : kArchiveOrder) {
        if (bridge_->ExtractUniqueItems(archive))
            return archive;
    }
    return std::nullopt;
}

void CMainWindow::ShowLoadedFrom(Archive archive) {
    std::string name = ArchiveName(archive);
    SetStatus(QString::fromStdString("Loaded from " + name.substr(0, name.find('.'))));
}

void CMainWindow::TakeUniqueLayout() {
    data_.uniqueLayout = RecogniseUniqueItems(data_.uniqueItems, kUniqueItemsFile);
    const UniqueItemsLayout& layout = data_.uniqueLayout;
    ControlAs<QGroupBox>(kMainModFrame)
        ->setTitle(QStringLiteral("Modifiers (max %1)").arg(layout.modifiers.SlotCount()));
    if (!layout.Editable())
        GuideMsg(layout.problem + "\nThe table is shown read-only: nothing can be written into it.",
                 kCaptionGuide);
}

bool CMainWindow::CanEdit() const {
    if (data_.uniqueLayout.Editable())
        return true;
    GuideMsg(data_.uniqueLayout.problem + "\nThe table is read-only.", kCaptionGuide);
    return false;
}

bool CMainWindow::NeedGame() const {
    if (bridge_)
        return true;
    GuideMsg(kNoGameMessage, kCaptionGuide);
    return false;
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
    DescribeSelected();
}

void CMainWindow::ShowItemColour() {
    // The closed field takes the selected name's colour; the popup keeps the skin's
    // and colours each entry by its own name.
    QComboBox* items = ItemList();
    const QVariant colour = items->currentData(Qt::ForegroundRole);
    items->setStyleSheet(colour.isValid()
                             ? QStringLiteral("QComboBox { color: %1; } QComboBox "
                                              "QAbstractItemView { color: rgb(128,128,128); }")
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
    ModList()->DescribeModifiers(data_.uniqueItems, row, data_.uniqueLayout.modifiers.slots,
                                 data_.modKeys);
}

void CMainWindow::FillModifierList() {
    const std::int32_t row = SelectedRow();
    if (row < 0)
        return;
    DescribeSelected();
    SetStatus(QString::asprintf("%i Modifiers", Model().ModifierCount(row)));
    UpdateCatalogueLine();
    pictureRequest = true;
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

void CMainWindow::OnAdd() {
    const std::int32_t row = SelectedRow();
    if (row < 0 || !CanEdit())
        return;
    const std::int32_t slot = Model().SlotForNewModifier(row);
    if (slot < 0) {
        GuideMsg(kCannotAddModifiers, kCaptionGuide);
        return;
    }
    RunModifierDialog(row, slot);
}

void CMainWindow::OnEdit() {
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    if (row < 0 || slot < 0 || !CanEdit())
        return;
    RunModifierDialog(row, slot);
}

void CMainWindow::RunModifierDialog(std::int32_t row, std::int32_t slot) {
    CModifierDlg dialog(slot, row, data_.uniqueItems, data_.modKeys, data_.uniqueLayout.modifiers,
                        this);
    if (dialog.RunModal() == kDialogOk)
        FillModifierList();
}

void CMainWindow::OnDelete() {
    const std::int32_t row = SelectedRow();
    const std::int32_t slot = ModList()->CurrentSlot();
    const ModifierSlots& mods = data_.uniqueLayout.modifiers;
    if (row < 0 || !mods.HasSlot(slot) || !CanEdit())
        return;
    const std::string code(data_.uniqueItems.Text(row, mods.CodeColumn(slot)));
    if (!GuideConfirm("Delete modifier '" + code + "'?"))
        return;
    if (Model().DeleteModifier(row, slot) == DeleteResult::kProtected) {
        GuideMsg(kProtectedItemMessage, kCaptionGuide);
        return;
    }
    FillModifierList();
}

void CMainWindow::OnOK() {
    if (!NeedGame())
        return;
    const bool written = RunSpawnOn(*bridge_, data_.uniqueItems, kUniqueItemsFile,
                                    data_.strings.Patch(), data_.language, kApplyQuestion);
    // The game of 1.10 and later reads its compiled tables unless told otherwise.
    if (written && data_.uniqueLayout.name == "1.10+" && !txtNoteShown_) {
        txtNoteShown_ = true;
        SetStatus(QString::fromLatin1(kTxtNote));
    }
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
    TakeUniqueLayout();
    FillItemList();
    ShowLoadedFrom(*served);
    std::string failedList;
    if (!bridge_->ExtractBaseLists(data_.baseLists, failedList))
        GuideMsg("fail at " + failedList, kCaptionGuide);
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
    TakeUniqueLayout();
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
    const std::string key = Model().Key(row);
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
    data_.strings.Patch() = std::move(loaded);
    FillItemList();
}

void CMainWindow::OnSaveStrings() {
    const std::optional<QString> path =
        AskFileName(this, {true, "tbl", "PatchString2.tbl", kStringsFilter});
    if (!path)
        return;
    if (!data_.strings.Patch().Write(path->toStdString()))
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
    if (bridge_->ExtractStringTables(data_.strings, data_.language))
        FillItemList();
}

} // namespace tolmere
