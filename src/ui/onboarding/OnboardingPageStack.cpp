#include "ui/onboarding/OnboardingPageStack.h"

#include "platform/ReduceMotion.h"

#include <QGraphicsOpacityEffect>

#include <cmath>

OnboardingPageStack::OnboardingPageStack(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("quorvane.onboarding.pages"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_animation.setDuration(changeDurationMs);
    m_animation.setEasingCurve(QEasingCurve::InOutQuad);
    m_animation.setStartValue(0.0);
    m_animation.setEndValue(1.0);
    connect(&m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { layOut(value.toDouble()); });
    connect(&m_animation, &QVariantAnimation::finished, this, &OnboardingPageStack::finish);
}

void OnboardingPageStack::addPage(OnboardingStep step, QWidget* page) {
    page->setParent(this);
    m_pages.insert(step, page);
    if (!m_hasCurrent) {
        m_hasCurrent = true;
        m_current = step;
        page->setGeometry(rect());
        page->show();
    } else {
        page->hide();
    }
}

void OnboardingPageStack::setCurrentStep(OnboardingStep step, int direction) {
    if (m_hasCurrent && step == m_current) {
        return;
    }
    // A change in the middle of another: the first one lands at once.
    if (isAnimating()) {
        m_animation.stop();
        finish();
    }
    QWidget* outgoing = m_pages.value(m_current);
    QWidget* incoming = m_pages.value(step);
    m_current = step;
    m_hasCurrent = true;
    m_direction = direction >= 1 ? 1 : -1;
    if (!incoming) {
        return;
    }
    incoming->setGeometry(rect());
    incoming->show();
    incoming->raise();
    if (!outgoing || outgoing == incoming || !isVisible() || ReduceMotion::enabled()) {
        if (outgoing && outgoing != incoming) {
            outgoing->hide();
        }
        return;
    }
    m_outgoing = outgoing;
    for (QWidget* page : {outgoing, incoming}) {
        page->setGraphicsEffect(new QGraphicsOpacityEffect(page));
    }
    layOut(0);
    m_animation.start();
}

void OnboardingPageStack::layOut(double progress) {
    QWidget* incoming = m_pages.value(m_current);
    if (!incoming) {
        return;
    }
    // Forward: the new page comes in from the trailing (right) edge, the old one leaves by the leading.
    const int w = width();
    incoming->move(int(std::lround(m_direction * w * (1 - progress))), 0);
    if (auto* effect = qobject_cast<QGraphicsOpacityEffect*>(incoming->graphicsEffect())) {
        effect->setOpacity(progress);
    }
    if (m_outgoing) {
        m_outgoing->move(int(std::lround(-m_direction * w * progress)), 0);
        if (auto* effect = qobject_cast<QGraphicsOpacityEffect*>(m_outgoing->graphicsEffect())) {
            effect->setOpacity(1 - progress);
        }
    }
}

void OnboardingPageStack::finish() {
    if (m_outgoing) {
        m_outgoing->hide();
        m_outgoing->setGraphicsEffect(nullptr);
        m_outgoing->move(0, 0);
        m_outgoing = nullptr;
    }
    if (QWidget* incoming = m_pages.value(m_current)) {
        incoming->setGraphicsEffect(nullptr);
        incoming->setGeometry(rect());
    }
}

void OnboardingPageStack::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The header's band changes height with the page, so the area may resize while pages slide.
    for (QWidget* page : {static_cast<QWidget*>(m_outgoing.data()), m_pages.value(m_current)}) {
        if (page) {
            page->resize(size());
        }
    }
    if (isAnimating()) {
        layOut(m_animation.currentValue().toDouble());
    } else if (QWidget* current = m_pages.value(m_current)) {
        current->move(0, 0);
    }
}
