#pragma once
// The first-run guide's root: a 440 × 560 page that walks language → quick start → input → done, with the
// navigation header above the pages and the action buttons below. The last page's button starts the first
// timer; it and "Skip" record that the guide was seen and ask the owner to close it. The Left key steps
// back on every page but the first, where it passes on.

#include "ui/onboarding/OnboardingStep.h"

#include <QSize>
#include <QWidget>

#include <functional>

class AppSettings;
class LabelButton;
class OnboardingLanguagePage;
class OnboardingNavigationHeader;
class OnboardingPageStack;
class OnboardingQuickChips;
class OnboardingReadyDial;
class OnboardingViewModel;
class QShortcut;
class TimerManager;

class OnboardingView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize viewSize{440, 560};
    static constexpr int languageBandHeight = 24;
    static constexpr int headerTopMargin = 8;

    // The tour steps the header counts.
    static const QList<OnboardingStep>& tourSteps() { return onboardingTourSteps(); }

    // Every new view starts on the language page with 25 minutes selected.
    OnboardingView(TimerManager* timerManager, AppSettings& settings, std::function<void()> onDismiss,
                   QWidget* parent = nullptr);

    OnboardingViewModel& model() const { return *m_model; }
    OnboardingNavigationHeader* header() const { return m_header; }
    OnboardingPageStack* pages() const { return m_pages; }
    LabelButton* primaryButton() const { return m_primary; }
    LabelButton* skipButton() const { return m_skip; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showStep(OnboardingStep step, int direction);
    void retranslate();
    void applyLocale();

    OnboardingViewModel* m_model;
    std::function<void()> m_onDismiss;
    QWidget* m_headerSlot;
    OnboardingNavigationHeader* m_header;
    OnboardingPageStack* m_pages;
    QWidget* m_actionArea;
    LabelButton* m_primary;
    LabelButton* m_skip;
    QShortcut* m_backKey;
};
