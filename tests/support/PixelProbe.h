#pragma once
// Colour probes for pixel tests: how far apart two colours are, and what ink some text was drawn in.

#include <QColor>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstdlib>

namespace PixelProbe {

// The largest difference of one channel, 0…255.
inline int distance(const QColor& a, const QColor& b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// The pixel of `area` that differs most from `background`: for text, a pixel its strokes cover fully, so
// its ink whatever the antialiasing did at the edges. The background itself when nothing was drawn.
inline QColor inkIn(const QImage& image, const QRect& area, const QColor& background) {
    QColor ink = background;
    int best = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (const int d = distance(c, background); d > best) {
                best = d;
                ink = c;
            }
        }
    }
    return ink;
}

} // namespace PixelProbe
