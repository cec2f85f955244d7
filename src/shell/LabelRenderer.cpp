#include "shell/LabelRenderer.h"

#include "platform/ProgramData.h"
#include "theme/QvFont.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The glyphs are drawn from the same files the icon theme holds, compiled in.
QString glyphResource(const QString& iconName) {
    return QStringLiteral(":/panel/") + iconName + QStringLiteral(".svg");
}

double plateRadius(int side) {
    return side * 0.22;
}

// A solid rounded plate of the ink's opposite lightness under everything, so the drawing reads on a light
// panel, a dark one, or one as light or dark as the ink. Returns the plate's rectangle.
QRectF paintPlate(QPainter& painter, int side, const QColor& ink) {
    const QRectF plate(0, 0, side, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(LabelRenderer::haloFor(ink));
    painter.drawRoundedRect(plate, plateRadius(side), plateRadius(side));
    return plate;
}

QRectF contentBox(const QRectF& plate) {
    const double pad = std::max(1.0, plate.width() * 0.08);
    return plate.adjusted(pad, pad, -pad, -pad);
}

QImage blank(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The glyphs' drawings, read once each: the pictures are drawn again at every size whenever the item changes.
QSvgRenderer* glyphDrawing(const QString& iconName) {
    static QHash<QString, std::shared_ptr<QSvgRenderer>> drawings;
    auto found = drawings.constFind(iconName);
    if (found == drawings.constEnd()) {
        found = drawings.insert(iconName, std::make_shared<QSvgRenderer>(glyphResource(iconName)));
    }
    return found.value()->isValid() ? found.value().get() : nullptr;
}

void drawGlyph(QPainter& painter, QSvgRenderer& svg, const QRectF& box, const QColor& ink) {
    // The drawing is one colour: paint it, then take its shape in the ink.
    QImage shape(box.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(QPointF(0, 0), box.size()));
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(shape.rect(), ink);
    }
    painter.drawImage(box.topLeft(), shape);
}

QPainterPath textPath(const QString& text, double size) {
    QPainterPath path;
    path.addText(0, 0, QvFont::qvText(size, QFont::Bold), text);
    return path;
}

// The figure's outline, from a large bold face, with its unit mark smaller on the baseline so "45s" reads
// as seconds at a glance; scaled into each square by the caller. The last one is kept, since every size
// of a picture, and the tray icon's, draw the same figure.
QPainterPath figurePath(const QString& figure, const QString& mark) {
    static QString lastFigure;
    static QString lastMark;
    static QPainterPath last;
    if (last.isEmpty() || figure != lastFigure || mark != lastMark) {
        QPainterPath path = textPath(figure, 100);
        if (!mark.isEmpty()) {
            QPainterPath markPath = textPath(mark, 62);
            markPath.translate(path.boundingRect().right() + 6, 0);
            path.addPath(markPath);
        }
        lastFigure = figure;
        lastMark = mark;
        last = path;
    }
    return last;
}

// Lays `path` into `box`: as large as fits, and up to half as tall again as it is wide when only the width
// limits it, since tall digits still read where wide ones would not fit.
void fillInto(QPainter& painter, const QPainterPath& path, const QRectF& box) {
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty() || box.isEmpty()) {
        return;
    }
    const double sx = box.width() / bounds.width();
    const double sy = std::min(box.height() / bounds.height(), sx * 1.5);
    const double scaleX = std::min(sx, sy);
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scaleX, sy);
    t.translate(-bounds.center().x(), -bounds.center().y());
    painter.drawPath(t.map(path));
}

} // namespace

const QList<int>& LabelRenderer::offeredSides() {
    static const QList<int> sides{16, 22, 24, 32, 48};
    return sides;
}

QColor LabelRenderer::haloFor(const QColor& ink) {
    return ink.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

QImage LabelRenderer::glyph(const QString& iconName, int side, const QColor& ink) {
    side = std::max(1, side);
    QImage image = blank(side);
    QSvgRenderer* drawing = glyphDrawing(iconName);
    if (!drawing) {
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGlyph(painter, *drawing, contentBox(paintPlate(painter, side, ink)), ink);
    return image;
}

QImage LabelRenderer::shortForm(const PanelShortForm& form, int side, const QColor& ink) {
    if (form.kind == PanelShortForm::Kind::glyph) {
        return glyph(PanelLabelParts::glyphName(form.iconStyle), side, ink);
    }
    side = std::max(1, side);
    QImage image = blank(side);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = paintPlate(painter, side, ink);
    QRectF box = contentBox(plate);
    if (form.gauge) {
        // What is left of the timer as a bar along the plate's foot, as the dial's ring shows it: the
        // figure keeps most of the square, since a ring around it would leave it too small to read.
        const double thickness = std::max(1.5, side * 0.09);
        const QRectF track(box.left(), box.bottom() - thickness, box.width(), thickness);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(ink.red(), ink.green(), ink.blue(), 70));
        painter.drawRect(track);
        painter.setBrush(ink);
        painter.drawRect(QRectF(track.left(), track.top(),
                                track.width() * form.gaugeFill / PanelShortForm::gaugeSteps, thickness));
        box.setBottom(track.top() - std::max(1.0, thickness * 0.6));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    if (form.paused) {
        // Two short bars before the figure, as the label puts its pause mark before the time: shorter
        // than the digits and set apart from them, so "||18" never reads as "1118".
        const double bar = std::max(1.25, box.width() * 0.09);
        const double gap = std::max(1.0, bar * 0.9);
        const double height = box.height() * 0.5;
        const QRectF bars(box.left(), box.center().y() - height / 2, 2 * bar + gap, height);
        painter.drawRect(QRectF(bars.left(), bars.top(), bar, bars.height()));
        painter.drawRect(QRectF(bars.left() + bar + gap, bars.top(), bar, bars.height()));
        box.setLeft(bars.right() + std::max(1.5, gap * 1.6));
    }
    fillInto(painter, figurePath(form.figure(), form.unitMark()), box);
    return image;
}

PanelIconPixmapList LabelRenderer::glyphPixmaps(const QString& iconName, const QColor& ink) {
    PanelIconPixmapList list;
    for (int side : offeredSides()) {
        list << toIconPixmap(glyph(iconName, side, ink));
    }
    return list;
}

PanelIconPixmapList LabelRenderer::shortFormPixmaps(const PanelShortForm& form, const QColor& ink) {
    PanelIconPixmapList list;
    for (int side : offeredSides()) {
        list << toIconPixmap(shortForm(form, side, ink));
    }
    return list;
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

QString LabelRenderer::iconThemePath() {
    const QString probe = QStringLiteral("icons/hicolor/scalable/status/") +
                          PanelLabelParts::pausedGlyphName() + QStringLiteral(".svg");
    const QString data = ProgramData::directory(probe);
    return QFileInfo::exists(QDir(data).filePath(probe)) ? QDir(data).filePath(QStringLiteral("icons"))
                                                         : QString();
}
