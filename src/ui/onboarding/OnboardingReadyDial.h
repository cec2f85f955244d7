#pragma once
// The done page's picture: a still 176-pixel dial showing the length the page's button will start, with
// "Ready" under it.

#include "ui/onboarding/OnboardingDial.h"

class OnboardingReadyDial : public OnboardingDial {
    Q_OBJECT
public:
    static constexpr int side = 176;

    explicit OnboardingReadyDial(int minutes, QWidget* parent = nullptr);

    void setMinutes(int minutes);
    int minutes() const { return m_minutes; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    int m_minutes;
};
