#include "ui/onboarding/OnboardingQuickChips.h"

#include "core/TimerItem.h"
#include "theme/QvFont.h"
#include "ui/onboarding/OnboardingDial.h"
#include "ui/onboarding/OnboardingQuickChip.h"
#include "ui/onboarding/OnboardingViewModel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

const QList<OnboardingQuickDuration>& quickDurations() {
    static const QList<OnboardingQuickDuration> durations{{5}, {25}, {60}};
    return durations;
}

OnboardingQuickChips::OnboardingQuickChips(OnboardingViewModel& model, QWidget* parent)
    : QWidget(parent), m_model(model),
      m_dial(new OnboardingDial(dialSide, QvFont::qvText(24, QFont::Medium))) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(stackSpacing);
    m_dial->readTextAloud(); // the chosen length is read; the ticks are not
    stack->addWidget(m_dial, 0, Qt::AlignHCenter);
    auto* row = new QHBoxLayout;
    row->setSpacing(chipSpacing);
    row->addStretch(1);
    for (const OnboardingQuickDuration& duration : quickDurations()) {
        auto* chip = new OnboardingQuickChip(duration.minutes, this);
        connect(chip, &OnboardingQuickChip::clicked, this,
                [this, minutes = duration.minutes] { m_model.selectQuickDuration(minutes); });
        row->addWidget(chip);
        m_chips << chip;
    }
    row->addStretch(1);
    stack->addLayout(row);
    connect(&m_model, &OnboardingViewModel::selectedQuickDurationChanged, this,
            &OnboardingQuickChips::showSelection);
    showSelection(m_model.selectedQuickDuration());
}

void OnboardingQuickChips::showSelection(int minutes) {
    m_dial->setText(TimerItem::formatDuration(qint64(minutes) * 60));
    for (OnboardingQuickChip* chip : m_chips) {
        chip->setSelected(chip->minutes() == minutes);
    }
}
