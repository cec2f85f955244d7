#include "theme/QvSurface.h"

#include "theme/QV.h"
#include "theme/QvColor.h"

#include <QCache>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A blur radius r is drawn as a Gaussian of standard deviation r / 2, cut off at three deviations.
double sigmaFor(double blur) {
    return blur / 2.0;
}

int reachFor(double blur) {
    return int(std::ceil(3.0 * sigmaFor(blur)));
}

std::vector<float> gaussianKernel(double sigma, int reach) {
    std::vector<float> kernel(size_t(2 * reach + 1));
    double sum = 0;
    for (int i = -reach; i <= reach; ++i) {
        const double v = std::exp(-(i * i) / (2 * sigma * sigma));
        kernel[size_t(i + reach)] = float(v);
        sum += v;
    }
    for (float& v : kernel) {
        v = float(v / sum);
    }
    return kernel;
}

// Blurs the alpha channel of `padded` (which already has room for the blur on every side) with a Gaussian of
// standard deviation `sigma` device pixels, as a mask.
QImage blurredAlpha(const QImage& padded, double sigma) {
    const QImage source = padded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = source.width();
    const int h = source.height();
    std::vector<float> alpha(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            alpha[size_t(y) * size_t(w) + size_t(x)] = float(qAlpha(line[x])) / 255.0f;
        }
    }
    if (sigma > 0.01) {
        const int k = std::max(1, int(std::ceil(3 * sigma)));
        const std::vector<float> kernel = gaussianKernel(sigma, k);
        std::vector<float> tmp(alpha.size());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float acc = 0;
                for (int i = -k; i <= k; ++i) {
                    const int xx = std::clamp(x + i, 0, w - 1);
                    acc += kernel[size_t(i + k)] * alpha[size_t(y) * size_t(w) + size_t(xx)];
                }
                tmp[size_t(y) * size_t(w) + size_t(x)] = acc;
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float acc = 0;
                for (int i = -k; i <= k; ++i) {
                    const int yy = std::clamp(y + i, 0, h - 1);
                    acc += kernel[size_t(i + k)] * tmp[size_t(yy) * size_t(w) + size_t(x)];
                }
                alpha[size_t(y) * size_t(w) + size_t(x)] = acc;
            }
        }
    }

    QImage mask(w, h, QImage::Format_Alpha8);
    for (int y = 0; y < h; ++y) {
        uchar* line = mask.scanLine(y);
        for (int x = 0; x < w; ++x) {
            line[x] =
                uchar(std::clamp(std::lround(alpha[size_t(y) * size_t(w) + size_t(x)] * 255.0f), 0L, 255L));
        }
    }
    return mask;
}

// The blurred coverage of a shape, in device pixels, with `reach` pixels of room on every side.
QImage shadowMask(const QSizeF& shapeSize, double radius, double blur, qreal dpr) {
    const int reach = int(std::ceil(reachFor(blur) * dpr));
    const int w = int(std::ceil(shapeSize.width() * dpr)) + 2 * reach;
    const int h = int(std::ceil(shapeSize.height() * dpr)) + 2 * reach;

    QImage shape(w, h, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.scale(dpr, dpr);
        // The outline's outer half belongs to what casts the shadow.
        const QRectF r(reach / dpr - 0.5, reach / dpr - 0.5, shapeSize.width() + 1, shapeSize.height() + 1);
        p.drawPath(QvSurface::continuousRoundedRect(r, radius + 0.5));
    }
    return blurredAlpha(shape, sigmaFor(blur) * dpr);
}

// Blurring is the costly step and the same few sizes are drawn over and over, so masks are kept.
const QImage& cachedShadowMask(const QSizeF& shapeSize, double radius, double blur, qreal dpr) {
    static QCache<QString, QImage> cache(64);
    const QString key = QStringLiteral("%1x%2 r%3 b%4 d%5")
                            .arg(shapeSize.width())
                            .arg(shapeSize.height())
                            .arg(radius)
                            .arg(blur)
                            .arg(dpr);
    if (QImage* hit = cache.object(key)) {
        return *hit;
    }
    auto* mask = new QImage(shadowMask(shapeSize, radius, blur, dpr));
    cache.insert(key, mask);
    return *cache.object(key);
}

