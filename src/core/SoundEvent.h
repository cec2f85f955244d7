#pragma once
// The occasions for a sound; each names the settings key that holds its sound identifier.

#include <QString>

enum class SoundEvent { timerComplete, alarmComplete, pomWorkStart, pomBreakStart };

inline QString settingsKey(SoundEvent event) {
    switch (event) {
    case SoundEvent::timerComplete:
        return QStringLiteral("bl.sound.timerComplete");
    case SoundEvent::alarmComplete:
        return QStringLiteral("bl.sound.alarmComplete");
    case SoundEvent::pomWorkStart:
        return QStringLiteral("bl.sound.pomWorkStart");
    case SoundEvent::pomBreakStart:
        return QStringLiteral("bl.sound.pomBreakStart");
    }
    return {};
}
