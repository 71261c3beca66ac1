// SPDX-License-Identifier: MIT
// Drawing in-memory pictures with Qt.
#pragma once

#include "images/Dib.h"

#include <QImage>

class QPainter;

namespace tolmere {

// A rectangle given by its first and last pixels: right − left + 1 pixels wide and
// bottom − top + 1 high.
struct InclusiveRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A read-only view of the picture's rows: nothing is copied, so the image is valid
// only while the picture keeps those rows. 8-bit pictures carry their palette as the
// colour table. Null for an empty picture.
QImage DibImage(const CDib& dib);

// The whole picture, unscaled, its top-left pixel at (x, y). With `transparentIndex`
// (0 to 255) that palette entry of an 8-bit picture lets the background show.
void DrawAt(QPainter& painter, const CDib& dib, int x, int y, int transparentIndex = -1);

// The `source` part of the picture (its coordinates counted from the picture's top-left
// pixel) stretched onto `dest` by plain pixel copy. No source means the whole picture;
// no destination means the source part unscaled at (0, 0), so with neither the picture
// is drawn as it is at (0, 0). An empty rectangle draws nothing.
void DrawStretched(QPainter& painter, const CDib& dib, const InclusiveRect* dest,
                   const InclusiveRect* source);

} // namespace tolmere
