#include "ui/kit/MinuteDialView.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/DialTickCalculator.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/ViewEnvironment.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

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
    AccessibleTraits::setHidden(this);
    for (int i = 0; i < 60; ++i) {
        m_levels[size_t(i)] = i < m_activeTickCount ? 1.0 : 0.0;
    }
    m_dotProgress = clamp01(progress);
    m_dotTarget = m_dotProgress;

    m_tickAnimation.setStartValue(0.0);
    m_tickAnimation.setEndValue(1.0);
    m_tickAnimation.setEasingCurve(QEasingCurve::Linear);
    connect(&m_tickAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { stepTicks(value.toDouble()); });

    m_dotAnimation.setEasingCurve(QEasingCurve::Linear);
    connect(&m_dotAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        // Steps too small to show are skipped; the last one always lands.
        const double place = value.toDouble();
        if (place == m_dotTarget || dotTravel(m_dotProgress, place) >= minDotStep) {
            moveDotTo(place);
        }
    });
    connect(&m_dotAnimation, &QAbstractAnimation::finished, this, [this] { moveDotTo(m_dotTarget); });

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
        connect(leg, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) { setDotScale(value.toDouble()); });
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
    if (progressChanged) {
        // The arc has no motion of its own: it is redrawn where it was and where it goes. Whole, as the
        // curve along its length shifts a little with its ends.
        update(QRegion(arcBounds(m_progress)) | arcBounds(progress));
    }
    if (opacityChanged) {
        update(faceArea());
    }
    m_activeTickCount = count;
    m_progress = progress;
    m_activeOpacity = activeOpacity;

    if (!isVisible()) {
        // Nothing is seen, so nothing moves.
        m_tickAnimation.stop();
        stepTicks(1.0);
        m_dotAnimation.stop();
        m_dotTarget = clamp01(progress);
        moveDotTo(m_dotTarget);
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
}

void MinuteDialView::animateTicks(int duration) {
    // Every tick fades from where it is drawn now, so a change arriving mid-fade never jumps.
    m_levelsFrom = m_levels;
    m_tickAnimation.stop();
    m_tickAnimation.setDuration(duration);
    m_tickAnimation.start();
}

void MinuteDialView::stepTicks(double t) {
    for (int i = 0; i < 60; ++i) {
        const double target = i < m_activeTickCount ? 1.0 : 0.0;
        const double from = t >= 1.0 ? target : m_levelsFrom[size_t(i)];
        const double level = from + (target - from) * t;
        if (level != m_levels[size_t(i)]) {
            m_levels[size_t(i)] = level;
            update(tickBounds(i));
        }
    }
    if (t >= 1.0) {
        m_levelsFrom = m_levels;
    }
}

void MinuteDialView::animateDot(double target, int duration) {
    m_dotAnimation.stop();
    m_dotTarget = target;
    if (dotTravel(m_dotProgress, target) < minDotStep) {
        moveDotTo(target);
        return;
    }
    m_dotAnimation.setStartValue(m_dotProgress);
    m_dotAnimation.setEndValue(target);
    m_dotAnimation.setDuration(duration);
    m_dotAnimation.start();
}

void MinuteDialView::moveDotTo(double dotProgress) {
    if (dotProgress == m_dotProgress) {
        return;
    }
    update(QRegion(dotBounds(m_dotProgress, m_dotScale)) | dotBounds(dotProgress, m_dotScale));
    m_dotProgress = dotProgress;
}

void MinuteDialView::setDotScale(double scale) {
    if (scale == m_dotScale) {
        return;
    }
    update(QRegion(dotBounds(m_dotProgress, m_dotScale)) | dotBounds(m_dotProgress, scale));
    m_dotScale = scale;
}

