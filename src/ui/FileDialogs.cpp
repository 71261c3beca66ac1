#include "ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace tolmere {
namespace {

std::optional<QString> RunDesktopDialog(QWidget* parent, const FileDialogRequest& request) {
    if (request.folder) {
        const QString chosen =
            QFileDialog::getExistingDirectory(parent, request.defaultName, QDir::homePath());
        return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilter(QtFilter(request.filter));
    dialog.setDirectory(QDir::home());
    dialog.selectFile(request.defaultName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.save);
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
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace tolmere
