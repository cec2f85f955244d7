#include "ui/kit/SurfaceWidget.h"

#include "theme/QV.h"
#include "theme/QvSurface.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEnterEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

SurfaceWidget::SurfaceWidget(Kind kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_cornerRadius(kind == Kind::referenceCard ? QV::rSurface : QV::rCard) {
    setAttribute(Qt::WA_TranslucentBackground);
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
    QvSurface::paint(painter, QRectF(surfaceRect()), currentStyle());
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
