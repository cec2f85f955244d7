#include "ui/kit/MinuteDialView.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "ui/kit/DialTickCalculator.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/ViewEnvironment.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kMajorTickWidth = 2;
constexpr double kMajorTickLength = 13;
constexpr double kMinorTickWidth = 1.5;
constexpr double kMinorTickLength = 9;
constexpr int kMajorTickInterval = 5;

double clamp01(double value) {
    return std::clamp(value, 0.0, 1.0);
}

// Straight interpolation of each channel and of the opacity, as a colour fade reads.
QColor mix(const QColor& from, const QColor& to, double t) {
    const auto channel = [t](float a, float b) { return float(double(a) + (double(b) - double(a)) * t); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

} // namespace

MinuteDialView::ArcSpan MinuteDialView::trailingArc(double progress) {
    if (progress < 0) {
        return {0, 0};
    }
    if (progress < trailLength) {
        return {0, progress};
    }
    if (progress < 1) {
        return {progress - trailLength, progress};
    }
    return {1 - trailLength, 1};
}

double MinuteDialView::dotAngle(double progress) {
    constexpr double pi = std::numbers::pi;
    if (progress < 0) {
        return -pi / 2;
    }
    if (progress >= 1) {
        return 3 * pi / 2;
    }
    return 2 * pi * progress - pi / 2;
}

MinuteDialView::MinuteDialView(int size, int activeTickCount, double progress, double activeOpacity,
                               QWidget* parent)
    : QWidget(parent), m_size(size), m_overflow(bumpOverflow(size)),
      m_activeTickCount(std::clamp(activeTickCount, 0, 60)), m_progress(progress),
      m_activeOpacity(activeOpacity) {
    setFixedSize(size + 2 * m_overflow, size + 2 * m_overflow);
    setAttribute(Qt::WA_TranslucentBackground);
    for (int i = 0; i < 60; ++i) {
        m_levels[size_t(i)] = i < m_activeTickCount ? 1.0 : 0.0;
    }
    m_dotProgress = clamp01(progress);

    m_tickAnimation.setStartValue(0.0);
    m_tickAnimation.setEndValue(1.0);
    m_tickAnimation.setEasingCurve(QEasingCurve::Linear);
    connect(&m_tickAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double t = value.toDouble();
        for (int i = 0; i < 60; ++i) {
            const double target = i < m_activeTickCount ? 1.0 : 0.0;
            m_levels[size_t(i)] = m_levelsFrom[size_t(i)] + (target - m_levelsFrom[size_t(i)]) * t;
        }
        update();
    });

    m_dotAnimation.setEasingCurve(QEasingCurve::Linear);
    connect(&m_dotAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_dotProgress = value.toDouble();
        update();
    });

    // Out to the bumped size, then straight back: the way back starts as the way out ends.
    auto* grow = new QVariantAnimation(&m_bump);
    grow->setStartValue(1.0);
    grow->setEndValue(bumpScale);
    grow->setDuration(bumpLegMs);
    grow->setEasingCurve(MotionCurves::easeOut());
    auto* shrink = new QVariantAnimation(&m_bump);
    shrink->setStartValue(bumpScale);
    shrink->setEndValue(1.0);
    shrink->setDuration(bumpLegMs);
    shrink->setEasingCurve(MotionCurves::easeIn());
    for (QVariantAnimation* leg : {grow, shrink}) {
        connect(leg, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            m_dotScale = value.toDouble();
            update();
        });
        m_bump.addAnimation(leg);
    }
}

int MinuteDialView::bumpOverflow(int size) {
    const double arcRadius = (size - 2 * arcInset) / 2.0;
    const double reach = arcRadius * bumpScale + dotDiameter * bumpScale / 2;
    return std::max(0, int(std::ceil(reach - size / 2.0)));
}

void MinuteDialView::setOverflow(int overflow) {
    m_overflow = std::max(0, overflow);
    setFixedSize(m_size + 2 * m_overflow, m_size + 2 * m_overflow);
    update();
}

QPointF MinuteDialView::centre() const {
    return QPointF(m_overflow + m_size / 2.0, m_overflow + m_size / 2.0);
}

