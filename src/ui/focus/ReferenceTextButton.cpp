#include "ui/focus/ReferenceTextButton.h"

#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/focus/HoverFade.h"
#include "ui/kit/ViewEnvironment.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QFont titleFont() {
    return QvFont::qvText(11, QFont::DemiBold);
}

} // namespace

ReferenceTextButton::ReferenceTextButton(const QString& title, QvColor foreground, QWidget* parent)
    : PressableButton(0.96, parent), m_foreground(std::move(foreground)), m_hover(new HoverFade(this)) {
    // Reached with Tab; a click leaves the keyboard where it was.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setFont(titleFont());
    setTitle(title);
}

bool ReferenceTextButton::isHovered() const {
    return m_hover->isHovered();
}

void ReferenceTextButton::setTitle(const QString& title) {
    setText(title);
    setAccessibleName(title);
    updateGeometry();
    update();
}

QSize ReferenceTextButton::sizeHint() const {
    const double textWidth = QFontMetricsF(titleFont()).horizontalAdvance(text());
    return {std::max(minimumWidth, int(std::ceil(textWidth)) + 8), minimumHeight};
}

QSize ReferenceTextButton::minimumSizeHint() const {
    return {minimumWidth, minimumHeight};
}

void ReferenceTextButton::paintFace(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), cornerRadius);
    if (m_hover->level() > 0) {
        QColor fill = QvColor::qvSurfaceMuted().resolve(scheme);
        fill.setAlphaF(float(fill.alphaF() * m_hover->level()));
        painter.fillPath(shape, fill);
    }
    QColor ring = QvColor::qvInkAction().resolve(scheme);
    ring.setAlphaF(hasFocus() ? float(focusRingOpacity) : 0.0f);
    painter.strokePath(shape, QPen(ring, 2));
    painter.setFont(titleFont());
    painter.setPen(m_foreground.resolve(scheme));
    painter.drawText(QRectF(rect()), Qt::AlignCenter, text());
}

void ReferenceTextButton::enterEvent(QEnterEvent* event) {
    m_hover->setHovered(true);
    PressableButton::enterEvent(event);
}

void ReferenceTextButton::leaveEvent(QEvent* event) {
    m_hover->setHovered(false);
    PressableButton::leaveEvent(event);
}

void ReferenceTextButton::focusInEvent(QFocusEvent* event) {
    update();
    PressableButton::focusInEvent(event);
}

void ReferenceTextButton::focusOutEvent(QFocusEvent* event) {
    update();
    PressableButton::focusOutEvent(event);
}
