#include "ui/onboarding/OnboardingStep.h"

#include <QCoreApplication>

std::optional<OnboardingStep> onboardingStepFromRaw(int raw) {
    for (const OnboardingStep step : onboardingJourney()) {
        if (toRaw(step) == raw) {
            return step;
        }
    }
    return std::nullopt;
}

const QList<OnboardingStep>& onboardingJourney() {
    static const QList<OnboardingStep> journey{OnboardingStep::language, OnboardingStep::quickStart,
                                               OnboardingStep::input, OnboardingStep::done};
    return journey;
}

const QList<OnboardingStep>& onboardingTourSteps() {
    static const QList<OnboardingStep> tour = [] {
        QList<OnboardingStep> steps;
        for (const OnboardingStep step : onboardingJourney()) {
            if (step != OnboardingStep::language) {
                steps << step;
            }
        }
        return steps;
    }();
    return tour;
}

QString title(OnboardingStep step) {
    switch (step) {
    case OnboardingStep::language:
        return QCoreApplication::translate("OnboardingStep", "Choose your language");
    case OnboardingStep::quickStart:
        return QCoreApplication::translate("OnboardingStep", "Your one-key timer");
    case OnboardingStep::input:
        return QCoreApplication::translate("OnboardingStep", "Add from anywhere");
    case OnboardingStep::done:
        return QCoreApplication::translate("OnboardingStep", "You're all set");
    }
    return {};
}

QString body(OnboardingStep step) {
    switch (step) {
    case OnboardingStep::language:
        return QCoreApplication::translate("OnboardingStep", "You can change this later in Settings.");
    case OnboardingStep::quickStart:
        return QCoreApplication::translate(
            "OnboardingStep", "Pick a length, then press ⌘⌥1 anytime to start it instantly — from any app.");
    case OnboardingStep::input:
        return QCoreApplication::translate(
            "OnboardingStep", "Tap a saved chip for an instant start, or type a duration or clock time into "
                              "Quick Add. The menu bar stays available while you work.");
    case OnboardingStep::done:
        return QCoreApplication::translate(
            "OnboardingStep",
            "Ready when you are. The timer starts only after you press the button. Prefer a "
            "focus/break rhythm? Turn on Pomodoro from the Timers tab anytime.");
    }
    return {};
}

int onboardingVisualHeight(OnboardingStep step) {
    switch (step) {
    case OnboardingStep::language:
        return 0;
    case OnboardingStep::quickStart:
        return 176;
    case OnboardingStep::input:
        return 154;
    case OnboardingStep::done:
        return 176;
    }
    return 0;
}

QString stepName(OnboardingStep step) {
    switch (step) {
    case OnboardingStep::language:
        return QStringLiteral("language");
    case OnboardingStep::quickStart:
        return QStringLiteral("quickStart");
    case OnboardingStep::input:
        return QStringLiteral("input");
    case OnboardingStep::done:
        return QStringLiteral("done");
    }
    return {};
}
