#include "ui/kit/PressableButton.h"

#include "platform/ReduceMotion.h"
#include "ui/kit/MotionCurves.h"

#include <QPainter>

PressableButton::PressableButton(double pressedScale, QWidget* parent)
    : QAbstractButton(parent), m_pressedScale(pressedScale) {
    m_animation.setEasingCurve(MotionCurves::easeOut());
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_progress = value.toDouble();
        update();
    });
    // Mouse and keyboard presses start moving at once; a down state set any other way is picked up by the
    // next paint, which every change of it asks for.
    connect(this, &QAbstractButton::pressed, this, &PressableButton::followDownState);
    connect(this, &QAbstractButton::released, this, &PressableButton::followDownState);
    connect(&ReduceMotion::instance(), &ReduceMotion::changed, this, [this] { update(); });
}

double PressableButton::faceScale() const {
    return ReduceMotion::enabled() ? 1.0 : 1.0 - (1.0 - m_pressedScale) * m_progress;
}

double PressableButton::faceOpacity() const {
    return 1.0 - (1.0 - pressedOpacity) * m_progress;
}

void PressableButton::followDownState() {
    const bool down = isDown();
    if (down == m_animatingToDown) {
        return;
    }
    m_animatingToDown = down;
    m_animation.stop();
    m_animation.setStartValue(m_progress);
    m_animation.setEndValue(down ? 1.0 : 0.0);
    m_animation.setDuration(ReduceMotion::enabled() ? reducedMotionDurationMs : durationMs);
    m_animation.start();
}

void PressableButton::paintEvent(QPaintEvent*) {
    followDownState();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setOpacity(faceOpacity());
    const double scale = faceScale();
    if (scale != 1.0) {
        const QPointF centre = QRectF(rect()).center();
        painter.translate(centre);
        painter.scale(scale, scale);
        painter.translate(-centre);
    }
    paintFace(painter);
}
