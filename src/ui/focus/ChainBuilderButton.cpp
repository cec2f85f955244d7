#include "ui/focus/ChainBuilderButton.h"

#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSymbolSpacing = 4;

} // namespace

ChainBuilderButton::ChainBuilderButton(Look look, QWidget* parent)
    : PressableButton(0.96, parent), m_look(std::move(look)) {
    setFont(m_look.font);
    // Reached with Tab; a click leaves the keyboard in the field being typed in.
    setFocusPolicy(Qt::TabFocus);
}

QSize ChainBuilderButton::sizeHint() const {
    double width = QFontMetricsF(font()).horizontalAdvance(text());
    if (!m_look.symbol.isEmpty()) {
        width += m_look.symbolSide + (text().isEmpty() ? 0 : kSymbolSpacing);
    }
    return {std::max(m_look.minimumSize.width(), int(std::ceil(width)) + 8), m_look.minimumSize.height()};
}

QSize ChainBuilderButton::minimumSizeHint() const {
    return m_look.minimumSize;
}

void ChainBuilderButton::paintFace(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(painter.opacity() * 0.4);
    }
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), m_look.cornerRadius);
    if (m_look.fill) {
        painter.fillPath(shape, *m_look.fill);
    }
    const double textWidth = QFontMetricsF(font()).horizontalAdvance(text());
    const double side = m_look.symbol.isEmpty() ? 0 : m_look.symbolSide;
    const double gap = side > 0 && !text().isEmpty() ? kSymbolSpacing : 0;
    // Centred, unless the button is wider than its content and has no fill: then it starts at the left,
    // like a link in the list it belongs to.
    double x = m_look.fill || sizeHint().width() >= width() ? (width() - (side + gap + textWidth)) / 2 : 4;
    if (side > 0) {
        SymbolIcon::paint(painter, QRectF(x, (height() - side) / 2, side, side), m_look.symbol, m_look.ink);
        x += side + gap;
    }
    painter.setPen(m_look.ink);
    painter.setFont(font());
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(ColorScheme::light);
        ring.setAlphaF(0.45f);
        painter.strokePath(shape, QPen(ring, 2));
    }
}

void ChainBuilderButton::focusInEvent(QFocusEvent* event) {
    update();
    PressableButton::focusInEvent(event);
}

void ChainBuilderButton::focusOutEvent(QFocusEvent* event) {
    update();
    PressableButton::focusOutEvent(event);
}
