#pragma once
// One page of the guide after the language page: its picture in a frame of the step's picture height, then
// the step's title and body, centred in the page.

#include "ui/onboarding/OnboardingStep.h"

#include <QWidget>

class TokenLabel;

class OnboardingStepPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int stackSpacing = 12;

    // The page takes the picture; an empty step gets none.
    OnboardingStepPage(OnboardingStep step, QWidget* visual, QWidget* parent = nullptr);

    OnboardingStep step() const { return m_step; }
    QWidget* visual() const { return m_visual; }
    TokenLabel* titleLabel() const { return m_title; }
    TokenLabel* bodyLabel() const { return m_body; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    OnboardingStep m_step;
    QWidget* m_visual;
    TokenLabel* m_title;
    TokenLabel* m_body;
};
