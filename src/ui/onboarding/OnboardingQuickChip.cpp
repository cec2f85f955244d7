#include "ui/onboarding/OnboardingQuickChip.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvText.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QPainter>

OnboardingQuickChip::OnboardingQuickChip(int minutes, QWidget* parent)
    : PressableButton(pressScale, parent), m_minutes(minutes) {
    setObjectName(QStringLiteral("quorvane.onboarding.quickDuration.%1").arg(minutes));
    // Digits only, no unit: the same in every language.
    setText(QString::number(minutes));
    setFixedSize(frameSide, frameSide);
    setFocusPolicy(Qt::TabFocus);
    setFont(QvFont::qvText(11, QFont::DemiBold));
    setAttribute(Qt::WA_TranslucentBackground);
    retranslate();
}

void OnboardingQuickChip::setSelected(bool selected) {
    if (selected != m_selected) {
        m_selected = selected;
        update();
    }
}

void OnboardingQuickChip::retranslate() {
    setAccessibleName(tr("Review a %1-minute timer").arg(m_minutes));
}

bool OnboardingQuickChip::hitButton(const QPoint& pos) const {
    const QPointF d = QPointF(pos) - QRectF(rect()).center();
    return d.x() * d.x() + d.y() * d.y() <= (frameSide / 2.0) * (frameSide / 2.0);
}

void OnboardingQuickChip::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPointF centre = QRectF(rect()).center();
    const double r = chipDiameter / 2;
    const QRectF circle(centre.x() - r, centre.y() - r, chipDiameter, chipDiameter);
    painter.setPen(Qt::NoPen);
    painter.setBrush((m_selected ? QvColor::qvInkAction() : QvColor::qvSurface()).resolve(scheme));
    painter.drawEllipse(circle);
    if (!m_selected) {
        painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    painter.setPen((m_selected ? QvColor::qvInkOnAction() : QvColor::qvTextPrimary()).resolve(scheme));
    painter.setFont(font());
    QvText::drawTabular(painter, circle, Qt::AlignCenter, text());
    if (hasFocus()) {
        // Two pixels outside the chip.
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle.adjusted(-2, -2, 2, 2));
    }
}

void OnboardingQuickChip::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    PressableButton::changeEvent(event);
}

void OnboardingQuickChip::focusInEvent(QFocusEvent* event) {
    PressableButton::focusInEvent(event);
    update();
}

void OnboardingQuickChip::focusOutEvent(QFocusEvent* event) {
    PressableButton::focusOutEvent(event);
    update();
}
