#pragma once
// The standard surfaces (card, chip, reference card, floating bar): their styles and how they are painted.

#include "theme/ColorScheme.h"
#include "theme/SurfaceStyle.h"

#include <QImage>
#include <QList>
#include <QMargins>
#include <QPainterPath>
#include <QRectF>

class QPainter;

class QvSurface {
public:
    static SurfaceStyle qvCard(bool isHovered, double cornerRadius, ColorScheme scheme);
    static SurfaceStyle qvChip(bool isHovered, ColorScheme scheme);
    static SurfaceStyle qvReferenceCard(bool isHovered, double cornerRadius, ColorScheme scheme);
    static SurfaceStyle qvFloatingBar(ColorScheme scheme);

    // Paints shadows, fill and outline of a surface whose shape is `shapeRect`. The shadows reach outside
    // it by shadowMargins(): the painter's device must have that room, or they are clipped.
    static void paint(QPainter& painter, const QRectF& shapeRect, const SurfaceStyle& style);
    // The fill and the outline alone, lifted like the whole surface; for a caller that casts the shadows
    // from everything drawn, content included (paintShadowsOf).
    static void paintBody(QPainter& painter, const QRectF& shapeRect, const SurfaceStyle& style);
    // Paints the shadows that `drawing` casts, from its alpha channel, under a drawing placed at `at`. The
    // painter works in the drawing's own pixels; `scale` is how many of them make one logical pixel, so the
    // blur and the offsets keep their logical size.
    static void paintShadowsOf(QPainter& painter, const QImage& drawing, const QPoint& at,
                               const QList<SurfaceShadow>& shadows, qreal scale);
    // How far the surface's drawing reaches beyond its shape on each side, lift included.
    static QMargins shadowMargins(const SurfaceStyle& style);

    // A rounded rectangle whose corners ease into the straight edges instead of meeting them at a circle's
    // tangent; a radius beyond half the shorter side gives a capsule.
    static QPainterPath continuousRoundedRect(const QRectF& rect, double radius);

    QvSurface() = delete;
};
