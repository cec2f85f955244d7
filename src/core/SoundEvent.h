#pragma once
// The occasions for a sound; each names the setting that holds its sound identifier.

#include "core/SettingsKeys.h"

#include <QString>

enum class SoundEvent { timerComplete, alarmComplete, pomWorkStart, pomBreakStart };

inline const PreferenceSetting<QString>& soundSetting(SoundEvent event) {
    switch (event) {
    case SoundEvent::timerComplete:
        return SettingsKeys::timerCompleteSound;
    case SoundEvent::alarmComplete:
        return SettingsKeys::alarmCompleteSound;
    case SoundEvent::pomWorkStart:
        return SettingsKeys::pomWorkStartSound;
    case SoundEvent::pomBreakStart:
        return SettingsKeys::pomBreakStartSound;
    }
    return SettingsKeys::timerCompleteSound;
}

inline QString settingsKey(SoundEvent event) {
    return soundSetting(event).key;
}
