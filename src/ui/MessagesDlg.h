// SPDX-License-Identifier: MIT
// "Messages": every message, answer and status line of the run, with its time, to read
// in full and copy.
#pragma once

#include "ui/SkinDialog.h"

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
    QString Text() const;

protected:
    void OnInitDialog() override;
};

// The shortcut that opens it, Ctrl+M, on `window`.
void AddMessagesShortcut(QWidget* window);

} // namespace tolmere
