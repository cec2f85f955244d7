#include "ui/onboarding/OnboardingBackButton.h"

#include "theme/QvColor.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QPainter>

OnboardingBackButton::OnboardingBackButton(QWidget* parent) : PressableButton(pressScale, parent) {
    setObjectName(QStringLiteral("quorvane.onboarding.back"));
    setFixedSize(side, side);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    retranslate();
}

void OnboardingBackButton::retranslate() {
    // Icon only: the title is what assistive technologies read.
    setAccessibleName(tr("Back"));
    setToolTip(tr("Back"));
}

bool OnboardingBackButton::hitButton(const QPoint& pos) const {
    const QPointF d = QPointF(pos) - QRectF(rect()).center();
    return d.x() * d.x() + d.y() * d.y() <= (side / 2.0) * (side / 2.0);
}

void OnboardingBackButton::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF circle = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (m_hovered) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QvColor::qvSurfaceMuted().resolve(scheme));
        painter.drawEllipse(circle);
    }
    const QPointF c = circle.center();
    SymbolIcon::paint(painter, QRectF(c.x() - symbolSide / 2, c.y() - symbolSide / 2, symbolSide, symbolSide),
                      QStringLiteral("chevron.left"), QvColor::qvTextSecondary().resolve(scheme));
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle);
    }
}

void OnboardingBackButton::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    PressableButton::enterEvent(event);
}

void OnboardingBackButton::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    PressableButton::leaveEvent(event);
}

void OnboardingBackButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    PressableButton::changeEvent(event);
}

void OnboardingBackButton::focusInEvent(QFocusEvent* event) {
    PressableButton::focusInEvent(event);
    update();
}

void OnboardingBackButton::focusOutEvent(QFocusEvent* event) {
    PressableButton::focusOutEvent(event);
    update();
}
