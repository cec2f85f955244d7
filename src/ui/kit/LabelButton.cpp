#include "ui/kit/LabelButton.h"

#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/ViewEnvironment.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

LabelButton::LabelButton(double pressedScale, Look look, QWidget* parent)
    : PressableButton(pressedScale, parent), m_look(std::move(look)) {
    setFont(m_look.font);
    // Reachable with Tab, but a click leaves the keyboard focus where it was.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TranslucentBackground);
}

void LabelButton::setLook(Look look) {
    m_look = std::move(look);
    setFont(m_look.font);
    updateGeometry();
    update();
}

double LabelButton::symbolSide() const {
    return std::round(QFontMetricsF(font()).height() * 0.8);
}

QSize LabelButton::sizeHint() const {
    const QFontMetricsF metrics(font());
    double width = 2 * m_look.horizontalPadding + metrics.horizontalAdvance(text());
    if (!m_look.symbol.isEmpty()) {
        width += symbolSide() + (text().isEmpty() ? 0 : symbolSpacing);
    }
    const double height = metrics.height() + 16;
    return QSize(std::max(m_look.minimumSize.width(), int(std::ceil(width))) + 2 * focusRingRoom,
                 std::max(m_look.minimumSize.height(), int(std::ceil(height))) + 2 * focusRingRoom);
}

QSize LabelButton::minimumSizeHint() const {
    return sizeHint();
}

QRectF LabelButton::shapeRect() const {
    return QRectF(rect()).adjusted(focusRingRoom, focusRingRoom, -focusRingRoom, -focusRingRoom);
}

void LabelButton::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    if (!isEnabled()) {
        painter.setOpacity(painter.opacity() * m_look.disabledOpacity);
    }
    // Inset by half the outline, so the 1 px line lies inside the widget.
    const QRectF shape = shapeRect().adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath path = QvSurface::continuousRoundedRect(shape, m_look.cornerRadius);
    if (m_look.filled) {
        painter.fillPath(path, m_look.fill.resolve(scheme));
    }
    if (m_look.outline) {
        painter.setPen(QPen(m_look.outline->resolve(scheme), 1));
        painter.drawPath(path);
    }

    const QColor ink = m_look.ink.resolve(scheme);
    const QFontMetricsF metrics(font());
    const double textWidth = metrics.horizontalAdvance(text());
    const double side = m_look.symbol.isEmpty() ? 0 : symbolSide();
    const double gap = (side > 0 && !text().isEmpty()) ? symbolSpacing : 0;
    double x = (width() - (side + gap + textWidth)) / 2;
    if (side > 0) {
        SymbolIcon::paint(painter, QRectF(x, (height() - side) / 2, side, side), m_look.symbol, ink);
        x += side + gap;
    }
    painter.setPen(ink);
    painter.setFont(font());
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());

    if (hasFocus()) {
        // Just outside the shape, following its corners.
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(float(focusRingOpacity));
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(
            QvSurface::continuousRoundedRect(shapeRect().adjusted(-2, -2, 2, 2), m_look.cornerRadius + 2));
    }
}

void LabelButton::focusInEvent(QFocusEvent* event) {
    PressableButton::focusInEvent(event);
    update();
}

void LabelButton::focusOutEvent(QFocusEvent* event) {
    PressableButton::focusOutEvent(event);
    update();
}
