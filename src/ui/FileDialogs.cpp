// SPDX-License-Identifier: MIT
#include "ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>
#include <QWindow>

namespace tolmere {
namespace {

std::optional<QString> RunDesktopDialog(QWidget* parent, const FileDialogRequest& request) {
    // Without a parent: the skin's style sheet would reach into the dialog and dress
    // half of it. It stays above the window that asked all the same.
    QFileDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    if (parent) {
        dialog.winId();
        if (QWindow* above = parent->window()->windowHandle())
            dialog.windowHandle()->setTransientParent(above);
    }
    dialog.setDirectory(request.directory.isEmpty() ? QDir::homePath() : request.directory);
    if (request.folder) {
        dialog.setWindowTitle(request.defaultName);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        // The names read as the filter gives them; the patterns that do the work follow.
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilter(QtFilter(request.filter));
        dialog.selectFile(request.defaultName);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.save);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

FileDialogRunner& Runner() {
    static FileDialogRunner runner;
    return runner;
}

} // namespace

std::optional<QString> AskFileName(QWidget* parent, const FileDialogRequest& request) {
    if (Runner())
        return Runner()(parent, request);
    return RunDesktopDialog(parent, request);
}

FileDialogRunner SetFileDialogRunner(FileDialogRunner runner) {
    FileDialogRunner previous = std::move(Runner());
    Runner() = std::move(runner);
    return previous;
}

QString QtFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file on Windows, names without a dot included; here it
        // would leave those out.
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace tolmere
