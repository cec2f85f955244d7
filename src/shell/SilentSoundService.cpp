#include "shell/SilentSoundService.h"

#include "platform/TarvolinTimerLogger.h"

void SilentSoundService::play(SoundEvent event) {
    TarvolinTimerLogger::info(QStringLiteral("Sound for %1 not played").arg(settingsKey(event)),
                              QStringLiteral("SilentSoundService"));
}

void SilentSoundService::playSound(const QString& id) {
    TarvolinTimerLogger::info(QStringLiteral("Sound %1 not played").arg(id),
                              QStringLiteral("SilentSoundService"));
}
