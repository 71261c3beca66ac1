// SPDX-License-Identifier: MIT
// The editor end to end: a copy of the demo game, the real mpq2k, the main window run
// in-process with the message box, the file dialogs and the exit scripted.
#include "sets/SetModel.h"
#include "ui/ItemSearch.h"
#include "ui/SetMasterDlg.h"
#include "ui/StringsDlg.h"

#include "MainWindowFixture.h"
#include "UiTestHelpers.h"

#include "dc6enc/Dc6Encode.h"

#include <QCheckBox>

namespace tolmere {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WhenModal;
using testing::WriteBytes;

TEST_F(MainWindowTest, StartsFromThePatchArchiveWithNamesAndModifiers) {
    CMainWindow& window = Start();
    EXPECT_EQ(Items()->count(), 31) << "the patch archive's table has one item more";
    EXPECT_EQ(Unique().Serialize(),
              ReadBytes(TOLMERE_SOURCE_DIR "/tests/data/seed-game/patch/excel/UniqueItems.txt"));
    EXPECT_TRUE(Items()->itemText(0).startsWith("Saltglass Reaver (7) --- ["));
    EXPECT_EQ(window.StatusText(), "5 Modifiers");
    EXPECT_GT(Mods()->LineCount(), 0);
    EXPECT_TRUE(guide_->shown.empty());

    Choose(1);
    EXPECT_EQ(window.StatusText(), "5 Modifiers");
}

// With no item to count, the status line keeps naming the archive that served.
TEST_F(MainWindowTest, ATableWithoutItemsNamesItsArchiveAndLeavesTheListsEmpty) {
    const std::string seed = ReadBytes(TOLMERE_SOURCE_DIR "/samples/UniqueItems.txt");
    WriteBytes(gameDir_ + "header.txt", seed.substr(0, seed.find('\n') + 1));
    ASSERT_EQ(Mpq2k("a patch_d2.mpq header.txt 'data\\GLOBAL\\Excel\\UniqueItems.txt'"), "ok");
    EXPECT_EQ(Start().StatusText(), "Loaded from patch_d2");

    fs::remove(gameDir_ + "patch_d2.mpq");
    ASSERT_EQ(Mpq2k("a d2data.mpq header.txt 'data\\GLOBAL\\Excel\\UniqueItems.txt'"), "ok");
    CMainWindow& window = Start();
    EXPECT_EQ(window.StatusText(), "Loaded from d2data");
    EXPECT_EQ(Items()->count(), 0);
    EXPECT_EQ(Mods()->LineCount(), 0);
    window.Command(kMainAdd);
    window.Command(kMainDelete);
    window.Command(kMainName);
    EXPECT_TRUE(guide_->shown.empty());
}

TEST_F(MainWindowTest, StartFailuresSayWhyAndEndWithTheirExitCodes) {
    // The data files come from beside the program, then from the game's folder.
    TempDir programDir;
    data_.programDir = programDir.Path() + "/";
    const std::string notFound = "\r\nthe file needed to be on the same dir or at d2 dir";
    EXPECT_EQ(StartExpectingExit(), 4);
    EXPECT_EQ(guide_->shown,
              std::vector<std::string>{"Guide: Unable to load Modkey.txt." + notFound});
    WriteBytes(gameDir_ + "modkey.txt", ReadBytes(TOLMERE_SOURCE_DIR "/data/modkey.txt"));
    EXPECT_EQ(StartExpectingExit(), 4);
    EXPECT_EQ(guide_->shown.back(), "Guide: Unable to load colors.txt." + notFound);
    WriteBytes(gameDir_ + "colors.txt", ReadBytes(TOLMERE_SOURCE_DIR "/data/colors.txt"));
    WriteBytes(programDir.File("modkey.txt"), "code\tpattern\r\nonly\t%d only\r\n");
    Start();
    EXPECT_EQ(data_.modKeys.Count(), 1) << "the program's own copy wins";

    // No tool in the game's folder nor beside the program.
    fs::rename(gameDir_ + "mpq2k", gameDir_ + "mpq2k.away");
    guide_->shown.clear();
    EXPECT_EQ(StartExpectingExit(), 2);
    ASSERT_EQ(guide_->shown.size(), 1u);
    EXPECT_TRUE(testing::StartsWith(guide_->shown[0],
                                    "Error: Unable to extract UniqueItems.txt from either mpq\n"
                                    "You probably don't have mpq2k"));
    // A tool that "extracts" something that cannot be read as a file.
    WriteBytes(gameDir_ + "mpq2k", "#!/bin/sh\nmkdir -p tmp08187262/UniqueItems.txt\n");
    fs::permissions(gameDir_ + "mpq2k", fs::perms::owner_all);
    guide_->shown.clear();
    EXPECT_EQ(StartExpectingExit(), 3);
    EXPECT_EQ(guide_->shown,
              std::vector<std::string>{"Guide: Unable to load UniqueItems.txt from temporary dir\n"
                                       "UniqueItems.txt: it is a folder"});
}

TEST_F(MainWindowTest, WithoutAGameTheWindowOffersToChooseItsFolder) {
    TempDir empty;
    setenv("WINEPREFIX", empty.Path().c_str(), 1);
    // Yes, then a folder holding no archive: the window opens empty after saying so.
    guide_->answers = {kGuideYes};
    files_ = {QString::fromStdString(empty.Path())};
    Start();
    EXPECT_EQ(guide_->shown,
              (std::vector<std::string>{
                  "Confirmation: Cannot detect d2 installation\nChoose the game's folder?",
                  "Guide: " + empty.Path() + ": no d2data.mpq or patch_d2.mpq there"}));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].folder);
    // Yes and the game's folder: the game is opened from there.
    guide_->answers = {kGuideYes};
    files_ = {QString::fromStdString(gameDir_)};
    EXPECT_EQ(Start().GameDir(), gameDir_);
    EXPECT_EQ(Items()->count(), 31);
    // --game names the folder outright, and a wrong one is said to be wrong.
    data_.gameSearch.gameDir = gameDir_.substr(0, gameDir_.size() - 1);
    guide_->shown.clear();
    EXPECT_EQ(Start().GameDir(), gameDir_);
    EXPECT_TRUE(guide_->shown.empty());
    data_.gameSearch.gameDir = empty.Path();
    Start();
    EXPECT_EQ(guide_->shown.back(), "Confirmation: " + empty.Path() +
                                        ": no d2data.mpq or patch_d2.mpq there\nChoose the "
                                        "game's folder?");
    data_.gameSearch.gameDir.clear();

    // Answered No: the window opens without data.
    guide_->shown.clear();
    CMainWindow& window = Start();
    EXPECT_EQ(guide_->shown, std::vector<std::string>{"Confirmation: Cannot detect d2 "
                                                      "installation\nChoose the game's folder?"});
    EXPECT_EQ(Items()->count(), 0);
    EXPECT_GT(data_.modKeys.Count(), 0);
    EXPECT_TRUE(window.GameDir().empty());
    guide_->shown.clear();
    window.Command(kMainSpawnOn);
    EXPECT_EQ(guide_->shown, std::vector<std::string>{"Guide: Cannot detect d2 installation"});
}

