#pragma once
// Plays a sound file through Qt Multimedia on the default audio output.

#include "services/SoundPlayer.h"

class QAudioOutput;
class QMediaPlayer;

class MediaSoundPlayer : public SoundPlayer {
    Q_OBJECT
public:
    explicit MediaSoundPlayer(const QString& filePath, QObject* parent = nullptr);
    ~MediaSoundPlayer() override;

    void play() override;
    void stop() override;

    // A player for a readable regular file; none for anything else, so the caller can report it at once.
    static std::unique_ptr<SoundPlayer> create(const QString& filePath);
    static SoundPlayerFactory factory() { return &MediaSoundPlayer::create; }

private:
    void fail();

    QMediaPlayer* m_player;
    QAudioOutput* m_output;
    bool m_failed = false;
};
