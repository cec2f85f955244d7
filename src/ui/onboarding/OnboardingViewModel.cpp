#include "ui/onboarding/OnboardingViewModel.h"

#include "core/AppSettings.h"
#include "core/SettingsKeys.h"
#include "core/TimerManager.h"

OnboardingViewModel::OnboardingViewModel(TimerManager* timerManager, AppSettings& settings, QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_settings(settings) {
    connect(&m_settings, &AppSettings::keyChanged, this, [this](const QString& key) {
        if (key == SettingsKeys::appLanguage.key) {
            emit languageChanged();
        }
    });
}

AppLanguage OnboardingViewModel::selectedLanguage() const {
    return m_settings.appLanguage();
}

QString OnboardingViewModel::firstTimerTitle() const {
    return m_settings.appLanguageRaw() == QLatin1String("en") ? QStringLiteral("Focus")
                                                              : QStringLiteral("集中");
}

void OnboardingViewModel::moveTo(qsizetype index, int direction) {
    const QList<OnboardingStep>& journey = onboardingJourney();
    if (index < 0 || index >= journey.size()) {
        return;
    }
    m_direction = direction;
    m_currentStep = journey[index];
    emit stepChanged(m_currentStep, m_direction);
}

void OnboardingViewModel::advance() {
    const qsizetype i = onboardingJourney().indexOf(m_currentStep);
    if (i >= 0) {
        moveTo(i + 1, +1);
    }
}

void OnboardingViewModel::goBack() {
    const qsizetype i = onboardingJourney().indexOf(m_currentStep);
    if (i >= 0) {
        moveTo(i - 1, -1);
    }
}

void OnboardingViewModel::chooseLanguage(AppLanguage language) {
    m_settings.setAppLanguageRaw(toRaw(language));
    advance();
}

void OnboardingViewModel::selectQuickDuration(int minutes) {
    m_selectedQuickDuration = minutes;
    m_settings.setQuickPresetMinutes(minutes);
    emit selectedQuickDurationChanged(minutes);
}

void OnboardingViewModel::handlePrimary() {
    if (m_currentStep != OnboardingStep::done) {
        advance();
        return;
    }
    // A refusal (the timer limit) is the engine's to log; the guide still ends.
    if (m_timerManager) {
        m_timerManager->addTimer(firstTimerTitle(), qint64(m_selectedQuickDuration) * 60, true);
    }
    m_settings.setHasSeenOnboarding(true);
    emit dismissRequested();
}

void OnboardingViewModel::skip() {
    m_settings.setHasSeenOnboarding(true);
    emit dismissRequested();
}
