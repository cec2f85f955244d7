#pragma once
// The guide's page area: one page per step, only the current one shown. A forward change slides the pages
// towards the leading edge, a backward one towards the trailing edge, both fading, over 0.25 s; under
// Reduce Motion, or while nothing is on screen, the new page simply replaces the old.

#include "ui/onboarding/OnboardingStep.h"

#include <QMap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

class OnboardingPageStack : public QWidget {
    Q_OBJECT
public:
    static constexpr int changeDurationMs = 250;

    explicit OnboardingPageStack(QWidget* parent = nullptr);

    // The stack takes the page; the first one added is shown.
    void addPage(OnboardingStep step, QWidget* page);
    QWidget* page(OnboardingStep step) const { return m_pages.value(step); }
    OnboardingStep currentStep() const { return m_current; }
    // A direction of 1 or more is a move forward.
    void setCurrentStep(OnboardingStep step, int direction);
    bool isAnimating() const { return m_animation.state() == QAbstractAnimation::Running; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut(double progress);
    void finish();

    QMap<OnboardingStep, QWidget*> m_pages;
    OnboardingStep m_current = OnboardingStep::language;
    bool m_hasCurrent = false;
    QPointer<QWidget> m_outgoing;
    int m_direction = 1;
    QVariantAnimation m_animation;
};
