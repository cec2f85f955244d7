#include "services/TimerSound.h"

TimerSound TimerSound::bundled(const QString& fileName, const QString& displayName, SoundCategory category) {
    return {QStringLiteral("b.") + fileName, displayName, Kind::bundled, fileName, category};
}

TimerSound TimerSound::system(const QString& name, const QString& displayName) {
    return {name, displayName, Kind::system, name, SoundCategory::system};
}

TimerSound TimerSound::user(const QString& uid, const QString& name, const QString& fileName) {
    return {QStringLiteral("u.") + uid, name, Kind::user, fileName, SoundCategory::custom};
}

size_t qHash(const TimerSound& sound, size_t seed) noexcept {
    return qHashMulti(seed, sound.id, sound.displayName, static_cast<int>(sound.kind), sound.resource,
                      static_cast<int>(sound.category));
}
