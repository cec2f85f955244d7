#include "ui/kit/SurfaceWidget.h"

#include "theme/QV.h"
#include "theme/QvSurface.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEnterEvent>
#include <QGraphicsEffect>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace {

// Casts the surface's shadows from everything the surface shows, its content included: a badge that sticks
// out of the rounded shape throws its own shadow, as it would on paper.
class ContentShadowEffect : public QGraphicsEffect {
public:
    ContentShadowEffect(std::function<QList<SurfaceShadow>()> shadows, QObject* parent)
        : QGraphicsEffect(parent), m_shadows(std::move(shadows)) {}

protected:
    void draw(QPainter* painter) override {
        const QList<SurfaceShadow> shadows = m_shadows();
        if (shadows.isEmpty()) {
            drawSource(painter);
            return;
        }
        // In device pixels, so nothing is scaled twice; the surface keeps room for its shadows inside its
        // own rectangle, so no padding is needed.
        QPoint offset;
        const QPixmap drawing = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::NoPad);
        if (drawing.isNull()) {
            return;
        }
        const QTransform kept = painter->worldTransform();
        painter->setWorldTransform(QTransform());
        QvSurface::paintShadowsOf(*painter, drawing.toImage(), offset, shadows, drawing.devicePixelRatio());
        painter->drawPixmap(offset, drawing);
        painter->setWorldTransform(kept);
    }

private:
    std::function<QList<SurfaceShadow>()> m_shadows;
};

} // namespace

SurfaceWidget::SurfaceWidget(Kind kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_cornerRadius(kind == Kind::referenceCard ? QV::rSurface : QV::rCard) {
    setAttribute(Qt::WA_TranslucentBackground);
    // Read at every draw: the scheme and the hover state decide them.
    setGraphicsEffect(new ContentShadowEffect([this] { return currentStyle().shadows; }, this));
    updateMargins();
}

void SurfaceWidget::setCornerRadius(double radius) {
    m_cornerRadius = radius;
    update();
}

void SurfaceWidget::setHovered(bool hovered) {
    if (m_kind == Kind::floatingBar) {
        return; // the floating bar has no hover state
    }
    m_hovered = hovered;
    updateMargins();
    update();
}

void SurfaceWidget::setTracksHover(bool tracks) {
    m_tracksHover = tracks;
    if (!tracks) {
        setHovered(false);
    }
}

void SurfaceWidget::setPadding(const QMargins& padding) {
    m_padding = padding;
    updateMargins();
}

SurfaceStyle SurfaceWidget::styleFor(bool hovered) const {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    switch (m_kind) {
    case Kind::card:
        return QvSurface::qvCard(hovered, m_cornerRadius, scheme);
    case Kind::chip:
        return QvSurface::qvChip(hovered, scheme);
    case Kind::referenceCard:
        return QvSurface::qvReferenceCard(hovered, m_cornerRadius, scheme);
    case Kind::floatingBar:
        return QvSurface::qvFloatingBar(scheme);
    }
    return {};
}

SurfaceStyle SurfaceWidget::currentStyle() const {
    return styleFor(m_hovered);
}

QMargins SurfaceWidget::shadowMargins() const {
    // Room for both hover states, so hovering never moves the layout.
    const QMargins a = QvSurface::shadowMargins(styleFor(false));
    const QMargins b = QvSurface::shadowMargins(styleFor(m_kind != Kind::floatingBar));
    return QMargins(std::max(a.left(), b.left()), std::max(a.top(), b.top()), std::max(a.right(), b.right()),
                    std::max(a.bottom(), b.bottom()));
}

QRect SurfaceWidget::surfaceRect() const {
    return rect().marginsRemoved(shadowMargins());
}

void SurfaceWidget::updateMargins() {
    // The content rides the hover lift with its surface.
    const int lift = int(std::lround(-currentStyle().yOffset));
    QMargins m = shadowMargins() + m_padding;
    m.setTop(m.top() - lift);
    m.setBottom(m.bottom() + lift);
    setContentsMargins(m);
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QvSurface::paintBody(painter, QRectF(surfaceRect()), currentStyle());
}

void SurfaceWidget::enterEvent(QEnterEvent* event) {
    if (m_tracksHover) {
        setHovered(true);
    }
    QWidget::enterEvent(event);
}

void SurfaceWidget::leaveEvent(QEvent* event) {
    if (m_tracksHover) {
        setHovered(false);
    }
    QWidget::leaveEvent(event);
}
