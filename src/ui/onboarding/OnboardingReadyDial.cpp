#include "ui/onboarding/OnboardingReadyDial.h"

#include "core/TimerItem.h"
#include "theme/QvFont.h"

#include <QEvent>

OnboardingReadyDial::OnboardingReadyDial(int minutes, QWidget* parent)
    : OnboardingDial(side, QvFont::qvText(38, QFont::Medium), QvFont::qvText(10, QFont::DemiBold), parent),
      m_minutes(minutes) {
    setObjectName(QStringLiteral("quorvane.onboarding.readyDial"));
    setMinutes(minutes);
    retranslate();
}

void OnboardingReadyDial::setMinutes(int minutes) {
    m_minutes = minutes;
    setText(TimerItem::formatDuration(qint64(minutes) * 60));
}

void OnboardingReadyDial::retranslate() {
    setCaption(tr("Ready"));
}

void OnboardingReadyDial::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    OnboardingDial::changeEvent(event);
}
