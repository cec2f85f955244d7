#pragma once
// Stands in for sound playback until it exists: plays nothing and logs what it was asked to play.

#include "core/SoundServiceProtocol.h"

class SilentSoundService : public SoundServiceProtocol {
public:
    void play(SoundEvent event) override;
    void playSound(const QString& id) override;
};
