#pragma once
// Plays the sounds of finished timers, Pomodoro phases and the gallery's previews; failures are only logged.

#include "core/SoundServiceProtocol.h"
#include "services/SoundPlayer.h"
#include "services/SystemSoundTheme.h"
#include "services/TimerSound.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class AppSettings;
class UserSoundStore;

class SoundService : public SoundServiceProtocol {
public:
    // `resourceDirectory` holds the built-in files, in its "Sounds" folder or at its root.
    SoundService(AppSettings& settings, UserSoundStore& userSounds, SoundPlayerFactory playerFactory,
                 QString resourceDirectory, SystemSoundTheme systemSounds);
    ~SoundService() override;
    SoundService(const SoundService&) = delete;
    SoundService& operator=(const SoundService&) = delete;

    // The service over the standard settings, the user's library, the installed files and the sound theme.
    static SoundService& shared();
    // "<program folder>/../share/tarvolintimer" when that exists, else the build tree's share folder, else the
    // first "tarvolintimer" data folder.
    static QString defaultResourceDirectory();
    // The extension the built-in files are written with.
    static QString bundledExtension() { return QStringLiteral("wav"); }

    void play(SoundEvent event) override;
    void playSound(const QString& id) override;
    void preview(const TimerSound& sound) override;
    // Stops the file sound; a system sound is short and is left to end by itself.
    void stop() override;

    // The identifier stored for the event, or the event's default.
    QString soundID(SoundEvent event) const;
    // The built-in file of that name: first in "Sounds", then at the root of the resources.
    std::optional<QString> bundledPath(const QString& name) const;

private:
    void emitSound(const TimerSound& sound);
    void playFile(const QString& path, const QString& label);
    void playSystem(const QString& path, const QString& label);
    void release(SoundPlayer* player);

    AppSettings& m_settings;
    UserSoundStore& m_userSounds;
    SoundPlayerFactory m_playerFactory;
    QString m_resourceDirectory;
    SystemSoundTheme m_systemSounds;
    // The file player started last, kept while it plays; the next file sound stops it.
    std::unique_ptr<SoundPlayer> m_player;
    // System sounds play beside the file player and are dropped when they end.
    std::vector<std::unique_ptr<SoundPlayer>> m_systemPlayers;
};
