// SPDX-License-Identifier: MIT
// The main window end to end: a game folder with the real mpq2k (a copy of the
// classic-layout test game, or one a test builds), the window run in-process with the
// message box, the file dialogs and the exit scripted.
#pragma once

#include "base/ProgramExit.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/ModListCtrl.h"
#include "ui/ModifierDlg.h"
#include "ui/NameDlg.h"

#include "support/ScriptedGuide.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QComboBox>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>

namespace tolmere {

struct ExitCalled {
    int code;
};

// A game folder (gameDir_) for the window to work on, its tool, a scripted message box,
// and an exit that throws.
class GameFolderTest : public ::testing::Test {
protected:
    using TempDir = ::tolmere::testing::TempDir;
    static constexpr char kUniqueEntry[] = "data\\GLOBAL\\Excel\\UniqueItems.txt";
    static constexpr char kStringsEntry[] = "data\\LOCAL\\LNG\\ENG\\patchstring.tbl";

    ~GameFolderTest() override { SetExitHandler(previousExit_); }

    std::string Mpq2k(const std::string& arguments) const {
        std::filesystem::create_directories(gameDir_ + "out");
        const std::string command = "cd '" + gameDir_ + "' && ./mpq2k " + arguments + " >/dev/null";
        return std::system(command.c_str()) == 0 ? "ok" : "failed";
    }
    // The bytes of `name` ("data\\…\\file") as the patch archive now holds it.
    std::string Extracted(const std::string& name) const {
        EXPECT_EQ(Mpq2k("e patch_d2.mpq '" + name + "' 'out\\'"), "ok") << name;
        return ::tolmere::testing::ReadBytes(gameDir_ + "out/" + name.substr(name.rfind('\\') + 1));
    }

    // Starts the window as the program does, without running it modally.
    CMainWindow& Start() {
        // Backups and the run's lock stay inside the test's folder, not the user's.
        if (data_.backup.dir.empty())
            data_.backup.dir = dir_.File("backups");
        window_ = std::make_unique<CMainWindow>(data_);
        window_->InitDialog();
        return *window_;
    }
    int StartExpectingExit() {
        try {
            Start();
        } catch (const ExitCalled& exit) {
            return exit.code;
        }
        return -1;
    }
    QComboBox* Items() { return window_->ControlAs<QComboBox>(kMainItemList); }
    CModListCtrl* Mods() { return window_->ControlAs<CModListCtrl>(kMainModList); }
    void Choose(int index) {
        Items()->setCurrentIndex(index);
        Q_EMIT Items()->activated(index);
    }
    const CTxtTable& Unique() const { return data_.uniqueItems; }

    TempDir dir_;
    std::string gameDir_;
    ::tolmere::testing::GuideScope guide_;
    ProgramData data_;
    std::unique_ptr<CMainWindow> window_;
    ExitHandler previousExit_ = SetExitHandler([](int code) { throw ExitCalled{code}; });
};

// The demo game, installed in a Wine prefix, with the file dialogs scripted.
class MainWindowTest : public GameFolderTest {
protected:
    static void SetUpTestSuite() {
        demo_ = new TempDir;
        const std::string command = std::string("bash '") + TOLMERE_SOURCE_DIR +
                                    "/tools/demo-game/make-demo-game.sh' '" + TOLMERE_MPQ2K +
                                    "' '" + TOLMERE_CLI + "' '" + TOLMERE_SOURCE_DIR +
                                    "/tests/data/seed-game' '" + demo_->Path() + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }

    MainWindowTest() {
        std::filesystem::copy(demo_->Path() + "/prefix", dir_.Path() + "/prefix",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
        gameDir_ = dir_.Path() + "/prefix/drive_c/Program Files/Diablo II/";
        setenv("WINEPREFIX", (dir_.Path() + "/prefix").c_str(), 1);
        previousFiles_ = SetFileDialogRunner([this](QWidget*, const FileDialogRequest& request) {
            asked_.push_back(request);
            std::optional<QString> answer;
            if (!files_.empty()) {
                answer = files_.front();
                files_.pop_front();
            }
            return answer;
        });
    }
    ~MainWindowTest() override {
        SetFileDialogRunner(previousFiles_);
        unsetenv("WINEPREFIX");
    }

    static inline TempDir* demo_ = nullptr;
    std::deque<QString> files_;
    std::vector<FileDialogRequest> asked_;
    FileDialogRunner previousFiles_;
};

} // namespace tolmere
