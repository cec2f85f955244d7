#pragma once
// How the engine asks for sounds; the sound service resolves identifiers and plays them.

#include "core/SoundEvent.h"

#include <QString>

class SoundServiceProtocol {
public:
    virtual ~SoundServiceProtocol() = default;
    // The sound chosen in the settings for the event.
    virtual void play(SoundEvent event) = 0;
    // The sound with that identifier, when sounds are switched on.
    virtual void playSound(const QString& id) = 0;
};
