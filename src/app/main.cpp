// tolmere: the item table editor. Finds the game, loads its tables and runs the main
// window until it closes.
#include "app/MainWindow.h"
#include "app/ProgramData.h"
#include "tables/Services.h"
#include "ui/SkinLook.h"
#include "ui/WindowGuide.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv) {
    tolmere::InstallOutOfMemoryExit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolmere"));
    // One look on every desktop: the skin colours assume Fusion's plain controls.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    tolmere::InstallFontSubstitutes();
    std::shared_ptr<tolmere::CWindowGuide> guide = tolmere::InstallWindowGuide();

    tolmere::ProgramData data;
    tolmere::CMainWindow window(data);
    guide->SetStatusSink(
        [&window](const std::string& text) { window.SetStatus(QString::fromStdString(text)); });
    window.RunModal();
    guide->SetStatusSink(nullptr);
    return 0;
}
