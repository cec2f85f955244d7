#pragma once
// The header's row of dots, one per tour step: those passed and the one on screen in ink, the rest in the
// stroke colour, the one on screen wider. Changes ease over 0.25 s, at once under Reduce Motion.

#include "ui/onboarding/OnboardingStep.h"

#include <QColor>
#include <QList>
#include <QVariantAnimation>
#include <QWidget>

class OnboardingStepIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr double dotHeight = 4;
    static constexpr double dotWidth = 6;
    static constexpr double currentDotWidth = 18;
    static constexpr double dotSpacing = 6;
    static constexpr double inkOpacity = 0.58;
    static constexpr int changeDurationMs = 250;

    OnboardingStepIndicator(QList<OnboardingStep> tourSteps, QWidget* parent = nullptr);

    // The first time without animation; afterwards eased unless Reduce Motion is on or nothing is shown.
    void setCurrentStep(OnboardingStep step);
    OnboardingStep currentStep() const { return m_currentStep; }
    // Where the step on screen stands among the tour steps, from 0; 0 for a step that is not among them.
    int currentPosition() const;

    // What is drawn now, animation included.
    double shownWidth(int index) const;
    QColor shownColor(int index) const;
    // What the dot settles at.
    double targetWidth(int index) const;
    QColor targetColor(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Dot {
        double width = dotWidth;
        QColor color;
    };
    QList<Dot> targets() const;
    void retranslate();

    QList<OnboardingStep> m_tourSteps;
    OnboardingStep m_currentStep;
    bool m_stepSet = false;
    QList<Dot> m_from;
    QList<Dot> m_to;
    double m_progress = 1;
    QVariantAnimation m_animation;
};
