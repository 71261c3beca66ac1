// SPDX-License-Identifier: MIT
// Every text of the main windows readable: at least 9 points, and its glyphs standing
// out from what lies behind them by 4.5:1 or more, measured on the windows as drawn.
#include "ui/Griddor.h"
#include "ui/GuideMsgDlg.h"
#include "ui/ModListCtrl.h"
#include "ui/NameDlg.h"
#include "ui/RawEditDlg.h"
#include "ui/SetMasterDlg.h"
#include "ui/SkinLook.h"

#include "MainWindowFixture.h"
#include "UiTestHelpers.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStyleOptionGroupBox>
#include <QTreeWidget>

#include <cmath>
#include <map>

namespace tolmere {
namespace {

double Luminance(QRgb pixel) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
           0.0722 * linear(qBlue(pixel));
}

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The background is the area's most common colour; the glyphs' colour the one that
// differs from it most among those drawn often enough to be more than a stray pixel.
double TextContrast(const QImage& area) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            ++counts[area.pixel(x, y) | 0xFF000000u];
    QRgb background = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            most = count;
            background = colour;
        }
    }
    double best = 1;
    for (const auto& [colour, count] : counts) {
        if (count >= 4)
            best = std::max(best, Contrast(colour, background));
    }
    return best;
}

using ReadabilityTest = MainWindowTest;

TEST(Readability, TheSkinnedButtonsTextStandsOutFromTheDialog) {
    for (const QColor& text : {skin::kButtonText, skin::kButtonTextLit})
        EXPECT_GE(Contrast(text.rgb(), skin::kBackground.rgb()), 4.5);
}

TEST_F(ReadabilityTest, EveryTextIsLargeEnoughAndStandsOutFromItsBackground) {
    CMainWindow& main = Start();
    CSetMasterDlg sets(data_, nullptr);
    CTxtTable table = data_.uniqueItems;
    CRawEditDlg raw(data_, table, "UniqueItems.txt");
    CNameDlg name(data_.strings, "Saltglass Reaver", "");
    CGuideMsgDlg message(nullptr, "Write into it anyway?", "Confirmation", kGuideYesNo);
    for (CSkinDialog* window :
         std::initializer_list<CSkinDialog*>{&main, &sets, &raw, &name, &message}) {
        SCOPED_TRACE(window->windowTitle().toStdString());
        window->show();
        testing::Settle();
        const QImage shot = window->grab().toImage();
        const auto area = [&](QWidget* from, const QRect& rect) {
            return shot.copy(QRect(from->mapTo(window, rect.topLeft()), rect.size()));
        };
        int measured = 0;
        // Each text where it is drawn, cut to itself: a label's box, a frame's title, a
        // list's first line. The skinned buttons draw their text over a picture, so their
        // colour is checked against the dialog's.
        const auto measure = [&](QWidget* control, const QImage& text, const QString& what) {
            EXPECT_GE(control->font().pointSizeF(), 9.0) << what.toStdString();
            EXPECT_GE(TextContrast(text), 4.5) << what.toStdString();
            ++measured;
        };
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!control->isVisible() || control->window() != window)
                continue;
            if (auto* label = qobject_cast<QLabel*>(control); label && !label->text().isEmpty()) {
                measure(label, area(label, label->rect()), label->text());
            } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
                QStyleOptionGroupBox option;
                option.initFrom(frame);
                option.text = frame->title();
                option.subControls = QStyle::SC_GroupBoxLabel;
                const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                                   QStyle::SC_GroupBoxLabel, frame);
                measure(frame, area(frame, title), frame->title());
            } else if (auto* list = qobject_cast<QTreeWidget*>(control);
                       list && list->topLevelItemCount() > 0) {
                const QRect line = list->visualItemRect(list->topLevelItem(0));
                measure(list, area(list->viewport(), line),
                        list->topLevelItem(0)->text(list->columnCount() - 1));
            } else if (auto* grid = qobject_cast<CGriddor*>(control)) {
                // A cell of the second row: the first is selected.
                EXPECT_GE(grid->CellFont().pointSizeF(), 9.0);
                measure(grid, area(grid, grid->CellRect(1, 0)), QStringLiteral("grid cell"));
            } else if (auto* button = qobject_cast<QAbstractButton*>(control);
                       button && !button->text().isEmpty()) {
                EXPECT_GE(button->font().pointSizeF(), 8.0) << button->text().toStdString();
            }
        }
        EXPECT_GE(measured, 1);
        window->hide();
    }
}

} // namespace
} // namespace tolmere
