#include "ui/kit/ShapedWindow.h"

#include "theme/QvSurface.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <cmath>

namespace {

std::function<bool()>& probe() {
    static std::function<bool()> installed;
    return installed;
}

std::function<void(QWidget*, const QRegion&)>& inputShaper() {
    static std::function<void(QWidget*, const QRegion&)> installed;
    return installed;
}

} // namespace

void ShapedWindow::setCompositorProbe(std::function<bool()> probe) {
    ::probe() = std::move(probe);
}

bool ShapedWindow::compositorRunning() {
    return !probe() || probe()();
}

void ShapedWindow::compositorChanged() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* shaped = qobject_cast<ShapedWindow*>(window)) {
            shaped->followOutline();
        }
    }
}

void ShapedWindow::setInputShaper(std::function<void(QWidget*, const QRegion&)> shaper) {
    ::inputShaper() = std::move(shaper);
}

ShapedWindow::ShapedWindow(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags | Qt::FramelessWindowHint) {
    // Before the native window is made: it then gets a visual with an alpha channel, so a compositor that
    // starts later blends it too.
    setAttribute(Qt::WA_TranslucentBackground);
}

QRegion ShapedWindow::shapeRegion() const {
    return QRegion(outline(QRectF(shapeRect())).toFillPolygon().toPolygon());
}

void ShapedWindow::paintShape(QPainter&) {}

void ShapedWindow::paintCutGround(QPainter& painter) {
    painter.fillRect(rect(), edgeColor());
}

void ShapedWindow::setShadows(QList<SurfaceShadow> shadows) {
    SurfaceStyle style;
    style.shadows = shadows;
    m_shadowMargins = shadows.isEmpty() ? QMargins() : QvSurface::shadowMargins(style);
    m_shadows = std::move(shadows);
    m_shadowPicture = QImage();
    setContentsMargins(m_shadowMargins);
    update();
}

void ShapedWindow::followOutline() {
    const bool cut = !compositorRunning();
    const QRegion shape = shapeRegion();
    if (cut) {
        setMask(shape);
    } else {
        clearMask();
    }
    // The mask is the window's drawn shape alone (on X11 its bounding shape), which also bounds where it
    // takes the pointer only while it is cut; round a shadow the pointer must pass through either way.
    if (!m_shadowMargins.isNull() && inputShaper()) {
        inputShaper()(this, shape);
    }
    if (cut != m_cut) {
        m_cut = cut;
        update();
    }
}

const QImage& ShapedWindow::shadowPicture() {
    const qreal scale = devicePixelRatioF();
    if (!m_shadowPicture.isNull() && m_shadowPictureSize == size() &&
        m_shadowPicture.devicePixelRatio() == scale) {
        return m_shadowPicture;
    }
    // The shape in black casts the shadows, in device pixels so they are as smooth as the screen allows.
    const QRect shape = shapeRect();
    QImage caster(int(std::ceil(shape.width() * scale)), int(std::ceil(shape.height() * scale)),
                  QImage::Format_ARGB32_Premultiplied);
    caster.fill(Qt::transparent);
    {
        QPainter painter(&caster);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.fillPath(outline(QRectF(QPointF(0, 0), QSizeF(shape.size()))), Qt::black);
    }
    QImage picture(int(std::ceil(width() * scale)), int(std::ceil(height() * scale)),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        QvSurface::paintShadowsOf(
            painter, caster, QPoint(qRound(shape.x() * scale), qRound(shape.y() * scale)), m_shadows, scale);
    }
    picture.setDevicePixelRatio(scale);
    m_shadowPicture = picture;
    m_shadowPictureSize = size();
    return m_shadowPicture;
}

void ShapedWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_cut) {
        // Up to the cut, so no pixel on the edge is left half see-through, which would show dark.
        paintCutGround(painter);
    } else if (!m_shadows.isEmpty()) {
        // Under the shape as well: its smoothed edge shows the shadow through, as it would on any ground.
        painter.drawImage(QPointF(0, 0), shadowPicture());
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintShape(painter);
}

void ShapedWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    followOutline();
}

void ShapedWindow::showEvent(QShowEvent* event) {
    // A compositor may have come or gone while it was hidden.
    followOutline();
    QWidget::showEvent(event);
}