// The mask of a drawing's shadow: its alpha, padded by `reach` and blurred. A drawing is repainted far more
// often than its outline changes (a ticking label inside a card), so masks are kept by the exact alpha
// channel they came from.
QImage cachedDrawingMask(const QImage& drawing, int reach, double sigma) {
    struct Entry {
        QByteArray alpha;
        QImage mask;
    };
    static QCache<QString, Entry> cache(16 * 1024 * 1024); // costs are bytes
    const QImage alphaOnly = drawing.convertToFormat(QImage::Format_Alpha8);
    const QByteArray alpha(reinterpret_cast<const char*>(alphaOnly.constBits()), alphaOnly.sizeInBytes());
    const QString key = QStringLiteral("%1x%2 r%3 s%4 h%5")
                            .arg(drawing.width())
                            .arg(drawing.height())
                            .arg(reach)
                            .arg(sigma)
                            .arg(qHash(alpha));
    if (Entry* hit = cache.object(key); hit && hit->alpha == alpha) {
        return hit->mask;
    }
    QImage padded(drawing.width() + 2 * reach, drawing.height() + 2 * reach,
                  QImage::Format_ARGB32_Premultiplied);
    padded.fill(Qt::transparent);
    {
        QPainter p(&padded);
        p.drawImage(reach, reach, alphaOnly);
    }
    const QImage mask = blurredAlpha(padded, sigma);
    // Images share their pixels, so the cache and the caller hold one copy; one too large is not kept.
    cache.insert(key, new Entry{alpha, mask}, alpha.size() + mask.sizeInBytes());
    return mask;
}

// Draws `mask` in the shadow's colour and opacity with its top-left corner at `topLeft`.
void drawMask(QPainter& painter, const QImage& mask, const QPointF& topLeft, const SurfaceShadow& shadow,
              qreal dpr) {
    QImage tinted(mask.size(), QImage::Format_ARGB32_Premultiplied);
    const QColor c = shadow.color;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* in = mask.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(tinted.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            const int a = in[x];
            out[x] = qRgba(c.red() * a / 255, c.green() * a / 255, c.blue() * a / 255, a);
        }
    }
    tinted.setDevicePixelRatio(dpr);
    painter.save();
    painter.setOpacity(painter.opacity() * shadow.opacity);
    painter.drawImage(topLeft, tinted);
    painter.restore();
}

void paintShadow(QPainter& painter, const QRectF& shapeRect, double radius, const SurfaceShadow& shadow) {
    if (shadow.opacity <= 0 || shapeRect.isEmpty()) {
        return;
    }
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QImage& mask = cachedShadowMask(shapeRect.size(), radius, shadow.blur, dpr);
    const double reach = std::ceil(reachFor(shadow.blur) * dpr) / dpr;
    drawMask(painter, mask, QPointF(shapeRect.left() - reach, shapeRect.top() - reach + shadow.y), shadow,
             dpr);
}

} // namespace

SurfaceStyle QvSurface::qvCard(bool isHovered, double cornerRadius, ColorScheme scheme) {
    // The card's shadows take the ink colour, not black, and stay the same in both schemes.
    const QColor ink = QvColor::qvInkPrimary().resolve(scheme);
    SurfaceStyle style;
    style.cornerRadius = cornerRadius;
    style.fill = (isHovered ? QvColor::qvBgCardHover() : QvColor::qvBgCard()).resolve(scheme);
    style.outline = QvColor::qvBorderCard().resolve(scheme);
    style.shadows = {{ink, QV::cardShadowOpacityNear, QV::cardShadowRadiusNear, QV::cardShadowYNear},
                     {ink, QV::cardShadowOpacityFar, QV::cardShadowRadiusFar, QV::cardShadowYFar}};
    return style;
}

SurfaceStyle QvSurface::qvChip(bool isHovered, ColorScheme scheme) {
    SurfaceStyle style;
    style.cornerRadius = 8;
    style.fill = (isHovered ? QvColor::qvBgCardHover() : QvColor::qvBgCard()).resolve(scheme);
    style.outline = QvColor::qvBorderCard().resolve(scheme);
    return style;
}

SurfaceStyle QvSurface::qvReferenceCard(bool isHovered, double cornerRadius, ColorScheme scheme) {
    const bool dark = scheme == ColorScheme::dark;
    SurfaceStyle style;
    style.cornerRadius = cornerRadius;
    style.fill = (isHovered ? QvColor::qvSurfaceRaised() : QvColor::qvSurface()).resolve(scheme);
    style.outline = QvColor::qvStroke().resolve(scheme);
    const double contact = dark ? QV::darkContactOpacity : QV::cardContactOpacity;
    const double ambient = dark ? QV::darkAmbientOpacity : (isHovered ? 0.08 : QV::cardAmbientOpacity);
    style.shadows = {{Qt::black, contact, QV::cardContactBlur, QV::cardContactY},
                     {Qt::black, ambient, QV::cardAmbientBlur, QV::cardAmbientY}};
    style.yOffset = isHovered ? -1 : 0;
    return style;
}

