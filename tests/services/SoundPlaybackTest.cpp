// Real playback through Qt Multimedia into a PulseAudio null sink that the test starts for itself.
#include "core/AppSettings.h"
#include "support/Requirement.h"
#include "platform/Preferences.h"
#include "services/MediaSoundPlayer.h"
#include "services/SoundCatalog.h"
#include "services/SoundService.h"
#include "services/UserSoundStore.h"
#include "support/LogCapture.h"

#include "QStringPrinting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace Qt::StringLiterals;

constexpr int kWaitMs = 15000;

// A sound server with one null sink, reachable only through a socket in a temporary folder.
class NullSinkServer {
public:
    NullSinkServer() {
        const QString program = QStandardPaths::findExecutable(u"pulseaudio"_s);
        if (program.isEmpty() || !m_dir.isValid()) {
            m_error = u"pulseaudio is not installed (scripts/deps.sh --tests installs it)"_s;
            return;
        }
        m_socket = m_dir.filePath(u"native"_s);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, m_dir.path());
        env.insert(u"HOME"_s, m_dir.path());
        m_server.setProcessEnvironment(env);
        m_server.setProgram(program);
        m_server.setArguments({u"-n"_s, u"--daemonize=no"_s, u"--exit-idle-time=-1"_s, u"--disable-shm=yes"_s,
                               u"--use-pid-file=no"_s, u"--log-target=stderr"_s, u"-L"_s,
                               u"module-native-protocol-unix auth-anonymous=1 socket="_s + m_socket, u"-L"_s,
                               u"module-null-sink sink_name=tt_null"_s});
        m_server.start();
        if (!m_server.waitForStarted(5000) ||
            !QTest::qWaitFor(
                [&] { return QFileInfo::exists(m_socket) || m_server.state() != QProcess::Running; }, 5000) ||
            m_server.state() != QProcess::Running) {
            m_error = u"pulseaudio did not start: "_s + QString::fromUtf8(m_server.readAllStandardError());
            m_socket.clear();
        }
    }
    ~NullSinkServer() {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(3000)) {
                m_server.kill();
                m_server.waitForFinished(3000);
            }
        }
    }

    bool isRunning() const { return !m_socket.isEmpty(); }
    QString errorString() const { return m_error; }
    QString address() const { return u"unix:"_s + m_socket; }

    // How many streams play into the server right now.
    int streams() const {
        QProcess pactl;
        pactl.start(u"pactl"_s, {u"--server"_s, address(), u"list"_s, u"short"_s, u"sink-inputs"_s});
        if (!pactl.waitForFinished(3000)) {
            return -1;
        }
        return static_cast<int>(pactl.readAllStandardOutput().count('\n'));
    }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_socket;
    QString m_error;
};

class SoundPlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_server = std::make_unique<NullSinkServer>();
        if (s_server->isRunning()) {
            // Before the first player exists, so the audio back end connects to our server.
            qputenv("PULSE_SERVER", s_server->address().toUtf8());
        }
    }
    static void TearDownTestSuite() { s_server.reset(); }
    void SetUp() override {
        if (!s_server->isRunning()) {
            TT_SKIP_OR_FAIL(s_server->errorString().toStdString());
        }
    }

    static QString builtIn(const QString& name) {
        return QStringLiteral(TT_GENERATED_SOUNDS_DIR "/") + name + u'.' + SoundService::bundledExtension();
    }

    static inline std::unique_ptr<NullSinkServer> s_server;
};

TEST_F(SoundPlaybackTest, EachKindPlaysIntoTheServerToItsEndAndAFileThatIsNotAudioIsLogged) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    Preferences preferences;
    AppSettings settings(preferences);
    UserSoundStore library(root.filePath(u"UserSounds"_s));
    QFile notAudio(root.filePath(u"notes.wav"_s));
    ASSERT_TRUE(notAudio.open(QIODevice::WriteOnly));
    notAudio.write("these are words, not sound\n");
    notAudio.close();
    const TimerSound imported = std::get<TimerSound>(library.add(QUrl::fromLocalFile(notAudio.fileName())));

    // Each player is watched as it is made, so the test knows how the service's sound ended.
    int finished = 0, failed = 0;
    auto factory = [&](const QString& path) {
        auto player = MediaSoundPlayer::create(path);
        if (player) {
            QObject::connect(player.get(), &SoundPlayer::finished, [&] { ++finished; });
            QObject::connect(player.get(), &SoundPlayer::failed, [&] { ++failed; });
        }
        return player;
    };
    SoundService service(settings, library, factory, QFileInfo(builtIn(u"beep1"_s)).path() + u"/.."_s,
                         SystemSoundTheme(SystemSoundTheme::standardDataDirectories()));

    struct Row {
        const char* behaviour;
        TimerSound sound;
        bool plays;
        QStringList lines;
    };
    const QList<Row> rows = {
        {"a built-in file", *SoundCatalog::byID(u"b.gong"_s, library), true, {}},
        {"a theme sound", *SoundCatalog::byID(u"Hero"_s, library), true, {}},
        {"an imported file that is not audio",
         imported,
         false,
         {u"[SoundService] Sound failed to play: "_s + imported.resource}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (row.sound.kind == TimerSound::Kind::system &&
            !SystemSoundTheme(SystemSoundTheme::standardDataDirectories()).filePath(row.sound.resource)) {
            continue; // the theme package is missing; its lookup has its own test
        }
        LogCapture log;
        finished = failed = 0;
        bool streamed = false;
        service.preview(row.sound);
        // While it plays, the stream shows up at the server: the sound really went out.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                streamed = streamed || s_server->streams() > 0;
                return finished + failed > 0;
            },
            kWaitMs));
        EXPECT_EQ(finished, row.plays ? 1 : 0);
        if (row.plays) {
            EXPECT_TRUE(streamed);
        }
        EXPECT_EQ(log.lines(), row.lines);
    }
}

} // namespace
