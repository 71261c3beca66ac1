// SPDX-License-Identifier: MIT
// Nothing lost, nothing hidden: the question before unsaved changes go, undo and
// redo, loads that check what they load, and failures that say why.
#include "MainWindowFixture.h"
#include "UiTestHelpers.h"
#include "base/GuideLog.h"
#include "ui/MessagesDlg.h"
#include "ui/WindowGuide.h"

#include <QLabel>

namespace tolmere {
namespace {

using ::tolmere::testing::ReadBytes;
using ::tolmere::testing::WhenModal;
using ::tolmere::testing::WriteBytes;
using Lines = std::vector<std::string>;

class SafetyTest : public MainWindowTest {
protected:
    // An edit of the table (a cell of row 0) or of the names, as the windows record them.
    void EditTable() {
        EditStep step;
        const CRowRecorder recorder(data_.uniqueItems, 0);
        data_.uniqueItems.SetCell(0, 4, "99");
        recorder.Finish(step);
        data_.history.Push(std::move(step));
    }
    void EditNames() {
        EditStep step;
        const CEntryRecorder recorder(data_.strings.Patch(), {"Saltglass Reaver"});
        data_.strings.Patch().Set("Saltglass Reaver", "Renamed");
        recorder.Finish(step);
        data_.history.Push(std::move(step));
    }
    // Puts a script in front of the real tool; it may fail on purpose.
    void WrapTool(const std::string& before) {
        std::filesystem::rename(gameDir_ + "mpq2k", gameDir_ + "mpq2k.real");
        WriteBytes(gameDir_ + "mpq2k", "#!/bin/sh\n" + before + "\nexec ./mpq2k.real \"$@\"\n");
        std::filesystem::permissions(gameDir_ + "mpq2k", std::filesystem::perms::owner_all);
    }
    void ChooseLanguage(const QString& language) {
        auto* languages = window_->ControlAs<QComboBox>(kMainLanguage);
        languages->setCurrentText(language);
        Q_EMIT languages->activated(languages->currentIndex());
    }
};

const std::string kDiscardTable = "Confirmation: Discard the unsaved changes to UniqueItems.txt?";
const std::string kDiscardNames =
    "Confirmation: Discard the unsaved changes to patchstring.tbl (ENG)?";

TEST_F(SafetyTest, EveryPathThatWouldThrowEditsAwayAsksFirst) {
    const struct {
        const char* name;
        bool names; // the edit is a rename rather than a table edit
        std::function<void()> act;
        std::string question;
    } paths[] = {
        {"closing", false, [this] { window_->Command(kMainCancel); }, kDiscardTable},
        {"Escape", true, [this] { QTest::keyClick(window_.get(), Qt::Key_Escape); }, kDiscardNames},
        {"Load File", false, [this] { window_->Command(kMainLoadFile); }, kDiscardTable},
        {"loading a string table", true, [this] { window_->Command(kMainLoadStrings); },
         kDiscardNames},
        {"a language switch", true, [this] { ChooseLanguage("DEU"); }, kDiscardNames},
        {"Reload", false, [this] { window_->Command(kMainReload); },
         "Confirmation: Reload data from d2?\nThe unsaved changes to UniqueItems.txt are then "
         "lost."},
    };
    for (const auto& path : paths) {
        for (const int answer : {kGuideNo, kGuideYes}) {
            SCOPED_TRACE(std::string(path.name) + (answer == kGuideYes ? ", Yes" : ", No"));
            Start();
            window_->show();
            path.names ? EditNames() : EditTable();
            const std::string table = Unique().Serialize();
            const std::size_t names = data_.strings.Patch().EntryCount();
            guide_->shown.clear();
            guide_->answers = {answer};
            asked_.clear();
            path.act();
            ASSERT_FALSE(guide_->shown.empty());
            EXPECT_EQ(guide_->shown.front(), path.question);
            if (answer == kGuideNo) {
                EXPECT_EQ(Unique().Serialize(), table);
                EXPECT_EQ(data_.strings.Patch().EntryCount(), names);
                if (path.names) {
                    EXPECT_EQ(data_.strings.Patch().Find("Saltglass Reaver")->text, "Renamed");
                }
                EXPECT_EQ(window_->result(), 0) << "the window stays open";
                EXPECT_TRUE(asked_.empty()) << "no file is asked for";
            } else {
                EXPECT_TRUE(guide_->shown.size() > 1 || !asked_.empty() ||
                            window_->result() == kDialogCancel || Unique().Serialize() != table)
                    << "it went on";
            }
        }
    }
}

TEST_F(SafetyTest, EditsThroughTheDialogsUndoAndRedoByteForByte) {
    CMainWindow& window = Start();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const std::string table = Unique().Serialize();
    const auto namesNow = [this] {
        std::string bytes;
        CStrTbl(data_.strings.Patch()).Serialize(bytes);
        return bytes;
    };
    const std::string names = namesNow();
    const auto lineOf = [this](std::int32_t slot) {
        for (int line = 0; line < Mods()->LineCount(); ++line) {
            if (Mods()->LineSlot(line) == slot)
                return line;
        }
        return -1;
    };
    const auto code = [this](int slot) { return std::string(Unique().Text(0, 9 + 4 * slot)); };
    const int count = std::stoi(std::string(Unique().Text(0, 8)));

    // Add: the dialog opens on the first free slot, and each box writes its own cell.
    testing::AnswerNext(
        {{kModifierList, "(str)"}, {kModifierMinBox, "12"}, {kModifierMaxBox, "12"}});
    window.Command(kMainAdd);
    EXPECT_EQ(code(count), "str");
    EXPECT_EQ(Unique().Text(0, 11 + 4 * count), "12");
    EXPECT_EQ(window.StatusText(), QString("%1 Modifiers").arg(count + 1));
    const std::string added = Unique().Serialize();
    // Edit that slot's line: no question, undo covers it.
    Mods()->SelectLine(lineOf(count));
    testing::AnswerNext({{kModifierMinBox, "15"}, {kModifierMaxBox, "15"}});
    window.Command(kMainEdit);
    EXPECT_EQ(Unique().Text(0, 11 + 4 * count), "15");
    const std::string edited = Unique().Serialize();
    // Delete asks first: No keeps it; Yes on the first slot closes the gap.
    Mods()->SelectLine(lineOf(count));
    guide_->answers = {kGuideNo};
    window.Command(kMainDelete);
    // Named as the list words it, with its code.
    EXPECT_EQ(guide_->shown.back(), "Confirmation: Delete modifier '+15 to Strength' (str)?");
    EXPECT_TRUE(Unique().Serialize() == edited);
    Mods()->SelectLine(lineOf(0));
    guide_->answers = {kGuideYes};
    window.Command(kMainDelete);
    EXPECT_EQ(code(count - 1), "str");
    EXPECT_EQ(code(count), "");
    EXPECT_EQ(Unique().Text(0, 8), std::to_string(count));
    const std::string deleted = Unique().Serialize();
    testing::AnswerNext({{kNameDlgName, "Brine Edge"}});
    window.Command(kMainName);
    const std::string renamed = namesNow();
    EXPECT_TRUE(Items()->itemText(0).endsWith(" --- [Brine Edge]"));
    EXPECT_EQ(window.windowTitle(), "Tolmere edit *");
    ASSERT_NE(renamed, names);

    const auto key = [&](Qt::KeyboardModifiers modifiers, Qt::Key which) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &window, which, modifiers);
    };
    // Whole files compared as bytes; a mismatch is told as a yes or no, not in full.
    key(Qt::ControlModifier, Qt::Key_Z);
    EXPECT_TRUE(namesNow() == names);
    EXPECT_EQ(window.StatusText(), "Undone: Rename Saltglass Reaver");
    for (const std::string* state : {&edited, &added, &table}) {
        key(Qt::ControlModifier, Qt::Key_Z);
        EXPECT_TRUE(Unique().Serialize() == *state);
    }
    EXPECT_EQ(window.windowTitle(), "Tolmere edit");
    key(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    EXPECT_TRUE(Unique().Serialize() == added);
    for (int redo = 0; redo < 3; ++redo)
        key(Qt::ControlModifier, Qt::Key_Y);
    EXPECT_TRUE(Unique().Serialize() == deleted);
    EXPECT_TRUE(namesNow() == renamed);
    EXPECT_EQ(window.windowTitle(), "Tolmere edit *");
    // Saving makes it clean; Load File starts a new history.
    files_ = {QString::fromStdString(dir_.File("saved.txt"))};
    window.Command(kMainSaveAs);
    EXPECT_FALSE(data_.history.Modified(&data_.uniqueItems));
    files_ = {QString::fromStdString(dir_.File("saved.txt"))};
    guide_->answers = {kGuideYes};
    window.Command(kMainLoadFile);
    key(Qt::ControlModifier, Qt::Key_Z);
    EXPECT_TRUE(Unique().Serialize() == deleted) << "a loaded file has no history to undo";
}

TEST_F(SafetyTest, FilesThatAreNotWhatWasAskedForAreRefusedAndChangeNothing) {
    CMainWindow& window = Start();
    const struct {
        const char* file;
        std::string bytes; // none: the file is missing
        int command;
        const char* reason;
    } cases[] = {
        {"missing.txt", "", kMainLoadFile, ":\nNo such file or directory"},
        {"other.txt", "name\tkind\r\nx\ty\r\n", kMainLoadFile,
         "other.txt: no column named code, so it is not a unique items table"},
        {"missing.tbl", "", kMainLoadStrings, ":\nNo such file or directory"},
        {"README.tbl", "# Tolmere\nAn editor.\n", kMainLoadStrings, "damaged string table"},
    };
    // Edits that are not undoable steps: no question, and they must survive.
    data_.uniqueItems.SetCell(0, 4, "99");
    data_.strings.Patch().Set("Saltglass Reaver", "Changed");
    const std::string table = Unique().Serialize();
    const std::size_t entries = data_.strings.Patch().EntryCount();
    for (const auto& c : cases) {
        if (!c.bytes.empty())
            WriteBytes(dir_.File(c.file), c.bytes);
        files_ = {QString::fromStdString(dir_.File(c.file))};
        window.Command(c.command);
        ASSERT_FALSE(guide_->shown.empty());
        EXPECT_TRUE(
            testing::StartsWith(guide_->shown.back(), "Guide: Cannot load " + dir_.File(c.file)));
        EXPECT_NE(guide_->shown.back().find(c.reason), std::string::npos) << guide_->shown.back();
        EXPECT_EQ(Unique().Serialize(), table) << c.file;
        EXPECT_EQ(data_.strings.Patch().EntryCount(), entries) << c.file;
        EXPECT_EQ(data_.strings.Patch().Find("Saltglass Reaver")->text, "Changed") << c.file;
    }
}

TEST_F(SafetyTest, TheToolsReasonReachesTheMessage) {
    CMainWindow& window = Start();
    WrapTool("echo 'mpq2k: patch_d2.mpq: damaged archive: the hash table reaches past the end' "
             ">&2; exit 1");
    guide_->answers = {kGuideYes};
    window.Command(kMainReload);
    EXPECT_EQ(guide_->shown.back(),
              "Guide: Unable to extract UniqueItems.txt from mpqs\nmpq2k: patch_d2.mpq: damaged "
              "archive: the hash table reaches past the end");
    // The patch archive failed: the base archive's table is not taken instead.
    EXPECT_EQ(Unique().Serialize(),
              ReadBytes(TOLMERE_SOURCE_DIR "/tests/data/seed-game/patch/excel/UniqueItems.txt"));
}

TEST_F(SafetyTest, PropertyTablesThatFailToLoadAreSaidAndTheCatalogueWords) {
    // The expansion archive is damaged; the patch archive still serves the items.
    WriteBytes(gameDir_ + "d2exp.mpq", std::string(4096, 'x'));
    CMainWindow& window = Start();
    ASSERT_FALSE(guide_->shown.empty());
    EXPECT_TRUE(testing::StartsWith(guide_->shown.front(),
                                    "Guide: The game's Properties.txt and ItemStatCost.txt did not "
                                    "load:\nmpq2k: "));
    EXPECT_GT(Items()->count(), 0);
    EXPECT_GT(Mods()->LineCount(), 0);
    EXPECT_FALSE(window.Data().game.Ready());
}

TEST_F(SafetyTest, AStringTableThatDidNotLoadIsNeverWritten) {
    const std::string before = Extracted(kStringsEntry);
    // The extraction of patchstring.tbl fails once, at start.
    WrapTool("case \"$*\" in *patchstring*) [ -f once ] || { touch once; "
             "echo 'mpq2k: patch_d2.mpq: read error' >&2; exit 1; } ;; esac");
    CMainWindow& window = Start();
    ASSERT_FALSE(guide_->shown.empty());
    EXPECT_EQ(guide_->shown.front(), "Guide: patchstring.tbl (ENG) did not load:\nmpq2k: "
                                     "patch_d2.mpq: read error\nNames cannot be changed or "
                                     "written until a string table loads.");
    window.Command(kMainName);
    EXPECT_TRUE(testing::StartsWith(guide_->shown.back(), "Guide: patchstring.tbl (ENG) did not "
                                                          "load, so names cannot be changed"));
    guide_->answers = {kGuideYes, kGuideYes};
    window.Command(kMainSpawnOn);
    EXPECT_NE(window.StatusText().indexOf("patchstring.tbl (ENG) was not written"), -1);
    EXPECT_EQ(Extracted(kStringsEntry), before);
}

TEST_F(SafetyTest, EscapeClosingTheQuestionDoesNotCloseTheWindow) {
    CMainWindow& window = Start();
    window.show();
    EditTable();
    const std::shared_ptr<IGuide> previous = SetGuide(std::make_shared<CWindowGuide>());
    WhenModal([](QWidget* question) { QTest::keyClick(question, Qt::Key_Escape); });
    QTest::keyClick(&window, Qt::Key_Escape);
    testing::Settle();
    SetGuide(previous);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.result(), 0);
}

} // namespace
} // namespace tolmere

