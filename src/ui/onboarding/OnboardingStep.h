#pragma once
// The pages of the first-run guide, their fixed order, their copy and the height of their pictures.

#include <QList>
#include <QString>

#include <optional>

enum class OnboardingStep { language = 0, quickStart = 1, input = 2, done = 3 };

// The raw value only names a page among its siblings; it is never stored or shown.
inline int toRaw(OnboardingStep step) {
    return int(step);
}
std::optional<OnboardingStep> onboardingStepFromRaw(int raw);

// The one order there is: forward takes the next entry, back the previous one.
const QList<OnboardingStep>& onboardingJourney();
// The journey without the language page: the steps that get a dot in the header.
const QList<OnboardingStep>& onboardingTourSteps();

// The step's heading and text, in the interface language.
QString title(OnboardingStep step);
QString body(OnboardingStep step);
// How tall the picture above the heading is; the language page builds its own and reserves none.
int onboardingVisualHeight(OnboardingStep step);
// For object names and logs: "language", "quickStart", "input", "done".
QString stepName(OnboardingStep step);
