#include "shell/LabelRenderer.h"

#include "theme/QvFont.h"

#include <QHash>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The tray's usual height and the text size that reads best in it.
constexpr double kReferenceHeight = 22;
constexpr double kReferenceFontPixels = 14;
constexpr double kReferenceMargin = 3;
constexpr double kHaloOpacity = 0.55;

double scaleOf(int height) {
    return double(height) / kReferenceHeight;
}

int marginFor(int height) {
    return std::max(1, int(std::lround(kReferenceMargin * scaleOf(height))));
}

QImage drawn(const MenuBarDisplayContent& content, const QSize& size, const QFont& font, const QColor& ink) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    content.paint(painter, QRectF(image.rect()), font, ink);
    return image;
}

} // namespace

const QList<int>& LabelRenderer::offeredHeights() {
    // Up to twice the usual 22 pixels; each height costs a drawing every second while a timer runs.
    static const QList<int> heights{16, 22, 24, 32, 48};
    return heights;
}

QFont LabelRenderer::font(int height) {
    // Looking a font up is the dearest step of a drawing; a label is drawn each second at a few heights.
    static QHash<int, QFont> fonts;
    auto it = fonts.constFind(height);
    if (it == fonts.constEnd()) {
        it = fonts.insert(height, QvFont::qvText(kReferenceFontPixels * scaleOf(height), QFont::Medium));
    }
    return *it;
}

QSize LabelRenderer::size(const MenuBarDisplayContent& content, int height) {
    const QList<MenuBarDisplayContent::Item> row = content.items();
    if (row.size() == 1 && row.constFirst().kind == MenuBarDisplayContent::Item::Kind::icon) {
        return {height, height}; // the icon alone is an ordinary square icon
    }
    const double natural = content.size(font(height)).width();
    const int width = int(std::ceil(natural)) + 2 * marginFor(height);
    return {std::max(width, height), height};
}

QColor LabelRenderer::haloFor(const QColor& ink) {
    return ink.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

QImage LabelRenderer::render(const MenuBarDisplayContent& content, int height, const QColor& ink) {
    const QSize pictureSize = size(content, std::max(1, height));
    const QImage glyphs = drawn(content, pictureSize, font(pictureSize.height()), ink);

    // The halo is the glyphs' coverage widened by a pixel each way, laid under them: drawn once and
    // widened by hand, which costs far less than drawing the label again.
    const QColor halo = haloFor(ink);
    const int w = glyphs.width();
    const int h = glyphs.height();
    // The widest coverage of each pixel's row neighbours, then of its column neighbours in that.
    std::vector<int> across(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(glyphs.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            int cover = qAlpha(line[x]);
            if (x > 0) {
                cover = std::max(cover, qAlpha(line[x - 1]));
            }
            if (x + 1 < w) {
                cover = std::max(cover, qAlpha(line[x + 1]));
            }
            across[size_t(y) * size_t(w) + size_t(x)] = cover;
        }
    }
    const int haloScale = int(kHaloOpacity * 256);
    QImage image(pictureSize, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* line = reinterpret_cast<const QRgb*>(glyphs.constScanLine(y));
        const int* row = &across[size_t(y) * size_t(w)];
        const int* above = y > 0 ? row - w : row;
        const int* below = y + 1 < h ? row + w : row;
        for (int x = 0; x < w; ++x) {
            const int cover = std::max({row[x], above[x], below[x]});
            const QRgb glyph = line[x];
            // Glyph over halo, both premultiplied.
            const int haloAlpha = (cover * haloScale) >> 8;
            const int under = haloAlpha * (255 - qAlpha(glyph)) / 255;
            out[x] = qRgba(qRed(glyph) + halo.red() * under / 255, qGreen(glyph) + halo.green() * under / 255,
                           qBlue(glyph) + halo.blue() * under / 255, qAlpha(glyph) + under);
        }
    }
    return image;
}

PanelIconPixmap LabelRenderer::toIconPixmap(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    PanelIconPixmap pixmap{argb.width(), argb.height(), QByteArray()};
    pixmap.bytes.resize(qsizetype(argb.width()) * argb.height() * 4);
    char* out = pixmap.bytes.data();
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            qToBigEndian(line[x], out);
            out += 4;
        }
    }
    return pixmap;
}

QImage LabelRenderer::fromIconPixmap(const PanelIconPixmap& pixmap) {
    if (pixmap.width <= 0 || pixmap.height <= 0 ||
        pixmap.bytes.size() != qsizetype(pixmap.width) * pixmap.height * 4) {
        return {};
    }
    QImage image(pixmap.width, pixmap.height, QImage::Format_ARGB32);
    const char* in = pixmap.bytes.constData();
    for (int y = 0; y < pixmap.height; ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < pixmap.width; ++x) {
            line[x] = qFromBigEndian<quint32>(in);
            in += 4;
        }
    }
    return image;
}

PanelIconPixmapList LabelRenderer::iconPixmaps(const MenuBarDisplayContent& content, const QColor& ink) {
    PanelIconPixmapList list;
    for (int height : offeredHeights()) {
        list << toIconPixmap(render(content, height, ink));
    }
    return list;
}
