#pragma once
// Owns the first-run guide's window: decides whether to show it, brings an open one to the front, builds a
// new one (440 × 560, above other windows, centred on the screen under the pointer) otherwise, and closes
// it when the guide is done. Closing it with the window's close button records nothing.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class AppSettings;
class QScreen;
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

    // Shows the guide, unless `force` is false and it was already seen, or the manager or the store is gone.
    // A visible window is brought to the front and keeps its page; otherwise a new one starts on the first.
    void show(bool force);

    // The window while one exists; one closed by its close button stays here, hidden, until the next show.
    QWidget* panel() const { return m_panel; }

    // Where the window goes on a screen with this free area: centred in it.
    static QRect placement(const QRect& available);

private:
    void dismiss();

    QPointer<TimerManager> m_timerManager;
    QPointer<ThemeStore> m_themeStore;
    AppSettings& m_settings;
    QPointer<QWidget> m_panel;
};