TEST_F(MainWindowTest, TheModifierListKeepsItsMarkAndTheRulesRefuseAddAndDelete) {
    CMainWindow& window = Start();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    CModListCtrl* mods = Mods();
    ASSERT_GE(mods->LineCount(), 2);
    const QPoint blank(mods->viewport()->width() / 2, mods->viewport()->height() - 3);
    ASSERT_EQ(mods->itemAt(blank), nullptr);

    // A click on blank space clears Qt's selection, not the mark Edit and Delete use.
    QTest::mouseClick(mods->viewport(), Qt::LeftButton, {},
                      mods->visualItemRect(mods->topLevelItem(1)).center());
    const std::int32_t slot = mods->LineSlot(1);
    QTest::mouseClick(mods->viewport(), Qt::LeftButton, {}, blank);
    EXPECT_EQ(mods->CurrentSlot(), slot);

    // A double click there runs Edit on the marked line.
    QString title;
    WhenModal([&title](QWidget* dialog) {
        title = dialog->windowTitle();
        static_cast<CSkinDialog*>(dialog)->Command(kDialogCancel);
    });
    QTest::mouseDClick(mods->viewport(), Qt::LeftButton, {}, blank);
    EXPECT_EQ(title, "Edit Modifier");

    // An eleventh modifier is refused; Azurewrath keeps its last three.
    CTxtTable& table = data_.uniqueItems;
    for (int s = 0; s < 10; ++s)
        table.SetCell(0, 9 + 4 * s, "str");
    Choose(0);
    window.Command(kMainAdd);
    EXPECT_EQ(guide_->shown.back(), "Guide: Cannot add more modifiers");

    table.SetCell(1, 0, "Azurewrath");
    for (int s = 3; s < 10; ++s)
        table.SetCell(1, 9 + 4 * s, "");
    Choose(1);
    Mods()->SelectLine(0);
    guide_->answers = {kGuideYes};
    const std::string unchanged = table.Serialize();
    window.Command(kMainDelete);
    EXPECT_EQ(table.Serialize(), unchanged);
    EXPECT_TRUE(testing::StartsWith(guide_->shown.back(), "Guide: Azurewrath"));

    // Escape closes the window, and its picture worker with it.
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(window.result(), kDialogCancel);
    EXPECT_FALSE(window.PictureWorker().workerRunning);
}

