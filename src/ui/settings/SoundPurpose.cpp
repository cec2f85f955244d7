#include "ui/settings/SoundPurpose.h"

#include "core/SettingsKeys.h"
#include "ui/settings/SettingsText.h"

#include <QCoreApplication>

QString toRaw(SoundPurpose purpose) {
    switch (purpose) {
    case SoundPurpose::timerComplete:
        return QStringLiteral("timerComplete");
    case SoundPurpose::alarm:
        return QStringLiteral("alarm");
    case SoundPurpose::pomWork:
        return QStringLiteral("pomWork");
    case SoundPurpose::pomBreak:
        return QStringLiteral("pomBreak");
    }
    return {};
}

std::optional<SoundPurpose> soundPurposeFromRaw(const QString& raw) {
    for (SoundPurpose purpose : allSoundPurposes()) {
        if (toRaw(purpose) == raw) {
            return purpose;
        }
    }
    return std::nullopt;
}

QList<SoundPurpose> allSoundPurposes() {
    return {SoundPurpose::timerComplete, SoundPurpose::alarm, SoundPurpose::pomWork, SoundPurpose::pomBreak};
}

const PreferenceSetting<QString>& soundSetting(SoundPurpose purpose) {
    switch (purpose) {
    case SoundPurpose::timerComplete:
        return SettingsKeys::timerCompleteSound;
    case SoundPurpose::alarm:
        return SettingsKeys::alarmCompleteSound;
    case SoundPurpose::pomWork:
        return SettingsKeys::pomWorkStartSound;
    case SoundPurpose::pomBreak:
        break;
    }
    return SettingsKeys::pomBreakStartSound;
}

const char* galleryTitleKey(SoundPurpose purpose) {
    switch (purpose) {
    case SoundPurpose::timerComplete:
        return QT_TRANSLATE_NOOP("SettingsScreen", "Choose the timer-complete sound");
    case SoundPurpose::alarm:
        return QT_TRANSLATE_NOOP("SettingsScreen", "Choose the alarm sound");
    case SoundPurpose::pomWork:
        return QT_TRANSLATE_NOOP("SettingsScreen", "Choose the focus-start sound");
    case SoundPurpose::pomBreak:
        break;
    }
    return QT_TRANSLATE_NOOP("SettingsScreen", "Choose the break-start sound");
}

const char* cardTitleKey(SoundPurpose purpose) {
    switch (purpose) {
    case SoundPurpose::timerComplete:
        return QT_TRANSLATE_NOOP("SettingsScreen", "Timer complete");
    case SoundPurpose::alarm:
        return QT_TRANSLATE_NOOP("SettingsScreen", "Alarm");
    case SoundPurpose::pomWork:
        return QT_TRANSLATE_NOOP("SettingsScreen", "Pomodoro: focus starts");
    case SoundPurpose::pomBreak:
        break;
    }
    return QT_TRANSLATE_NOOP("SettingsScreen", "Pomodoro: break starts");
}

QString cardIcon(SoundPurpose purpose) {
    switch (purpose) {
    case SoundPurpose::timerComplete:
        return QStringLiteral("timer");
    case SoundPurpose::alarm:
        return QStringLiteral("alarm");
    case SoundPurpose::pomWork:
        return QStringLiteral("brain");
    case SoundPurpose::pomBreak:
        break;
    }
    return QStringLiteral("cup.and.saucer");
}
