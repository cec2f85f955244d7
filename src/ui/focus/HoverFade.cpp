#include "ui/focus/HoverFade.h"

#include "ui/kit/MotionCurves.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

HoverFade::HoverFade(QWidget* target) : QObject(target), m_target(target) {
    m_animation.setEasingCurve(MotionCurves::easeOut());
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_level = value.toDouble();
        m_target->update();
    });
}

void HoverFade::setHovered(bool hovered) {
    if (hovered == m_hovered) {
        return;
    }
    m_hovered = hovered;
    m_animation.stop();
    const double target = hovered ? 1.0 : 0.0;
    // A fade cut short turns back from where it is, taking only its share of the time.
    m_animation.setDuration(std::max(1, int(durationMs * std::abs(target - m_level))));
    m_animation.setStartValue(m_level);
    m_animation.setEndValue(target);
    m_animation.start();
}

QColor HoverFade::mix(const QColor& from, const QColor& to, double level) {
    const auto channel = [level](float a, float b) {
        return float(double(a) + (double(b) - double(a)) * level);
    };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}
