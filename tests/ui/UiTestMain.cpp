// SPDX-License-Identifier: MIT
// The window tests run in-process on Qt's offscreen platform: one application object
// for the whole run, created before any test.
#include "ui/SkinLook.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tolmere::InstallFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
