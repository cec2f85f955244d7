// The sounds our generator writes at build time: one per built-in catalogue entry, each decodable and
// audible.
#include "services/SoundCatalog.h"
#include "services/SoundService.h"

#include "QStringPrinting.h"

#include <QAudioDecoder>
#include <QAudioFormat>
#include <QEventLoop>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace Qt::StringLiterals;

struct Decoded {
    bool ok = false;
    QString error;
    std::vector<double> samples; // -1..1, mono
    int rate = 0;
};

Decoded decode(const QString& path) {
    // The decoder wants an absolute location and an explicit output format.
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(1);
    format.setSampleRate(44100);
    QAudioDecoder decoder;
    decoder.setAudioFormat(format);
    decoder.setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    Decoded out;
    out.rate = format.sampleRate();
    QObject::connect(&decoder, &QAudioDecoder::bufferReady, [&] {
        const QAudioBuffer buffer = decoder.read();
        const auto* data = buffer.constData<qint16>();
        for (qsizetype i = 0; i < buffer.sampleCount(); ++i) {
            out.samples.push_back(data[i] / 32768.0);
        }
    });
    QSignalSpy finished(&decoder, &QAudioDecoder::finished);
    QSignalSpy failed(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error));
    // A plain event loop: polling waits would sleep between the decoder's many small buffers.
    QEventLoop loop;
    QObject::connect(&decoder, &QAudioDecoder::finished, &loop, &QEventLoop::quit);
    QObject::connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    decoder.start();
    loop.exec();
    out.ok = !finished.isEmpty() && failed.isEmpty();
    out.error = decoder.errorString();
    return out;
}

// Bursts of sound separated by at least 30 ms of near-silence (beeps, not ringing bells).
int countBursts(const std::vector<double>& samples, int rate) {
    const auto window = static_cast<std::size_t>(rate / 100); // 10 ms
    std::vector<double> rms;
    double loudest = 0.0;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + window; ++i) {
            sum += samples[i] * samples[i];
        }
        rms.push_back(std::sqrt(sum / static_cast<double>(window)));
        loudest = std::max(loudest, rms.back());
    }
    int bursts = 0;
    int quietWindows = 3;
    for (double level : rms) {
        if (level > 0.1 * loudest) {
            if (quietWindows >= 3) {
                ++bursts;
            }
            quietWindows = 0;
        } else {
            ++quietWindows;
        }
    }
    return bursts;
}

QString generatedPath(const QString& name) {
    return QStringLiteral(TT_GENERATED_SOUNDS_DIR "/") + name + QLatin1Char('.') +
           SoundService::bundledExtension();
}

TEST(BuiltInSounds, EveryCatalogueSoundDecodesIsAudibleAndLastsASensibleTime) {
    for (const auto& sound : SoundCatalog::bundled()) {
        SCOPED_TRACE(sound.resource.toStdString());
        const Decoded decoded = decode(generatedPath(sound.resource));
        ASSERT_TRUE(decoded.ok) << decoded.error.toStdString();
        const double seconds = static_cast<double>(decoded.samples.size()) / decoded.rate;
        EXPECT_GE(seconds, 0.3);
        EXPECT_LE(seconds, 4.0);
        double peak = 0.0, energy = 0.0;
        for (double s : decoded.samples) {
            peak = std::max(peak, std::abs(s));
            energy += s * s;
        }
        EXPECT_GT(peak, 0.5);
        EXPECT_GT(std::sqrt(energy / static_cast<double>(decoded.samples.size())), 0.02);
    }
}

TEST(BuiltInSounds, BeepsSoundAsManyTimesAsTheirNamesSay) {
    const QList<std::pair<QString, int>> rows = {
        {u"beep1"_s, 1},      {u"beep2"_s, 2},  {u"beep3"_s, 3},
        {u"happy_beep"_s, 4}, {u"e_beep"_s, 6}, {u"digital_alarm"_s, 12},
    };
    for (const auto& [name, bursts] : rows) {
        SCOPED_TRACE(name.toStdString());
        const Decoded decoded = decode(generatedPath(name));
        ASSERT_TRUE(decoded.ok);
        EXPECT_EQ(countBursts(decoded.samples, decoded.rate), bursts);
    }
}

} // namespace
