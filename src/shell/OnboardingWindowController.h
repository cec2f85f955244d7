#pragma once
// Owns the onboarding window. Stand-in until the onboarding screens land: a 440 × 560 window that says
// welcome, with a Done button that records that onboarding was seen.

#include <QObject>
#include <QPointer>
#include <QSize>

class AppSettings;
class QWidget;
class ThemeStore;
class TimerManager;

class OnboardingWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr QSize windowSize{440, 560};

    // Keeps the manager and the store weakly and makes no window yet.
    OnboardingWindowController(TimerManager* timerManager, ThemeStore* themeStore, AppSettings& settings,
                               QObject* parent = nullptr);
    ~OnboardingWindowController() override;

    // Shows the window, unless `force` is false and onboarding was already seen, or the manager or the store
    // is gone. A visible window is brought to the front; otherwise a new one is built.
    void show(bool force);

    QWidget* panel() const { return m_panel; }

private:
    void dismiss();

    QPointer<TimerManager> m_timerManager;
    QPointer<ThemeStore> m_themeStore;
    AppSettings& m_settings;
    QPointer<QWidget> m_panel;
};
