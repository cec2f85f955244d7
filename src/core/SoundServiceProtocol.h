#pragma once
// How the engine and the screens ask for sounds; the sound service resolves identifiers and plays them.

#include "core/SoundEvent.h"

#include <QString>

// Defined with the sound catalogue; the engine only passes it through.
struct TimerSound;

class SoundServiceProtocol {
public:
    virtual ~SoundServiceProtocol() = default;
    // The sound chosen in the settings for the event.
    virtual void play(SoundEvent event) = 0;
    // The sound with that identifier, when sounds are switched on.
    virtual void playSound(const QString& id) = 0;
    // The given sound at once, whether sounds are switched on or not (the sound gallery's previews).
    // Services that play nothing need not override these two.
    virtual void preview(const TimerSound& /*sound*/) {}
    // Silences the sound file that is playing, if any.
    virtual void stop() {}
};