TEST_F(MainWindowTest, TablesAndStringTablesAreSavedAndLoadedWhereTheUserWas) {
    CMainWindow& window = Start();
    const std::string saved = dir_.File("saved.txt");
    const std::string original = Unique().Serialize();
    files_ = {QString::fromStdString(saved)};
    window.Command(kMainSaveAs);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].defaultName, "UniqueItems2.txt");
    EXPECT_EQ(asked_[0].directory.toStdString(), window.GameDir()) << "the game's folder at first";
    EXPECT_EQ(ReadBytes(saved), original);
    EXPECT_EQ(window.StatusText().toStdString(), "UniqueItems.txt saved as " + saved);

    data_.uniqueItems.SetCell(0, 4, "99");
    files_ = {QString::fromStdString(saved)};
    window.Command(kMainLoadFile);
    EXPECT_EQ(asked_.back().directory.toStdString(), dir_.Path()) << "then where the user was";
    EXPECT_EQ(Unique().Serialize(), original);
    EXPECT_TRUE(Items()->itemText(0).startsWith("Saltglass Reaver (7)"));

    // Cancelled dialogs do nothing.
    window.Command(kMainSaveAs);
    window.Command(kMainLoadFile);
    EXPECT_EQ(Unique().Serialize(), original);

    // The string table likewise; "Done." only when it was written.
    const std::string tbl = dir_.File("strings.tbl");
    files_ = {QString::fromStdString(tbl)};
    window.Command(kMainSaveStrings);
    EXPECT_EQ(asked_.back().defaultName, "PatchString2.tbl");
    EXPECT_EQ(window.StatusText(), "Done.");
    ASSERT_TRUE(fs::exists(tbl));

    data_.strings.Patch().Set("Saltglass Reaver", "Changed");
    files_ = {QString::fromStdString(tbl)};
    window.Command(kMainLoadStrings);
    EXPECT_NE(data_.strings.Patch().Find("Saltglass Reaver")->text, "Changed");

    data_.strings.Reset();
    window.SetStatus("before");
    files_ = {QString::fromStdString(dir_.File("empty.tbl"))};
    guide_->shown.clear();
    window.Command(kMainSaveStrings);
    EXPECT_EQ(guide_->shown,
              std::vector<std::string>{"Guide: Failed.\nCannot write " + dir_.File("empty.tbl") +
                                       ": the string table has no entries"});
    EXPECT_EQ(window.StatusText(), "before");
}

TEST_F(MainWindowTest, ReloadAndSpawnOnTakeAndWriteThePatchArchive) {
    CMainWindow& window = Start();
    // Reload asks, then takes the game's table.
    data_.uniqueItems.SetCell(0, 4, "99");
    guide_->answers = {kGuideNo};
    window.Command(kMainReload);
    EXPECT_EQ(Unique().Text(0, 4), "99");
    guide_->answers = {kGuideYes};
    Choose(3);
    window.Command(kMainReload);
    EXPECT_EQ(Unique().Text(0, 4), "7");
    EXPECT_EQ(Items()->currentIndex(), 0);
    EXPECT_TRUE(data_.baseLists.Loaded());

    data_.uniqueItems.SetCell(2, 4, "42");
    data_.strings.Patch().Set("Saltglass Reaver", "Brine Edge");

    guide_->answers = {kGuideNo};
    window.Command(kMainSpawnOn);
    EXPECT_NE(Extracted(kUniqueEntry), Unique().Serialize());

    guide_->answers = {kGuideYes, kGuideYes};
    window.Command(kMainSpawnOn);
    EXPECT_EQ(Extracted(kUniqueEntry), Unique().Serialize());
    Extracted(kStringsEntry);
    CStrTbl written;
    ASSERT_TRUE(written.Read(gameDir_ + "out/patchstring.tbl"));
    ASSERT_NE(written.Find("Saltglass Reaver"), nullptr);
    EXPECT_EQ(written.Find("Saltglass Reaver")->text, "Brine Edge");
}

