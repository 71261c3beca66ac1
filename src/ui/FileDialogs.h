// SPDX-License-Identifier: MIT
// The desktop's open and save dialogs, behind a seam tests replace.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace tolmere {

struct FileDialogRequest {
    bool save = false;     // a save dialog asks before overwriting
    QString defaultSuffix; // "txt"
    QString defaultName;   // "UniqueItems2.txt"
    QString filter;        // "Name (*.txt)|*.txt|All Files(*.*)|*.*||"
    bool folder = false;   // choose a folder, not a file; `defaultName` is the caption
    QString directory;     // where the dialog opens; the home folder when empty
};

// The chosen path, or nothing when the user cancelled.
using FileDialogRunner =
    std::function<std::optional<QString>(QWidget* parent, const FileDialogRequest& request)>;

std::optional<QString> AskFileName(QWidget* parent, const FileDialogRequest& request);

// Installs a runner and returns the previous one; an empty runner restores the
// desktop's dialogs.
FileDialogRunner SetFileDialogRunner(FileDialogRunner runner);

// "Text (*.txt)|*.txt|All Files(*.*)|*.*||" as Qt's "Text (*.txt) (*.txt);;All Files(*.*)
// (*)": each name as given, then its patterns, which a dialog hiding the filters'
// details leaves out of sight.
QString QtFilter(const QString& pipeFilter);

} // namespace tolmere
