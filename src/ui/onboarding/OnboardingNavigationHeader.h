#pragma once
// The strip across the top of the guide's pages: Back at the leading edge, the step dots centred over the
// whole width. It decides nothing: Back only reports the press.

#include "ui/onboarding/OnboardingStep.h"

#include <QWidget>

class OnboardingBackButton;
class OnboardingStepIndicator;

class OnboardingNavigationHeader : public QWidget {
    Q_OBJECT
public:
    static constexpr int stripHeight = 44;
    static constexpr int sideInset = 20;

    OnboardingNavigationHeader(OnboardingStep currentStep, QList<OnboardingStep> tourSteps,
                               QWidget* parent = nullptr);

    void setCurrentStep(OnboardingStep step);
    OnboardingBackButton* backButton() const { return m_back; }
    OnboardingStepIndicator* stepIndicator() const { return m_indicator; }

signals:
    void backRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    OnboardingBackButton* m_back;
    OnboardingStepIndicator* m_indicator;
};