TEST_F(MainWindowTest, ExtraTwiceAndTheLanguageList) {
    CMainWindow& window = Start();
    window.Command(kMainExtra);
    EXPECT_EQ(window.StatusText(), "mode_b");
    EXPECT_TRUE(data_.extraFeatures);
    EXPECT_FALSE(window.Control(kMainRaw)->isHidden());
    EXPECT_FALSE(window.Control(kMainLanguage)->isHidden());
    window.Command(kMainExtra);
    EXPECT_EQ(window.StatusText(), "mode_a stabilized");
    EXPECT_FALSE(data_.extraFeatures);
    EXPECT_TRUE(window.Control(kMainRaw)->isHidden());
    EXPECT_TRUE(window.Control(kMainLanguage)->isHidden());

    auto* languages = window.ControlAs<QComboBox>(kMainLanguage);
    const auto choose = [&](const QString& language) {
        const int index = languages->findText(language);
        languages->setCurrentIndex(index);
        Q_EMIT languages->activated(index);
    };
    const QString named = Items()->itemText(0);
    const std::size_t entries = data_.strings.Patch().EntryCount();
    choose("DEU"); // the test game has no German string table: the English one stays
    EXPECT_EQ(guide_->shown.back(),
              "Guide: The game has no string tables for DEU\nThe ENG names stay.");
    EXPECT_EQ(data_.language, "ENG");
    EXPECT_EQ(languages->currentText(), "ENG");
    EXPECT_EQ(data_.strings.Patch().EntryCount(), entries);
    EXPECT_EQ(Items()->itemText(0), named);
}

// "Cache Img": the pictures extracted in one run, decoded, the working folder left
// clean, and the selected item's picture drawn in its box.
TEST_F(MainWindowTest, CacheImgDecodesEveryPictureAndTheSelectedOneIsDrawn) {
    // Adds "<name>.dc6" to the patch archive; each row starts with a pixel of entry 0,
    // where the picture has none.
    const auto addPicture = [this](const std::string& name, std::uint32_t width,
                                   std::uint32_t height) {
        const std::string row = std::string(1, '\0') + std::string(width - 1, '\x09');
        dc6enc::File file;
        file.frames.push_back(
            dc6enc::FrameOf(std::vector<std::string>(height, row), dc6enc::kTerminationEE));
        WriteBytes(gameDir_ + name + ".dc6", dc6enc::Encode(file));
        ASSERT_EQ(
            Mpq2k("a patch_d2.mpq " + name + ".dc6 data\\\\GLOBAL\\\\Items\\\\" + name + ".dc6"),
            "ok");
        fs::remove(gameDir_ + name + ".dc6");
    };
    // Two pictures in the patch archive: the first and the second item's.
    addPicture("invaxeu", 56, 84);
    addPicture("invwnd", 28, 84);
    CMainWindow& window = Start();
    CPictureWorker& worker = window.PictureWorker();
    EXPECT_TRUE(worker.workerRunning);
    // With the display off a new selection loads nothing.
    Choose(1);
    QTest::qWait(300);
    EXPECT_EQ(data_.pictures.Count(), 0u);

    window.Command(kMainCacheImages);
    EXPECT_TRUE(window.ControlAs<QCheckBox>(kMainShowImage)->isChecked());
    EXPECT_TRUE(worker.showImage);
    EXPECT_FALSE(fs::exists(gameDir_ + kWorkDirName));
    EXPECT_FALSE(fs::exists(gameDir_ + kWorkDirName + ".scs"));
    // The item selected before "Cache Img" is the one shown.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto current = data_.pictures.CurrentPic();
        return current && !current->IsEmpty() && current->Desc().width == 28;
    }));
    // Selecting the first item shows its picture, centred in the box.
    Choose(0);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto current = data_.pictures.CurrentPic();
        return current && current->Desc().width == 56;
    }));
    EXPECT_EQ(window.PicturePlace(56, 84) - window.ClientRect().topLeft(),
              QPoint(279, 145 + DialogUnitsY(14)));

    // Drawn over the dialog: entry 9 in colour, entry 0 letting the dialog show.
    const QImage shot = window.grab().toImage();
    const QPoint at = window.PicturePlace(56, 84);
    const QColor dialog = shot.pixelColor(window.PictureBox().topLeft() + QPoint(1, 1));
    EXPECT_NE(shot.pixelColor(at + QPoint(5, 5)), dialog);
    EXPECT_EQ(shot.pixelColor(at + QPoint(0, 5)), dialog);

    // Set Master, opened with the display on, shows the selected item's picture.
    CTxtTable seedSets;
    ASSERT_TRUE(seedSets.Load(std::string(TOLMERE_SOURCE_DIR) +
                              "/tests/data/seed-game/d2data/excel/SetItems.txt"));
    const CSetModel seedModel({&seedSets, nullptr});
    const std::string memberPicture =
        seedModel.PictureName(seedModel.Node(seedModel.Tree().Find(1000)), data_.baseLists);
    ASSERT_FALSE(memberPicture.empty());
    addPicture(memberPicture, 28, 56);
    {
        const CArchiveBridge bridge(gameDir_, FindArchiveTool(gameDir_, ""));
        CSetMasterDlg sets(data_, &bridge, true);
        sets.InitDialog();
        EXPECT_FALSE(sets.Picture()); // a set shows none
        ASSERT_TRUE(sets.SelectNode(1000));
        ASSERT_TRUE(sets.Picture());
        EXPECT_EQ(sets.Picture()->Desc().height, 56u);
        EXPECT_EQ(sets.PictureBox().size(), QSize(106, 118));
        EXPECT_FALSE(fs::exists(gameDir_ + kWorkDirName));
    }

    // Closing stops the worker.
    window.Command(kMainCancel);
    EXPECT_FALSE(worker.workerRunning);
    EXPECT_TRUE(worker.workerFinished);
}

} // namespace
} // namespace tolmere