double MinuteDialView::dotTravel(double from, double to) const {
    // Along the path; at the dot's small steps the chord and the arc differ by nothing that shows.
    return std::abs(to - from) * 2 * std::numbers::pi * arcRadius() * devicePixelRatioF();
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

QRect MinuteDialView::tickBounds(int index) const {
    // A circle round the tick's centre holds it at any angle; a pixel more for its soft edge.
    const double reach = kMajorTickLength / 2 + 1;
    const QPointF c = tickCentre(index);
    return QRectF(c.x() - reach, c.y() - reach, 2 * reach, 2 * reach).toAlignedRect();
}

QRect MinuteDialView::dotBounds(double dotProgress, double scale) const {
    const double angle = dotAngle(dotProgress);
    const QPointF c = centre() + QPointF(std::cos(angle), std::sin(angle)) * arcRadius() * scale;
    const double reach = dotDiameter * scale / 2 + 1;
    return QRectF(c.x() - reach, c.y() - reach, 2 * reach, 2 * reach).toAlignedRect();
}

QPainterPath MinuteDialView::arcPath(double progress) const {
    // Qt measures arcs in degrees counter-clockwise from three o'clock.
    const ArcSpan span = trailingArc(progress);
    QPainterPath arc;
    if (!(span.to > span.from)) {
        return arc;
    }
    const double r = arcRadius();
    const QPointF middle = centre();
    const QRectF circle(middle.x() - r, middle.y() - r, 2 * r, 2 * r);
    arc.arcMoveTo(circle, 90.0 - span.from * 360.0);
    arc.arcTo(circle, 90.0 - span.from * 360.0, -(span.to - span.from) * 360.0);
    return arc;
}

QRect MinuteDialView::arcBounds(double progress) const {
    return arcReach(arcPath(progress));
}

QRect MinuteDialView::arcReach(const QPainterPath& arc) {
    if (arc.isEmpty()) {
        return {};
    }
    const double reach = arcLineWidth / 2 + 1;
    return arc.boundingRect().adjusted(-reach, -reach, reach, reach).toAlignedRect();
}

QRect MinuteDialView::faceArea() const {
    // The ticks reach the dial's edge; a pixel more holds their soft edge.
    return dialRect().adjusted(-1, -1, 1, 1);
}

void MinuteDialView::paintArc(QPainter& painter, ColorScheme scheme, const QPainterPath& arc) {
    QPen pen(QvColor::qvDialArc().resolve(scheme), arcLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.strokePath(arc, pen);
}

template <typename Which>
void MinuteDialView::paintTicks(QPainter& painter, ColorScheme scheme, Which which) const {
    // Upright capsules pushed out to the tick radius, then turned into place about the centre.
    QColor lit = QvColor::qvSageEnabled().resolve(scheme);
    lit.setAlphaF(float(std::clamp(m_activeOpacity, 0.0, 1.0)));
    const QColor major = QvColor::qvTextTertiary().resolve(scheme);
    const QColor minor = QvColor::qvStroke().resolve(scheme);
    const QPointF middle = centre();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 60; ++i) {
        if (!which(i)) {
            continue;
        }
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
}

bool MinuteDialView::paintFace(QPainter& painter, ColorScheme scheme) {
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || device.m11() != device.m22() || device.m11() <= 0) {
        return false;
    }
    const double scale = device.m11();
    const QRect area = faceArea();
    // The picture starts at a whole device pixel and carries the fraction inside, so it lands exactly where
    // the ticks drawn straight would.
    const QPointF origin = device.map(QPointF(area.topLeft()));
    const QPointF offset(origin.x() - std::floor(origin.x()), origin.y() - std::floor(origin.y()));

    FaceKey key{scale, offset, scheme, m_activeOpacity, {}};
    for (size_t i = 0; i < 60; ++i) {
        key.levels[i] = (m_levels[i] == 0.0 || m_levels[i] == 1.0) ? m_levels[i] : -1;
    }
    if (m_face.isNull() || !(key == m_faceKey)) {
        const QSize pixels(int(std::ceil(area.width() * scale + offset.x())),
                           int(std::ceil(area.height() * scale + offset.y())));
        QImage face(pixels, QImage::Format_ARGB32_Premultiplied);
        face.fill(Qt::transparent);
        QPainter facePainter(&face);
        facePainter.setRenderHint(QPainter::Antialiasing);
        facePainter.translate(offset);
        facePainter.scale(scale, scale);
        facePainter.translate(-QPointF(area.topLeft()));
        paintTicks(facePainter, scheme, [&key](int i) { return key.levels[size_t(i)] >= 0; });
        facePainter.end();
        face.setDevicePixelRatio(scale);
        m_face = std::move(face);
        m_faceKey = key;
        ++m_faceDraws;
    }
    painter.drawImage(QPointF(area.topLeft()) - offset / scale, m_face);
    return true;
}

void MinuteDialView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRect dirty = event->rect();

    // Back to front: the trailing arc, the ticks, the dot. Each is drawn only where it is to be repainted.
    const QPainterPath arc = arcPath(m_progress);
    if (!arc.isEmpty() && dirty.intersects(arcReach(arc))) {
        paintArc(painter, scheme, arc);
    }
    if (paintFace(painter, scheme)) {
        // The fading ticks are not in the picture.
        paintTicks(painter, scheme, [&](int i) {
            const double level = m_levels[size_t(i)];
            return level != 0.0 && level != 1.0 && dirty.intersects(tickBounds(i));
        });
    } else {
        paintTicks(painter, scheme, [](int) { return true; });
    }
    const QRect dot = dotBounds(m_dotProgress, m_dotScale);
    if (dirty.intersects(dot)) {
        const double diameter = dotDiameter * m_dotScale;
        painter.setBrush(QvColor::qvOrangeLive().resolve(scheme));
        painter.drawEllipse(dotCentre(), diameter / 2, diameter / 2);
    }
}
