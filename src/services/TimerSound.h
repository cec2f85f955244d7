#pragma once
// A playable sound: a built-in file, one of the desktop's event sounds, or a file the user imported.

#include "services/SoundCategory.h"

#include <QHashFunctions>
#include <QString>

struct TimerSound {
    enum class Kind { system, bundled, user };

    QString id; // what the settings store: "b.<file>", the system sound's name, or "u.<uid>"
    QString displayName;
    Kind kind = Kind::bundled;
    QString
        resource; // built-in: file name without extension; system: its name; user: file name in the folder
    SoundCategory category = SoundCategory::custom;

    bool operator==(const TimerSound&) const = default;

    static TimerSound bundled(const QString& fileName, const QString& displayName, SoundCategory category);
    static TimerSound system(const QString& name, const QString& displayName);
    static TimerSound user(const QString& uid, const QString& name, const QString& fileName);
};

size_t qHash(const TimerSound& sound, size_t seed = 0) noexcept;
