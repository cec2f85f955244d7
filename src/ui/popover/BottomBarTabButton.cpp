#include "ui/popover/BottomBarTabButton.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double kSelectedPadding = 14;
constexpr double kPadding = 12;
constexpr double kSelectedSpacing = 6;
constexpr double kTitleStartScale = 0.85;
constexpr double kFocusRingOpacity = 0.45;

QFont titleFont() {
    return QvFont::qvText(12, QFont::DemiBold);
}

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto channel = [t](float a, float b) { return float(double(a) + (double(b) - double(a)) * t); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

} // namespace

BottomBarTabButton::BottomBarTabButton(TarvolinTimerTab tab, QWidget* parent)
    : PressableButton(pressScale, parent), m_tab(tab) {
    setObjectName(accessibilityIdentifier(tab));
    setText(title(tab));
    setToolTip(title(tab));
    setAccessibleName(title(tab));
    AccessibleTraits::setRole(this, QAccessible::PageTab);
    AccessibleTraits::setSelected(this, false);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    connect(&m_titleAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_titleLevel = value.toDouble();
        update();
    });
    m_hoverAnimation.setEasingCurve(MotionCurves::easeOut());
    connect(&m_hoverAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_hoverLevel = value.toDouble();
        update();
    });
}

void BottomBarTabButton::setSelected(bool selected, const QEasingCurve* curve, int duration) {
    if (selected == m_selected) {
        return;
    }
    m_selected = selected;
    m_titleAnimation.stop();
    const double target = selected ? 1.0 : 0.0;
    if (curve && duration > 0) {
        m_titleAnimation.setEasingCurve(*curve);
        m_titleAnimation.setDuration(duration);
        m_titleAnimation.setStartValue(m_titleLevel);
        m_titleAnimation.setEndValue(target);
        m_titleAnimation.start();
    } else {
        m_titleLevel = target;
    }
    AccessibleTraits::setSelected(this, selected);
    update();
}

void BottomBarTabButton::setDrawsCapsule(bool draws) {
    if (draws != m_drawsCapsule) {
        m_drawsCapsule = draws;
        update();
    }
}

QRectF BottomBarTabButton::labelRectAt(double level) const {
    const double titleWidth = QFontMetricsF(titleFont()).horizontalAdvance(title(m_tab));
    const double padding = kPadding + (kSelectedPadding - kPadding) * level;
    const double width = 2 * padding + symbolSide + (kSelectedSpacing + titleWidth) * level;
    const double height = std::max(minimumLabelHeight, symbolSide);
    return QRectF((this->width() - width) / 2, (this->height() - height) / 2, width, height);
}

QColor BottomBarTabButton::inkColor() const {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const double level = m_selected ? 1.0 : m_hoverLevel;
    return mix(QvColor::qvTextSecondary().resolve(scheme), QvColor::qvInkAction().resolve(scheme), level);
}

void BottomBarTabButton::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF label = labelRect();
    const QColor muted = QvColor::qvSurfaceMuted().resolve(scheme);
    if (m_selected) {
        if (m_drawsCapsule) {
            painter.fillPath(QvSurface::continuousRoundedRect(label, label.height() / 2), muted);
        }
    } else if (m_hoverLevel > 0) {
        QColor circle = muted;
        circle.setAlphaF(float(m_hoverLevel));
        const double d = std::min(label.width(), label.height());
        painter.setPen(Qt::NoPen);
        painter.setBrush(circle);
        painter.drawEllipse(label.center(), d / 2, d / 2);
    }

    const QColor ink = inkColor();
    const double padding = kPadding + (kSelectedPadding - kPadding) * m_titleLevel;
    const QRectF symbol(label.left() + padding, label.center().y() - symbolSide / 2, symbolSide, symbolSide);
    SymbolIcon::paint(painter, symbol, symbolName(m_tab), ink);

    if (m_titleLevel > 0) {
        // The title grows in from the leading edge and fades in; under Reduce Motion it only fades.
        const QFont font = titleFont();
        const QFontMetricsF metrics(font);
        const QRectF titleRect(symbol.right() + kSelectedSpacing * m_titleLevel, label.top(),
                               metrics.horizontalAdvance(title(m_tab)) + 1, label.height());
        painter.save();
        painter.setOpacity(painter.opacity() * m_titleLevel);
        if (!ReduceMotion::enabled()) {
            const double scale = kTitleStartScale + (1 - kTitleStartScale) * m_titleLevel;
            const QPointF anchor(titleRect.left(), titleRect.center().y());
            painter.translate(anchor);
            painter.scale(scale, scale);
            painter.translate(-anchor);
        }
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, title(m_tab));
        painter.restore();
    }

    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(float(kFocusRingOpacity));
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        const QRectF around = label.adjusted(1, 1, -1, -1);
        painter.drawPath(QvSurface::continuousRoundedRect(around, around.height() / 2));
    }
}

void BottomBarTabButton::setHovered(bool hovered) {
    if (hovered == m_hovered) {
        return;
    }
    m_hovered = hovered;
    m_hoverAnimation.stop();
    m_hoverAnimation.setStartValue(m_hoverLevel);
    m_hoverAnimation.setEndValue(hovered ? 1.0 : 0.0);
    m_hoverAnimation.setDuration(ReduceMotion::enabled() ? reducedMotionHoverDurationMs : hoverDurationMs);
    m_hoverAnimation.start();
}

void BottomBarTabButton::enterEvent(QEnterEvent* event) {
    setHovered(true);
    PressableButton::enterEvent(event);
}

void BottomBarTabButton::leaveEvent(QEvent* event) {
    setHovered(false);
    PressableButton::leaveEvent(event);
}

void BottomBarTabButton::focusInEvent(QFocusEvent* event) {
    PressableButton::focusInEvent(event);
    update();
}

void BottomBarTabButton::focusOutEvent(QFocusEvent* event) {
    PressableButton::focusOutEvent(event);
    update();
}
