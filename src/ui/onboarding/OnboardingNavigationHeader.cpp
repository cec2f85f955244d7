#include "ui/onboarding/OnboardingNavigationHeader.h"

#include "ui/onboarding/OnboardingBackButton.h"
#include "ui/onboarding/OnboardingStepIndicator.h"

OnboardingNavigationHeader::OnboardingNavigationHeader(OnboardingStep currentStep,
                                                       QList<OnboardingStep> tourSteps, QWidget* parent)
    : QWidget(parent), m_back(new OnboardingBackButton(this)),
      m_indicator(new OnboardingStepIndicator(std::move(tourSteps), this)) {
    setObjectName(QStringLiteral("quorvane.onboarding.header"));
    setFixedHeight(stripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_indicator->setCurrentStep(currentStep);
    connect(m_back, &OnboardingBackButton::clicked, this, &OnboardingNavigationHeader::backRequested);
    place();
}

void OnboardingNavigationHeader::setCurrentStep(OnboardingStep step) {
    m_indicator->setCurrentStep(step);
}

void OnboardingNavigationHeader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void OnboardingNavigationHeader::place() {
    // The dots centre on the whole strip, not on what Back leaves of it.
    m_back->move(sideInset, (height() - m_back->height()) / 2);
    m_indicator->move((width() - m_indicator->width()) / 2, (height() - m_indicator->height()) / 2);
}
