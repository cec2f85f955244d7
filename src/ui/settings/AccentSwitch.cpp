#include "ui/settings/AccentSwitch.h"

#include "theme/QvColor.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/SettingsAccent.h"

#include <QPainter>

AccentSwitch::AccentSwitch(QWidget* parent) : PressableButton(0.96, parent) {
    setFocusPolicy(Qt::StrongFocus);
    AccessibleTraits::setRole(this, QAccessible::CheckBox);
    AccessibleTraits::setChecked(this, false);
    m_slide.setDuration(slideMs);
    m_slide.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_position = value.toDouble();
        update();
    });
    connect(this, &QAbstractButton::clicked, this, [this] { emit toggleRequested(!m_on); });
}

void AccentSwitch::setOn(bool on) {
    const bool changed = on != m_on;
    m_on = on;
    AccessibleTraits::setChecked(this, on);
    const double target = on ? 1.0 : 0.0;
    if (changed && isVisible()) {
        m_slide.stop();
        m_slide.setStartValue(m_position);
        m_slide.setEndValue(target);
        m_slide.start();
    } else if (m_slide.state() != QAbstractAnimation::Running) {
        m_position = target;
    }
    update();
}

void AccentSwitch::paintFace(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF track(QPointF(width() / 2.0 - trackWidth / 2.0, height() / 2.0 - trackHeight / 2.0),
                       QSizeF(trackWidth, trackHeight));
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_on ? SettingsAccent::of(this) : QvColor::qvBorder().resolve(scheme));
    painter.drawRoundedRect(track, trackHeight / 2.0, trackHeight / 2.0);
    const double travel = trackWidth - knobSide - 4;
    const QRectF knob(track.left() + 2 + travel * m_position, track.top() + 2, knobSide, knobSide);
    QColor shadow = QvColor::qvInkPrimary().resolve(scheme);
    shadow.setAlphaF(0.15f);
    painter.setBrush(shadow);
    painter.drawEllipse(knob.translated(0, 0.5).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.setBrush(QvColor::qvOnAccent().resolve(scheme));
    painter.drawEllipse(knob);
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(ring, 2));
        painter.drawRoundedRect(track.adjusted(-2, -2, 2, 2), trackHeight / 2.0 + 2, trackHeight / 2.0 + 2);
    }
}
