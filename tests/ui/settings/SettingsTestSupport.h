#pragma once
// Shared pieces of the settings widget tests: a sound service that remembers what it previewed, a login
// registration that can refuse, a generated WAV file, and key helpers that type as a person would.

#include "core/SoundServiceProtocol.h"
#include "services/LoginItemControlling.h"
#include "services/TimerSound.h"

#include <QApplication>
#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <cmath>
#include <memory>

class PreviewRecorder : public SoundServiceProtocol {
public:
    QStringList previewed; // ids, in order
    void play(SoundEvent) override {}
    void playSound(const QString&) override {}
    void preview(const TimerSound& sound) override { previewed << sound.id; }
};

// The registration as a shared flag, so the test sees what the screen's own control did.
struct FakeLoginState {
    bool registered = false;
    bool refuse = false;
    int registrations = 0;
};

class FakeLoginControl : public LoginItemControlling {
public:
    explicit FakeLoginControl(std::shared_ptr<FakeLoginState> state) : m_state(std::move(state)) {}
    bool isRegistered() const override { return m_state->registered; }
    bool registerItem(QString* error) override {
        ++m_state->registrations;
        if (m_state->refuse) {
            *error = QStringLiteral("refused");
            return false;
        }
        m_state->registered = true;
        return true;
    }
    bool unregisterItem(QString*) override {
        m_state->registered = false;
        return true;
    }

private:
    std::shared_ptr<FakeLoginState> m_state;
};

// A short mono 16-bit PCM WAV (a 440 Hz tone), written as the format describes it.
inline bool writeToneWav(const QString& path, int milliseconds = 120) {
    const int rate = 8000;
    const int samples = rate * milliseconds / 1000;
    QByteArray pcm;
    QDataStream pcmOut(&pcm, QIODevice::WriteOnly);
    pcmOut.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < samples; ++i) {
        pcmOut << qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + pcm.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(pcm.size());
    out.writeRawData(pcm.constData(), int(pcm.size()));
    return out.status() == QDataStream::Ok;
}

// Replaces the field's text as a person would: focus, select all, type, then Return.
inline void typeAndReturn(QLineEdit* field, const QString& text) {
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(field, c.toLatin1());
        } else {
            // What an input method commits: full-width and other non-ASCII digits arrive this way.
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(field, &commit);
        }
    }
    QTest::keyClick(field, Qt::Key_Return);
}
