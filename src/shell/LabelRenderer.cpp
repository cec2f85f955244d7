#include "shell/LabelRenderer.h"

#include "theme/QvFont.h"

#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

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
    static const QList<int> heights{16, 22, 24, 32, 48, 64};
    return heights;
}

QFont LabelRenderer::font(int height) {
    return QvFont::qvText(kReferenceFontPixels * scaleOf(height), QFont::Medium);
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
    const QFont labelFont = font(pictureSize.height());
    const QImage glyphs = drawn(content, pictureSize, labelFont, ink);
    const QImage halo = drawn(content, pictureSize, labelFont, haloFor(ink));

    QImage image(pictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setOpacity(kHaloOpacity);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0) {
                painter.drawImage(QPoint(dx, dy), halo);
            }
        }
    }
    painter.setOpacity(1);
    painter.drawImage(QPoint(0, 0), glyphs);
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
