#pragma once
// The quick-start page's picture: a dial showing the picked one-key length over the 5, 25 and 60 minute
// chips. A chip selects its length and stores it as the one-key timer's; it does not change the page.

#include <QList>
#include <QWidget>

class OnboardingDial;
class OnboardingQuickChip;
class OnboardingViewModel;

// One chip's length; what it reads to assistive technologies follows from it.
struct OnboardingQuickDuration {
    int minutes;
};
// The chips, in their order.
const QList<OnboardingQuickDuration>& quickDurations();

class OnboardingQuickChips : public QWidget {
    Q_OBJECT
public:
    static constexpr int dialSide = 108;
    static constexpr int stackSpacing = 12;
    static constexpr int chipSpacing = 8;

    explicit OnboardingQuickChips(OnboardingViewModel& model, QWidget* parent = nullptr);

    OnboardingDial* dial() const { return m_dial; }
    const QList<OnboardingQuickChip*>& chips() const { return m_chips; }

private:
    void showSelection(int minutes);

    OnboardingViewModel& m_model;
    OnboardingDial* m_dial;
    QList<OnboardingQuickChip*> m_chips;
};
