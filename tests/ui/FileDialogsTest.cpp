#include "ui/FileDialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>

namespace tolmere {
namespace {

TEST(FileDialogs, FiltersReadAsTheyAreWrittenAndAllFilesMeansAll) {
    const QString filter = QtFilter("Tab Delimited Text File (*.txt)|*.txt|All Files(*.*)|*.*||");
    EXPECT_EQ(filter, "Tab Delimited Text File (*.txt) (*.txt);;All Files(*.*) (*)");
    // What the user sees in a dialog set up as the program sets its dialogs up.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(filter);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "Tab Delimited Text File (*.txt)");
    EXPECT_EQ(types->itemText(1), "All Files(*.*)");
}

} // namespace
} // namespace tolmere
