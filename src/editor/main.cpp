// SPDX-License-Identifier: MIT
// tolmere: the item table editor. Finds the game, loads its tables and runs the main
// window until it closes.
//
//   tolmere [--game DIR] [--prefix DIR]
//   tolmere --help | --version
//
// --game names the game's folder (or set TOLMERE_GAME_DIR); --prefix a Wine prefix
// whose registry knows where the game is. Without either, the registry of $WINEPREFIX
// (else ~/.wine) is asked. --help and --version answer before any window system is
// touched, so they work without a display.
#include "app/ProgramData.h"
#include "base/Services.h"
#include "ui/MainWindow.h"
#include "ui/SkinLook.h"
#include "ui/WindowGuide.h"
#include "ui/WindowSizing.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

// The build passes both; the fallbacks keep a build by other means compiling.
#ifndef TOLMERE_VERSION
#define TOLMERE_VERSION "unknown"
#endif
#ifndef TOLMERE_APP_ID
#define TOLMERE_APP_ID "io.github.tolmere.Tolmere"
#endif

namespace {

const char kUsage[] =
    "usage: tolmere [--game DIR] [--prefix DIR]\n"
    "       tolmere --help | --version\n"
    "  --game DIR     the game's folder (also $TOLMERE_GAME_DIR)\n"
    "  --prefix DIR   a Wine prefix whose registry names the game's folder\n"
    "                 (without either: the registry of $WINEPREFIX, else ~/.wine)\n"
    "  -h, --help     print this and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "Exit status: 0 closed, 1 wrong arguments, 2 the item table cannot be extracted\n"
    "from the game, 3 it cannot be loaded, 4 modkey.txt or colors.txt is missing,\n"
    "210 out of memory, 254 a table grew past the most cells it can hold, 255 an\n"
    "internal error.\n";

// False, having printed why, for arguments the program does not take.
bool ReadArguments(const QStringList& arguments, tolmere::GameSearch& search) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool takesValue = arg == QLatin1String("--game") || arg == QLatin1String("--prefix");
        if (!takesValue || i + 1 >= arguments.size()) {
            std::fprintf(stderr, "tolmere: unexpected argument %s\n%s", qPrintable(arg), kUsage);
            return false;
        }
        const std::string value = arguments[++i].toStdString();
        (arg == QLatin1String("--game") ? search.gameDir : search.prefix) = value;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    tolmere::InstallOutOfMemoryExit();
    // Before QApplication: it would abort without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("tolmere " TOLMERE_VERSION "\n", stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolmere"));
    // Where the windows' sizes are kept: ~/.config/Tolmere/Tolmere.conf.
    QApplication::setOrganizationName(QStringLiteral("Tolmere"));
    QApplication::setApplicationVersion(QStringLiteral(TOLMERE_VERSION));
    // Lets Wayland desktops match the windows to the installed desktop entry, and gives
    // X11 taskbars the installed icon (no icon where the program was not installed).
    QGuiApplication::setDesktopFileName(QStringLiteral(TOLMERE_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TOLMERE_APP_ID)));
    tolmere::ProgramData data;
    if (!ReadArguments(QApplication::arguments(), data.gameSearch))
        return 1;
    // One look on every desktop: the skin colours assume Fusion's plain controls.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    tolmere::InstallFontSubstitutes();
    tolmere::CWindowSizing::SetRemembered(true);
    std::shared_ptr<tolmere::CWindowGuide> guide = tolmere::InstallWindowGuide();

    tolmere::CMainWindow window(data);
    guide->SetStatusSink(
        [&window](const std::string& text) { window.SetStatus(QString::fromStdString(text)); });
    window.RunModal();
    guide->SetStatusSink(nullptr);
    return 0;
}
