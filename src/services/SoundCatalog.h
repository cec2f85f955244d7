#pragma once
// Every sound the program can play: the built-in files, the desktop's event sounds and the user's sounds.

#include "services/SoundCategory.h"
#include "services/TimerSound.h"

#include <QList>
#include <QString>

#include <optional>

class UserSoundStore;

class SoundCatalog {
public:
    struct Group {
        SoundCategory category;
        QList<TimerSound> sounds;
        bool operator==(const Group&) const = default;
    };

    // The 17 built-in files, in gallery order.
    static const QList<TimerSound>& bundled();
    // The 14 named system sounds.
    static const QList<TimerSound>& system();
    // bundled() then system().
    static const QList<TimerSound>& builtIn();

    // builtIn() then the library's sounds, as the library holds them now.
    static QList<TimerSound> all(const UserSoundStore& userSounds);
    // A built-in sound by one table lookup, else the library's first sound with that id.
    static std::optional<TimerSound> byID(const QString& id, const UserSoundStore& userSounds);
    // One group per category that has a sound, in category order.
    static QList<Group> grouped(const UserSoundStore& userSounds);

    SoundCatalog() = delete;
};
