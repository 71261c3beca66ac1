// SPDX-License-Identifier: MIT
// tolmere-shots DIR: draws every window of the program, frame included, into one PNG
// per window and state, so that the chrome can be looked at without a desktop.
// tolmere-shots --show NAME: opens that one window on the desktop instead.
// Every label whose text does not fit its box is named on stderr, and the run then ends
// with a failure once all pictures are written.
#include "shots/LabelFit.h"
#include "shots/Shots.h"
#include "ui/SkinDialog.h"
#include "ui/SkinLook.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

int ShowOne(const std::string& name) {
    for (const tolmere::Shot& shot : tolmere::AllShots()) {
        if (shot.fileName != name && shot.fileName != name + ".png")
            continue;
        std::unique_ptr<QWidget> window = shot.make();
        if (auto* dialog = qobject_cast<tolmere::CSkinDialog*>(window.get()))
            return dialog->RunModal();
        window->show();
        return QApplication::exec();
    }
    std::fprintf(stderr, "tolmere-shots: no window named %s\n", name.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const bool show = argc == 3 && std::string(argv[1]) == "--show";
    if ((argc != 2 && !show) || std::string(argv[1]) == "--help") {
        std::fprintf(stderr, "usage: tolmere-shots DIR\n"
                             "       tolmere-shots --show NAME\n"
                             "Writes one PNG per window and state into DIR, or opens the\n"
                             "window NAME (such as 105-yesno) on the desktop.\n");
        return argc == 2 ? 0 : 1;
    }
    if (show) {
        QApplication app(argc, argv);
        tolmere::InstallFontSubstitutes();
        ShowOne(argv[2]);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tolmere::InstallFontSubstitutes();
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "tolmere-shots: cannot create %s\n", argv[1]);
        return 1;
    }
    int failures = 0;
    int misfits = 0;
    for (const tolmere::Shot& shot : tolmere::AllShots()) {
        std::unique_ptr<QWidget> window = shot.make();
        if (auto* dialog = qobject_cast<tolmere::CSkinDialog*>(window.get()))
            dialog->InitDialog();
        window->show();
        window->activateWindow();
        QApplication::processEvents();
        // Measured once the window is shown, so that style sheets have set the fonts.
        for (const QString& problem : tolmere::LabelFitProblems(window.get())) {
            std::fprintf(stderr, "tolmere-shots: %s: %s\n", shot.fileName.c_str(),
                         qPrintable(problem));
            ++misfits;
        }
        QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        // Only the window's own shape is drawn; the cut corners stay transparent.
        const QRegion shape = window->mask().isEmpty() ? QRegion(window->rect()) : window->mask();
        window->render(&image, QPoint(), shape);
        const QString path = dir.filePath(QString::fromStdString(shot.fileName));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "tolmere-shots: cannot write %s\n", qPrintable(path));
            ++failures;
        }
        window->hide();
    }
    if (misfits > 0)
        std::fprintf(stderr, "tolmere-shots: %d text(s) do not fit their boxes\n", misfits);
    return failures == 0 && misfits == 0 ? 0 : 1;
}
