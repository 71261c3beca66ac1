// SPDX-License-Identifier: MIT
#include "ui/DibImage.h"

#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QVector>

namespace tolmere {
namespace {

// QRect keeps right and bottom inclusive too, so the corners carry over as they are.
QRect ToQRect(const InclusiveRect& rect) {
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom));
}

// Plain copy whatever the painter was set to; the setting is put back afterwards.
class NoSmoothing {
public:
    explicit NoSmoothing(QPainter& painter)
        : painter_(painter), was_(painter.testRenderHint(QPainter::SmoothPixmapTransform)) {
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    ~NoSmoothing() { painter_.setRenderHint(QPainter::SmoothPixmapTransform, was_); }
    NoSmoothing(const NoSmoothing&) = delete;
    NoSmoothing& operator=(const NoSmoothing&) = delete;

private:
    QPainter& painter_;
    bool was_;
};

} // namespace

QImage DibImage(const CDib& dib) {
    if (dib.IsEmpty())
        return QImage();
    const DibDesc& desc = dib.Desc();
    // A CDib only takes 8-bit pictures with their palette and 24-bit ones.
    const bool paletted = desc.bitsPerPixel == 8;
    // The const buffer keeps Qt from writing into the rows: a write would detach.
    QImage image(static_cast<const uchar*>(desc.rows.data()), static_cast<int>(desc.width),
                 static_cast<int>(desc.height), static_cast<qsizetype>(desc.stride),
                 paletted ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (paletted) {
        QVector<QRgb> colours(static_cast<int>(kPaletteEntries));
        for (std::size_t i = 0; i < kPaletteEntries; ++i) {
            const unsigned char* entry = desc.palette.data() + i * 4;
            colours[static_cast<int>(i)] = qRgb(entry[2], entry[1], entry[0]);
        }
        image.setColorTable(colours);
    }
    return image;
}

void DrawAt(QPainter& painter, const CDib& dib, int x, int y, int transparentIndex) {
    QImage image = DibImage(dib);
    if (image.isNull())
        return;
    if (transparentIndex >= 0 && transparentIndex < image.colorCount()) {
        // Changing the table copies the view's rows: the picture itself stays as it is.
        QVector<QRgb> colours = image.colorTable();
        colours[transparentIndex] = qRgba(0, 0, 0, 0);
        image.setColorTable(colours);
    }
    NoSmoothing plain(painter);
    painter.drawImage(QPoint(x, y), image);
}

void DrawStretched(QPainter& painter, const CDib& dib, const InclusiveRect* dest,
                   const InclusiveRect* source) {
    const QImage image = DibImage(dib);
    if (image.isNull())
        return;
    const QRect from = source != nullptr ? ToQRect(*source) : image.rect();
    if (from.isEmpty())
        return;
    NoSmoothing plain(painter);
    if (dest == nullptr) {
        painter.drawImage(QPoint(0, 0), image, from);
        return;
    }
    const QRect to = ToQRect(*dest);
    if (to.isEmpty())
        return;
    painter.drawImage(to, image, from);
}

} // namespace tolmere
