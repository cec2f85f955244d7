#pragma once
// What the first-run guide shows and does, without a widget: the page on screen and the way it came, the
// one-key length picked, the chosen language; and the user's intents turned into setting writes and the
// one engine call that starts the first timer.

#include "core/AppLanguage.h"
#include "ui/onboarding/OnboardingStep.h"

#include <QObject>
#include <QPointer>

class AppSettings;
class TimerManager;

class OnboardingViewModel : public QObject {
    Q_OBJECT
public:
    // The length the quick-start page offers first, whatever the stored one-key length is.
    static constexpr int initialQuickDuration = 25;

    // The manager is held weakly: a guide left open after the engine went starts nothing.
    OnboardingViewModel(TimerManager* timerManager, AppSettings& settings, QObject* parent = nullptr);

    OnboardingStep currentStep() const { return m_currentStep; }
    // +1 after a move forward, -1 after a move back; +1 at first.
    int direction() const { return m_direction; }
    int selectedQuickDuration() const { return m_selectedQuickDuration; }
    // The stored interface language; a value that names none counts as Japanese.
    AppLanguage selectedLanguage() const;
    // The first timer's name, chosen from the stored language, not translated: "Focus" in English, else
    // "集中".
    QString firstTimerTitle() const;

    // Along the journey; nothing at its ends.
    void advance();
    void goBack();
    // Writes the language (also the one already chosen) and moves on.
    void chooseLanguage(AppLanguage language);
    // Selects the length and stores it as the one-key timer's; stays on the page.
    void selectQuickDuration(int minutes);
    // The action area's main button: on the last page it starts the first timer, records that the guide was
    // seen and asks to close; elsewhere it moves on.
    void handlePrimary();
    // Records that the guide was seen and asks to close; starts nothing.
    void skip();

signals:
    void stepChanged(OnboardingStep step, int direction);
    void selectedQuickDurationChanged(int minutes);
    // After any write of the interface language, by anyone.
    void languageChanged();
    void dismissRequested();

private:
    void moveTo(qsizetype index, int direction);

    QPointer<TimerManager> m_timerManager;
    AppSettings& m_settings;
    OnboardingStep m_currentStep = OnboardingStep::language;
    int m_direction = 1;
    int m_selectedQuickDuration = initialQuickDuration;
};
