#pragma once
// One sound file being played; the sound service talks to this, so tests can give it a fake.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundPlayer() override = default;

    virtual void play() = 0;
    virtual void stop() = 0;

signals:
    // The file turned out not to be playable; decoders only find out after play() has returned.
    void failed();
    // Played to its end.
    void finished();
};

// Makes a player for a file, or none when the file cannot be opened at all.
using SoundPlayerFactory = std::function<std::unique_ptr<SoundPlayer>(const QString& filePath)>;