void MinuteDialView::setState(int activeTickCount, double progress, double activeOpacity) {
    const int count = std::clamp(activeTickCount, 0, 60);
    const bool countChanged = count != m_activeTickCount;
    const bool progressChanged = progress != m_progress;
    const bool opacityChanged = activeOpacity != m_activeOpacity;
    if (!countChanged && !progressChanged && !opacityChanged) {
        return;
    }
    m_activeTickCount = count;
    m_progress = progress;
    m_activeOpacity = activeOpacity;

    if (!m_shown) {
        // Nothing has been seen yet, so nothing moves.
        for (int i = 0; i < 60; ++i) {
            m_levels[size_t(i)] = i < count ? 1.0 : 0.0;
        }
        m_dotProgress = clamp01(progress);
        update();
        return;
    }
    const int duration = ReduceMotion::enabled() ? reducedMotionChangeDurationMs : changeDurationMs;
    if (countChanged) {
        animateTicks(duration);
    }
    if (progressChanged) {
        animateDot(clamp01(progress), duration);
    }
    if (countChanged && count >= DialTickCalculator::tickCount && !ReduceMotion::enabled()) {
        bump();
    }
    update();
}

void MinuteDialView::animateTicks(int duration) {
    // Every tick fades from where it is drawn now, so a change arriving mid-fade never jumps.
    m_levelsFrom = m_levels;
    m_tickAnimation.stop();
    m_tickAnimation.setDuration(duration);
    m_tickAnimation.start();
}

void MinuteDialView::animateDot(double target, int duration) {
    m_dotAnimation.stop();
    m_dotAnimation.setStartValue(m_dotProgress);
    m_dotAnimation.setEndValue(target);
    m_dotAnimation.setDuration(duration);
    m_dotAnimation.start();
}

void MinuteDialView::bump() {
    // The animations are the dial's own children: they end with it.
    m_bump.stop();
    m_bump.start();
}

QPointF MinuteDialView::tickCentre(int index) const {
    const double angle = index * 6.0 * std::numbers::pi / 180.0;
    return centre() + QPointF(std::sin(angle) * tickRadius(), -std::cos(angle) * tickRadius());
}

QPointF MinuteDialView::pointOnArcCircle(double fraction) const {
    const double angle = 2 * std::numbers::pi * fraction - std::numbers::pi / 2;
    return centre() + QPointF(std::cos(angle) * arcRadius(), std::sin(angle) * arcRadius());
}

QPointF MinuteDialView::dotCentre() const {
    const double angle = dotAngle(m_dotProgress);
    // Scaled about the dial's centre, as the whole dot is: its distance grows with it.
    return centre() + QPointF(std::cos(angle), std::sin(angle)) * arcRadius() * m_dotScale;
}

void MinuteDialView::showEvent(QShowEvent* event) {
    m_shown = true;
    QWidget::showEvent(event);
}

void MinuteDialView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPointF middle = centre();

    // The trailing arc, back-most. Qt measures arcs in degrees counter-clockwise from three o'clock.
    const ArcSpan span = trailingArc(m_progress);
    if (span.to > span.from) {
        const double r = arcRadius();
        const QRectF circle(middle.x() - r, middle.y() - r, 2 * r, 2 * r);
        QPainterPath arc;
        arc.arcMoveTo(circle, 90.0 - span.from * 360.0);
        arc.arcTo(circle, 90.0 - span.from * 360.0, -(span.to - span.from) * 360.0);
        QPen pen(QvColor::qvDialArc().resolve(scheme), arcLineWidth, Qt::SolidLine, Qt::RoundCap,
                 Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.strokePath(arc, pen);
    }

    // The ticks: upright capsules pushed out to the tick radius, then turned into place about the centre.
    QColor lit = QvColor::qvSageEnabled().resolve(scheme);
    lit.setAlphaF(float(std::clamp(m_activeOpacity, 0.0, 1.0)));
    const QColor major = QvColor::qvTextTertiary().resolve(scheme);
    const QColor minor = QvColor::qvStroke().resolve(scheme);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 60; ++i) {
        const bool isMajor = i % kMajorTickInterval == 0;
        const double width = isMajor ? kMajorTickWidth : kMinorTickWidth;
        const double length = isMajor ? kMajorTickLength : kMinorTickLength;
        const QRectF shape(-width / 2, -tickRadius() - length / 2, width, length);
        painter.save();
        painter.translate(middle);
        painter.rotate(i * 6.0);
        painter.setBrush(mix(isMajor ? major : minor, lit, m_levels[size_t(i)]));
        painter.drawPath(QvSurface::continuousRoundedRect(shape, width));
        painter.restore();
    }

    // The dot, front-most.
    const double diameter = dotDiameter * m_dotScale;
    const QPointF dot = dotCentre();
    painter.setBrush(QvColor::qvOrangeLive().resolve(scheme));
    painter.drawEllipse(dot, diameter / 2, diameter / 2);
}