namespace tolmere {
namespace {

// The search finds an item by any part of its key, its shown name or its base code, in
// any case; Enter in the field takes the first found and writes nothing.
TEST_F(MainWindowTest, TheSearchFindsItemsByAnyPartOfTheirWords) {
    CMainWindow& window = Start();
    auto* search = window.findChild<CItemSearch*>();
    ASSERT_NE(search, nullptr);
    const auto keyOf = [&](int row) { return std::string(Unique().Text(row, 0)); };
    const struct {
        const char* typed;
        std::vector<std::string> found;
    } cases[] = {
        {"THICK", {"Pale Thicket"}}, // inside a word, other case
        {"(wnd)", {"Cinderwick"}},   // the base code
        {"of the vesk", {"Voice of the Vesk Hills"}},
        {"no such item", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> found;
        for (int row : search->Matches(QString::fromLatin1(c.typed)))
            found.push_back(keyOf(row));
        EXPECT_EQ(found, c.found) << c.typed;
    }
    window.show();
    auto* field = window.ControlAs<QLineEdit>(kMainFind);
    field->setFocus();
    field->setText(QStringLiteral("hollowpine"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(keyOf(window.SelectedRow()), "Hollowpine Bow");
    // Typed key by key; Enter with no offer picked takes the first found.
    field->clear();
    QTest::keyClicks(field, QStringLiteral("pale thi"));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : field,
                    Qt::Key_Return);
    EXPECT_EQ(keyOf(window.SelectedRow()), "Pale Thicket");
    EXPECT_TRUE(guide_->shown.empty());
    window.hide();
}

} // namespace
} // namespace tolmere

namespace tolmere {
namespace {

// Ctrl+T: a name changed in the Strings window marks the names changed, a use of another
// item's key selects that item, and Spawn On writes the name.
TEST_F(MainWindowTest, StringsWindowRenamesAndGoesToAnItem) {
    CMainWindow& window = Start();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_GE(Items()->count(), 2);
    const std::string first = CUniqueModel(data_.uniqueItems, data_.uniqueLayout).Key(0);
    const std::int32_t target = 1;
    const std::string second = CUniqueModel(data_.uniqueItems, data_.uniqueLayout).Key(target);
    testing::WhenModal([&](QWidget* modal) {
        auto* strings = qobject_cast<CStringsDlg*>(modal);
        ASSERT_NE(strings, nullptr);
        ASSERT_TRUE(strings->SelectKey(first));
        strings->ControlAs<QLineEdit>(kStringsText)->setText(QStringLiteral("Renamed"));
        strings->Command(kStringsApply);
        ASSERT_TRUE(strings->SelectKey(second));
        auto* uses = strings->ControlAs<QTreeWidget>(kStringsUses);
        ASSERT_GE(uses->topLevelItemCount(), 1);
        Q_EMIT uses->itemClicked(uses->topLevelItem(0), 0);
    });
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(window.SelectedRow(), target);
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral(" *")));
    guide_->answers = {kGuideYes, kGuideYes};
    window.Command(kMainSpawnOn);
    CStrTbl written;
    ASSERT_TRUE(written.Parse(Extracted(kStringsEntry)));
    ASSERT_NE(written.Find(first), nullptr);
    EXPECT_EQ(written.Find(first)->text, "Renamed");
}

} // namespace
} // namespace tolmere
