// SPDX-License-Identifier: MIT
// The main window's item pictures: "Cache Img", the display's check box, and drawing
// the selected item's picture in its box.
#include "ui/MainWindow.h"

#include "base/Guide.h"
#include "items/ItemPictures.h"
#include "ui/DibImage.h"

#include <QCheckBox>
#include <QPainter>

namespace tolmere {
namespace {

// The box, in the client area's pixels.
constexpr int kBoxLeft = 254;
constexpr int kBoxTop = 128;
constexpr int kBoxDown = 14; // dialog units: below the search field
constexpr int kBoxWidth = 106;
constexpr int kBoxHeight = 118;

} // namespace

QRect CMainWindow::PictureBox() const {
    // Beside the buttons at the right edge, which it follows as the window grows.
    return QRect(ClientRect().topLeft() +
                     QPoint(kBoxLeft + Grown().width(), kBoxTop + DialogUnitsY(kBoxDown)),
                 QSize(kBoxWidth, kBoxHeight));
}

QPoint CMainWindow::PicturePlace(int width, int height) const {
    // Divisions of signed numbers toward zero, so a larger picture overlaps both edges.
    return PictureBox().topLeft() + QPoint((kBoxWidth - width) / 2, (kBoxHeight - height) / 2);
}

void CMainWindow::paintEvent(QPaintEvent* event) {
    CSkinDialog::paintEvent(event);
    const std::shared_ptr<const CDib> picture = data_.pictures.CurrentPic();
    if (isMinimized() || !picture || picture->IsEmpty())
        return;
    QPainter painter(this);
    const QPoint at = PicturePlace(static_cast<int>(picture->Desc().width),
                                   static_cast<int>(picture->Desc().height));
    // Palette entry 0 is where the picture has no pixel: the dialog shows through.
    DrawAt(painter, *picture, at.x(), at.y(), 0);
}

void CMainWindow::SetShowImage(bool on) {
    CPictureWorker& worker = pictureWorker_;
    if (on && !worker.showImage)
        worker.pictureRequest = true;
    worker.showImage = on;
}

void CMainWindow::RequestPicture() {
    const std::int32_t row = SelectedRow();
    pictureWorker_.Request(
        row < 0 ? std::string()
                : UniquePictureName(data_.uniqueItems, data_.uniqueLayout, row, data_.baseLists));
}

void CMainWindow::OnCacheImages() {
    // The worker starts no load while this runs; one under way may still finish.
    auto* show = ControlAs<QCheckBox>(kMainShowImage);
    show->setChecked(false);
    pictureWorker_.pictureRequest = false;
    SetShowImage(false);
    if (!NeedGame())
        return;
    if (!data_.baseLists.Loaded()) {
        std::string failedList, reason;
        if (!bridge_->ExtractBaseLists(data_.baseLists, failedList, reason)) {
            GuideMsg("fail at " + failedList + "\n" + reason, kCaptionGuide);
            return;
        }
    }
    std::vector<std::string> names;
    for (std::int32_t row = 0; row < data_.uniqueItems.DataRowCount(); ++row)
        names.push_back(
            UniquePictureName(data_.uniqueItems, data_.uniqueLayout, row, data_.baseLists));
    // Pictures that would not load before are asked for again: the archive may have
    // been mended since.
    data_.pictures.ForgetEmpty();
    bridge_->RunPictureScript(names);
    int shown = 0;
    for (const std::string& name : names) {
        LoadItemPic(data_.pictures, bridge_->WorkDir(), name);
        const auto picture = data_.pictures.CurrentPic();
        shown += !name.empty() && picture && !picture->IsEmpty() ? 1 : 0;
    }
    bridge_->RemovePictures();
    RequestPicture();
    show->setChecked(true);
    SetShowImage(true);
    SetStatus(
        QString::asprintf("Pictures of %i of %i items", shown, static_cast<int>(names.size())));
}

} // namespace tolmere
