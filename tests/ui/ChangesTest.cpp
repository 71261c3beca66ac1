// SPDX-License-Identifier: MIT
#include "base/GuideLog.h"
#include "ui/ChangesDlg.h"
#include "ui/Griddor.h"
#include "ui/RawEditDlg.h"

#include "MainWindowFixture.h"
#include "UiTestHelpers.h"

#include <QShortcut>
#include <QTreeWidget>

namespace tolmere {
namespace {

using testing::Settle;
using testing::StartsWith;
using testing::WhenModal;

TEST_F(MainWindowTest, ChangesGoToTheItemAndSpawnOnSaysWhatItWillWrite) {
    ClearGuideLog();
    CMainWindow& window = Start();
    const std::string key(Unique().Text(2, 0));
    const std::string level(Unique().Text(2, 4));
    data_.uniqueItems.SetCell(2, 4, "42");
    data_.strings.Patch().Set("Saltglass Reaver", "Brine Edge");

    // Ctrl+Shift+D against the patch archive; a click on the item's line shows it.
    Choose(0);
    QStringList listed;
    int named = -1;
    QString rawAt, relisted;
    WhenModal([&](QWidget* dialog) {
        auto* list = FindControlAs<QTreeWidget>(dialog, kChangesList);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            listed << list->topLevelItem(i)->text(0) + "|" + list->topLevelItem(i)->text(1);
        // A name goes to the item of its key, a cell to Raw Edit on that cell; an edit
        // there is listed at once.
        Q_EMIT list->itemClicked(list->topLevelItem(1), 0);
        named = Items()->currentData().toInt();
        WhenModal([&](QWidget* raw) {
            auto* grid = static_cast<CRawEditDlg*>(raw);
            Settle(); // the grid goes to the cell once it runs
            rawAt = grid->StatusText();
            grid->Grid()->BeginEdit(2, 4);
            grid->Grid()->EditField()->setText(QStringLiteral("43"));
            grid->Grid()->EndEdit();
            grid->Command(kRawApply);
        });
        Q_EMIT list->itemClicked(list->topLevelItem(0), 0);
        Settle();
        relisted = list->topLevelItem(0)->text(3);
        static_cast<CSkinDialog*>(dialog)->Command(kChangesOk);
    });
    for (QShortcut* shortcut : window.findChildren<QShortcut*>())
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D))
            Q_EMIT shortcut->activated();
    EXPECT_EQ(listed, QStringList({QString::fromStdString(key) + "|lvl",
                                   QStringLiteral("Saltglass Reaver|name")}));
    EXPECT_EQ(rawAt, QStringLiteral("Row 3, column 5 (lvl)"));
    EXPECT_EQ(relisted, QStringLiteral("43"));
    EXPECT_EQ(Items()->currentData().toInt(), 2);
    ASSERT_GE(named, 0);
    EXPECT_NE(named, 2);
    EXPECT_EQ(Unique().Text(named, 0), "Saltglass Reaver");

    const std::string summary = "UniqueItems.txt: 1 item changed; patchstring.tbl: 1 name";
    guide_->answers = {kGuideNo};
    window.Command(kMainSpawnOn);
    ASSERT_FALSE(guide_->shown.empty());
    EXPECT_TRUE(StartsWith(guide_->shown[0], "Confirmation: " + summary + "\n\n"));
    EXPECT_EQ(GuideLogText().find("Written into"), std::string::npos);
    guide_->answers = {kGuideYes, kGuideYes};
    window.Command(kMainSpawnOn);
    EXPECT_NE(GuideLogText().find("Written into patch_d2.mpq: " + summary + "\nUniqueItems.txt\t" +
                                  key + "\tlvl\t" + level + "\t43\n"),
              std::string::npos)
        << GuideLogText();
}

} // namespace
} // namespace tolmere
