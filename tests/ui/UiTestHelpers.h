// SPDX-License-Identifier: MIT
// Driving modal windows from tests: act on whatever window runs modally next.
#pragma once

#include "ui/SkinDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tolmere::testing {

// Runs `action` on the next modal window once its event loop runs. The action sees the
// window, already shown.
inline void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        // Keys reach shortcuts and the focused control only in the active window.
        modal->activateWindow();
        (void)QTest::qWaitForWindowActive(modal);
        action(modal);
    });
}

// Fills the next modal dialog's boxes by id and ends it with `command`: a combo box takes
// its item ending with the text, a line edit the text.
inline void AnswerNext(std::vector<std::pair<int, QString>> boxes, int command = kDialogOk) {
    WhenModal([boxes, command](QWidget* dialog) {
        for (const auto& [id, text] : boxes) {
            if (auto* list = FindControlAs<QComboBox>(dialog, id))
                list->setCurrentIndex(list->findText(text, Qt::MatchEndsWith));
            else
                FindControlAs<QLineEdit>(dialog, id)->setText(text);
        }
        static_cast<CSkinDialog*>(dialog)->Command(command);
    });
}

// `text` begins with `start`; said in full when it does not.
inline ::testing::AssertionResult StartsWith(const std::string& text, const std::string& start) {
    if (text.rfind(start, 0) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "\"" << text << "\" does not start with \"" << start << "\"";
}

// Lets posted events (queued clicks, repaints) arrive.
inline void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Pixel for pixel, ignoring what else the images carry.
inline bool SamePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

} // namespace tolmere::testing
