#include "services/MediaSoundPlayer.h"

#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

MediaSoundPlayer::MediaSoundPlayer(const QString& filePath, QObject* parent)
    : SoundPlayer(parent), m_player(new QMediaPlayer(this)), m_output(new QAudioOutput(this)) {
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (error != QMediaPlayer::NoError) {
            fail();
        }
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia) {
            fail();
        } else if (status == QMediaPlayer::EndOfMedia) {
            emit finished();
        }
    });
    m_player->setSource(QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()));
}

MediaSoundPlayer::~MediaSoundPlayer() {
    m_player->stop();
}

void MediaSoundPlayer::play() {
    m_player->play();
}

void MediaSoundPlayer::stop() {
    m_player->stop();
}

std::unique_ptr<SoundPlayer> MediaSoundPlayer::create(const QString& filePath) {
    QFile file(filePath);
    if (!QFileInfo(filePath).isFile() || !file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    return std::make_unique<MediaSoundPlayer>(filePath);
}

// The back end can report one fault several ways (an error and an invalid-media status); tell it once.
void MediaSoundPlayer::fail() {
    if (!m_failed) {
        m_failed = true;
        emit failed();
    }
}