SurfaceStyle QvSurface::qvFloatingBar(ColorScheme scheme) {
    const bool dark = scheme == ColorScheme::dark;
    SurfaceStyle style;
    style.cornerRadius = QV::rBottomBar;
    style.fill = QvColor::qvSurfaceRaised().resolve(scheme);
    style.outline = QvColor::qvStroke().resolve(scheme);
    style.shadows = {{Qt::black, dark ? QV::darkContactOpacity : QV::floatingContactOpacity,
                      QV::floatingContactBlur, QV::floatingContactY},
                     {Qt::black, dark ? QV::darkAmbientOpacity : QV::floatingAmbientOpacity,
                      QV::floatingAmbientBlur, QV::floatingAmbientY}};
    return style;
}

void QvSurface::paint(QPainter& painter, const QRectF& shapeRect, const SurfaceStyle& style) {
    painter.save();
    painter.translate(0, style.yOffset);
    for (const SurfaceShadow& shadow : style.shadows) {
        paintShadow(painter, shapeRect, style.cornerRadius, shadow);
    }
    painter.restore();
    paintBody(painter, shapeRect, style);
}

void QvSurface::paintBody(QPainter& painter, const QRectF& shapeRect, const SurfaceStyle& style) {
    painter.save();
    painter.translate(0, style.yOffset);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(shapeRect, style.cornerRadius);
    painter.fillPath(shape, style.fill);
    QPen pen(style.outline, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.strokePath(shape, pen);
    painter.restore();
}

void QvSurface::paintShadowsOf(QPainter& painter, const QImage& drawing, const QPoint& at,
                               const QList<SurfaceShadow>& shadows, qreal scale) {
    if (drawing.isNull()) {
        return;
    }
    for (const SurfaceShadow& shadow : shadows) {
        if (shadow.opacity <= 0) {
            continue;
        }
        const int reach = int(std::ceil(reachFor(shadow.blur) * scale));
        const QImage mask = cachedDrawingMask(drawing, reach, sigmaFor(shadow.blur) * scale);
        drawMask(painter, mask, QPointF(at.x() - reach, at.y() - reach + shadow.y * scale), shadow, 1.0);
    }
}

QMargins QvSurface::shadowMargins(const SurfaceStyle& style) {
    // The outline's outer half always reaches one pixel out.
    double left = 1, top = 1, right = 1, bottom = 1;
    for (const SurfaceShadow& shadow : style.shadows) {
        const double reach = reachFor(shadow.blur) + 0.5;
        left = std::max(left, reach);
        right = std::max(right, reach);
        top = std::max(top, reach - shadow.y);
        bottom = std::max(bottom, reach + shadow.y);
    }
    top -= std::min(0.0, style.yOffset);
    bottom += std::max(0.0, style.yOffset);
    return QMargins(int(std::ceil(left)), int(std::ceil(top)), int(std::ceil(right)), int(std::ceil(bottom)));
}

QPainterPath QvSurface::continuousRoundedRect(const QRectF& rect, double radius) {
    QPainterPath path;
    const double half = std::min(rect.width(), rect.height()) / 2;
    radius = std::max(0.0, radius);
    if (radius <= 0 || half <= 0) {
        path.addRect(rect);
        return path;
    }
    // A continuous corner starts easing in 1.2 radii from the corner; with too little room it becomes a
    // circular arc (a capsule at the limit).
    double extent = radius * 1.2;
    double handle = 0.3; // fraction of the extent left between the control points and the corner
    if (extent > half) {
        extent = std::min(radius, half);
        handle = 1.0 - 0.5522847498; // a quarter circle
    }
    const double l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    const double e = extent, c = extent * handle;
    path.moveTo(l + e, t);
    path.lineTo(r - e, t);
    path.cubicTo(r - c, t, r, t + c, r, t + e);
    path.lineTo(r, b - e);
    path.cubicTo(r, b - c, r - c, b, r - e, b);
    path.lineTo(l + e, b);
    path.cubicTo(l + c, b, l, b - c, l, b - e);
    path.lineTo(l, t + e);
    path.cubicTo(l, t + c, l + c, t, l + e, t);
    path.closeSubpath();
    return path;
}
