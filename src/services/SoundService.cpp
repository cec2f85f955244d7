#include "services/SoundService.h"

#include "core/AppSettings.h"
#include "platform/ProgramData.h"
#include "platform/TarvolinTimerLogger.h"
#include "services/MediaSoundPlayer.h"
#include "services/SoundCatalog.h"
#include "services/UserSoundStore.h"

#include <QDir>
#include <QFileInfo>

namespace {
void warn(const QString& message) {
    TT_LOG_WARNING(QStringLiteral("SoundService"), message);
}
} // namespace

SoundService::SoundService(AppSettings& settings, UserSoundStore& userSounds,
                           SoundPlayerFactory playerFactory, QString resourceDirectory,
                           SystemSoundTheme systemSounds)
    : m_settings(settings), m_userSounds(userSounds), m_playerFactory(std::move(playerFactory)),
      m_resourceDirectory(std::move(resourceDirectory)), m_systemSounds(std::move(systemSounds)) {}

SoundService::~SoundService() = default;

SoundService& SoundService::shared() {
    static SoundService instance(AppSettings::shared(), UserSoundStore::shared(), MediaSoundPlayer::factory(),
                                 defaultResourceDirectory(),
                                 SystemSoundTheme(SystemSoundTheme::standardDataDirectories()));
    return instance;
}

QString SoundService::defaultResourceDirectory() {
    return ProgramData::directory(QStringLiteral("Sounds"));
}

void SoundService::play(SoundEvent event) {
    playSound(soundID(event));
}

void SoundService::playSound(const QString& id) {
    if (!m_settings.soundEnabled()) {
        return;
    }
    const auto sound = SoundCatalog::byID(id, m_userSounds);
    if (!sound) {
        warn(QStringLiteral("Unknown sound id: ") + id);
        return;
    }
    emitSound(*sound);
}

void SoundService::preview(const TimerSound& sound) {
    emitSound(sound);
}

void SoundService::stop() {
    if (m_player) {
        m_player->stop();
    }
}

QString SoundService::soundID(SoundEvent event) const {
    switch (event) {
    case SoundEvent::timerComplete:
        return m_settings.timerCompleteSound();
    case SoundEvent::alarmComplete:
        return m_settings.alarmCompleteSound();
    case SoundEvent::pomWorkStart:
        return m_settings.pomWorkStartSound();
    case SoundEvent::pomBreakStart:
        return m_settings.pomBreakStartSound();
    }
    return {};
}

std::optional<QString> SoundService::bundledPath(const QString& name) const {
    const QDir root(m_resourceDirectory);
    const QString file = name + QLatin1Char('.') + bundledExtension();
    for (const QString& candidate : {root.filePath(QStringLiteral("Sounds/") + file), root.filePath(file)}) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return std::nullopt;
}

void SoundService::emitSound(const TimerSound& sound) {
    switch (sound.kind) {
    case TimerSound::Kind::system: {
        const auto path = m_systemSounds.filePath(sound.resource);
        if (!path) {
            warn(QStringLiteral("System sound not found: ") + sound.resource);
            return;
        }
        playSystem(*path, sound.resource);
        return;
    }
    case TimerSound::Kind::bundled: {
        const auto path = bundledPath(sound.resource);
        if (!path) {
            warn(QStringLiteral("Bundled sound not found: ") + sound.resource);
            return;
        }
        playFile(*path, sound.resource);
        return;
    }
    case TimerSound::Kind::user: {
        const QString path = QDir(m_userSounds.dir()).filePath(sound.resource);
        // A folder under the sound's name is no more a sound than a missing file.
        if (!QFileInfo(path).isFile()) {
            warn(QStringLiteral("User sound file missing: ") + sound.resource);
            return;
        }
        playFile(path, sound.resource);
        return;
    }
    }
}

void SoundService::playFile(const QString& path, const QString& label) {
    if (m_player) {
        m_player->stop();
        // Whatever the stopped player reports from now on is about a sound nobody waits for.
        QObject::disconnect(m_player.get(), &SoundPlayer::failed, nullptr, nullptr);
    }
    auto player = m_playerFactory(path);
    if (!player) {
        // The stopped player stays held, as nothing new took its place.
        warn(QStringLiteral("Sound failed to play: ") + label);
        return;
    }
    SoundPlayer* raw = player.get();
    QObject::connect(raw, &SoundPlayer::failed, raw,
                     [label] { warn(QStringLiteral("Sound failed to play: ") + label); });
    if (m_player) {
        // Not deleted here: this may run inside one of the old player's own signals.
        m_player.release()->deleteLater();
    }
    m_player = std::move(player);
    raw->play();
}

void SoundService::playSystem(const QString& path, const QString& label) {
    auto player = m_playerFactory(path);
    if (!player) {
        warn(QStringLiteral("Sound failed to play: ") + label);
        return;
    }
    SoundPlayer* raw = player.get();
    QObject::connect(raw, &SoundPlayer::finished, raw, [this, raw] { release(raw); });
    QObject::connect(raw, &SoundPlayer::failed, raw, [this, raw, label] {
        warn(QStringLiteral("Sound failed to play: ") + label);
        release(raw);
    });
    m_systemPlayers.push_back(std::move(player));
    raw->play();
}

void SoundService::release(SoundPlayer* player) {
    for (auto it = m_systemPlayers.begin(); it != m_systemPlayers.end(); ++it) {
        if (it->get() == player) {
            // Called from the player's own signal, so it goes once control is back in the event loop.
            it->release()->deleteLater();
            m_systemPlayers.erase(it);
            return;
        }
    }
}
