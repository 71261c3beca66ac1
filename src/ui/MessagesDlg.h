// SPDX-License-Identifier: MIT
// "Messages": every message, answer and status line of the run, with its time, to read
// in full and copy.
#pragma once

#include "ui/SkinDialog.h"

#include <optional>
#include <string>
#include <utility>

namespace tolmere {

enum MessagesControl : int {
    kMessagesText = 1001,
    kMessagesOk = 1,
};

class CMessagesDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;
    explicit CMessagesDlg(QWidget* parent = nullptr);
    // The same view for another text, under its own title.
    CMessagesDlg(QWidget* parent, std::string title, std::string text);
    QString Text() const;

protected:
    void OnInitDialog() override;

private:
    std::optional<std::pair<std::string, std::string>> own_; // title and text
};

// The shortcut that opens it, Ctrl+M, on `window`.
void AddMessagesShortcut(QWidget* window);

} // namespace tolmere