namespace tolmere {
namespace {

// Enter in a list means the list's own choice: in the modifiers it edits the selected
// one, in the item list nothing; never Spawn On, which writes the archive.
TEST_F(SafetyTest, EnterInAListNeverWritesTheArchive) {
    CMainWindow& window = Start();
    window.show();
    Mods()->SelectLine(0);
    const struct {
        QWidget* focus;
        bool editsModifier;
    } cases[] = {{Mods(), true}, {Items(), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus->objectName().toStdString());
        guide_->shown.clear();
        bool dialogOpened = false;
        WhenModal([&](QWidget* dialog) {
            dialogOpened = dialog != &window;
            static_cast<CSkinDialog*>(dialog)->Command(kDialogCancel);
        });
        c.focus->setFocus();
        QTest::keyClick(c.focus, Qt::Key_Return);
        testing::Settle();
        EXPECT_EQ(dialogOpened, c.editsModifier);
        EXPECT_TRUE(guide_->shown.empty()) << guide_->shown.front();
    }
    window.hide();
}

// A result longer than the status line is cut there with "…" but whole in its tooltip
// and in the Messages view, with the messages before it.
TEST_F(SafetyTest, EveryResultIsWholeInTheTooltipAndTheMessagesView) {
    CMainWindow& window = Start();
    ClearGuideLog();
    GuideMsg("A message before it", kCaptionGuide);
    const std::string status = "UniqueItems.txt written into patch_d2.mpq; the archive as it "
                               "was is kept in /home/modder/.local/share/tolmere/backups/"
                               "Diablo_II-390a69e770c8ba73/2026-12-07-204512_patch_d2.mpq";
    window.SetStatus(QString::fromStdString(status));
    auto* line = window.ControlAs<QLabel>(kMainStatus);
    EXPECT_TRUE(line->text().endsWith(QChar(0x2026))) << line->text().toStdString();
    EXPECT_EQ(line->toolTip().toStdString(), status);
    EXPECT_EQ(window.StatusText().toStdString(), status);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QString messages;
    WhenModal([&](QWidget* dialog) {
        messages = static_cast<CMessagesDlg*>(dialog)->Text();
        static_cast<CSkinDialog*>(dialog)->Command(kDialogOk);
    });
    QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier);
    window.hide();
    const qsizetype before = messages.indexOf(QStringLiteral("Guide: A message before it"));
    EXPECT_GE(before, 0) << messages.toStdString();
    EXPECT_GT(messages.indexOf(QString::fromStdString("Status: " + status)), before);
}

} // namespace
} // namespace tolmere
