// The real program on a display and buses of the test's own: URLs handed over by a later launch, the
// notification of a finished timer, every way of stopping it keeping the list, the window of a desktop
// without a tray, and the window hints of the popover and the floating window.
#include "support/FakeStatusNotifierWatcher.h"

#include "core/TimerItem.h"
#include "platform/Preferences.h"
#include "support/ChildProcess.h"
#include "support/FakeNotificationServer.h"
#include "support/PrivateSessionBus.h"
#include "support/XvfbDisplay.h"

#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const QString kActiveTimers = QStringLiteral("quorvane.activeTimers");
const QString kReady = QStringLiteral("[Main] Running with");
constexpr int kWaitMs = 15'000;

// One run of the program, its standard error gathered while the test waits.
class Program {
public:
    ~Program() { kill(); }

    void start(const QProcessEnvironment& env, const QStringList& arguments = {}) {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_log += QString::fromUtf8(m_process.readAllStandardError()); });
        m_process.start(QStringLiteral(TT_PROGRAM_PATH), arguments);
        m_process.waitForStarted(kWaitMs);
    }
    bool waitFor(const QString& text, int timeoutMs = kWaitMs) {
        return QTest::qWaitFor([&] { return m_log.contains(text); }, timeoutMs);
    }
    int count(const QString& text) const { return int(m_log.count(text)); }
    bool waitForExit(int timeoutMs = kWaitMs) {
        return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    }
    void signal(int number) { ::kill(pid_t(m_process.processId()), number); }
    void kill() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    const QString& log() const { return m_log; }

private:
    QProcess m_process;
    QString m_log;
};

class DesktopProgramTest : public ::testing::Test {
public: // the rows of a table reach the fixture
    QTemporaryDir home;
    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<PrivateSessionBus> session;
    std::unique_ptr<PrivateSessionBus> system; // stands in for the system bus, where the login manager is

    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        for (const char* dir : {"config", "data", "runtime"}) {
            ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(dir)));
        }
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
        if (!display->isRunning()) {
            GTEST_SKIP() << display->errorString().toStdString();
        }
        session = std::make_unique<PrivateSessionBus>();
        system = std::make_unique<PrivateSessionBus>();
        if (!session->isRunning() || !system->isRunning()) {
            GTEST_SKIP() << "no private bus: " << session->errorString().toStdString();
        }
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true}});
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = display->environment(QProcessEnvironment::systemEnvironment());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), session->address());
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), system->address());
        return env;
    }

    QString preferencesPath() const {
        return home.filePath(QStringLiteral("config/TarvolinTimer/preferences.json"));
    }

    void writePreferences(const QVariantMap& values) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(preferencesPath()).path()));
        QFile file(preferencesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Preferences::serialize(values));
    }

    QVariantMap readPreferences() const {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return Preferences::deserialize(file.readAll()).value_or(QVariantMap());
    }

    std::optional<QList<TimerItem>> savedTimers() const {
        const QVariant data = readPreferences().value(kActiveTimers);
        if (data.typeId() != QMetaType::QByteArray) {
            return std::nullopt;
        }
        return TimerItem::decodeList(data.toByteArray());
    }

    // A later launch: returns its exit code, or -1 when it did not end in time.
    int launchAgain(const QStringList& arguments) {
        Program later;
        later.start(environment(), arguments);
        if (!later.waitForExit()) {
            return -1;
        }
        return later.exitStatus() == QProcess::NormalExit ? later.exitCode() : -1;
    }

    void stop(Program& program, int signalNumber = SIGTERM) {
        program.signal(signalNumber);
        ASSERT_TRUE(program.waitForExit());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.log().toStdString();
    }

    QString x11(const QString& tool, const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(tool, arguments);
        process.waitForFinished(kWaitMs);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The ids of the program's mapped top-level windows of that size ("440x720").
    QStringList windowsOfSize(const QString& size) const {
        QStringList ids;
        const QRegularExpression line(
            QStringLiteral("^\\s*(0x[0-9a-f]+) .*\\(\"tarvolintimer\" \"tarvolintimer\"\\)\\s+") +
            QRegularExpression::escape(size) + QStringLiteral("\\+"));
        for (const QString& row :
             x11(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                 .split(QLatin1Char('\n'))) {
            const auto match = line.match(row);
            if (match.hasMatch() &&
                x11(QStringLiteral("xwininfo"), {QStringLiteral("-id"), match.captured(1)})
                    .contains(QStringLiteral("IsViewable"))) {
                ids << match.captured(1);
            }
        }
        return ids;
    }

    QString waitForWindow(const QString& size) const {
        QString id;
        [[maybe_unused]] const bool found = QTest::qWaitFor(
            [&] {
                const QStringList ids = windowsOfSize(size);
                id = ids.isEmpty() ? QString() : ids.first();
                return !id.isEmpty();
            },
            kWaitMs);
        return id;
    }

    QString netWmState(const QString& window) const {
        return x11(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")});
    }

    // Saves a picture of the window among the build's test artifacts.
    void screenshot(const QString& window, const QString& name) const {
        QDir().mkpath(QStringLiteral(TT_ARTIFACTS_DIR));
        const QString file =
            QStringLiteral(TT_ARTIFACTS_DIR) + QLatin1Char('/') + name + QStringLiteral(".png");
        QProcess shot;
        shot.setProcessEnvironment(environment());
        shot.start(QStringLiteral(TT_WINDOW_SHOT_PATH), {window, file});
        ASSERT_TRUE(shot.waitForFinished(kWaitMs));
        EXPECT_EQ(shot.exitCode(), 0) << "no screenshot of " << name.toStdString();
        EXPECT_GT(QFileInfo(file).size(), 0);
    }

    // Asks the window to close the way a window manager's close button does.
    void closeWindow(const QString& window) const {
        xcb_connection_t* c = xcb_connect(display->name().toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(c));
        const auto atom = [c](const char* name) {
            xcb_intern_atom_reply_t* reply =
                xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
            const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(reply);
            return value;
        };
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = xcb_window_t(window.toUInt(nullptr, 16));
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(c);
        xcb_disconnect(c);
    }

    static QList<QUuid> ids(const QList<TimerItem>& timers) {
        QList<QUuid> out;
        for (const TimerItem& t : timers) {
            out << t.id;
        }
        return out;
    }
};

} // namespace

TEST_F(DesktopProgramTest, ASecondLaunchHandsItsURLToTheFirstAndEnds) {
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();

    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=2&title=Tea")}), 0);
    ASSERT_TRUE(first.waitFor(QStringLiteral("[AppDelegate] Adding timer: title=\"Tea\" minutes=2")));
    QTest::qWait(300); // the timer is added from the event loop, just after the line
    stop(first);
    EXPECT_EQ(first.count(kReady), 1) << "one running copy only";
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1);
    EXPECT_EQ(saved->first().title, QStringLiteral("Tea"));
    EXPECT_EQ(saved->first().totalDuration, 120);
    EXPECT_EQ(saved->first().state, TimerState::running);
    EXPECT_LE(saved->first().remaining, 120);
}

TEST_F(DesktopProgramTest, OddURLsGiveExactlyTheirResultAndBreakNothing) {
    const QString longTitle(100 * 1024, QLatin1Char('t'));
    const struct {
        const char* behaviour;
        QString url;
        std::optional<std::pair<QString, qint64>> timer;
    } rows[] = {
        {"negative minutes give one", QStringLiteral("quorvane://start?minutes=-30&title=neg"),
         std::pair{QStringLiteral("neg"), qint64(60)}},
        {"huge minutes give the default",
         QStringLiteral("quorvane://start?minutes=123456789012345678901234&title=huge"),
         std::pair{QStringLiteral("huge"), qint64(900)}},
        {"eight hours at most", QStringLiteral("quorvane://start?minutes=99999&title=long"),
         std::pair{QStringLiteral("long"), qint64(28800)}},
        {"letters give the default", QStringLiteral("quorvane://start?minutes=abc&title=letters"),
         std::pair{QStringLiteral("letters"), qint64(900)}},
        {"an unknown host starts nothing", QStringLiteral("quorvane://stop?minutes=5&title=no"),
         std::nullopt},
        {"another scheme starts nothing", QStringLiteral("https://start?minutes=5&title=no"), std::nullopt},
        {"broken percent signs", QStringLiteral("quorvane://start?title=%zz%&minutes=%"),
         std::pair{QStringLiteral("%zz%"), qint64(900)}},
        {"a 100 kB title is kept whole", QStringLiteral("quorvane://start?minutes=3&title=") + longTitle,
         std::pair{longTitle, qint64(180)}},
    };
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    QList<std::pair<QString, qint64>> expected;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const int received = first.count(QStringLiteral("URL event received: "));
        EXPECT_EQ(launchAgain({row.url}), 0);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return first.count(QStringLiteral("URL event received: ")) > received; }, kWaitMs));
        if (row.timer) {
            expected << *row.timer;
        }
    }
    QTest::qWait(300);
    ASSERT_TRUE(first.running()) << "no URL ends the program";
    stop(first);
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    QList<std::pair<QString, qint64>> actual;
    for (const TimerItem& t : *saved) {
        actual << std::pair{t.title, t.totalDuration};
    }
    EXPECT_EQ(actual, expected);
}

TEST_F(DesktopProgramTest, ATimerStartedByURLPostsItsNotificationWhenItEnds) {
    FakeNotificationServer server(session->connect(QStringLiteral("notifications")));
    ASSERT_TRUE(server.isRegistered());
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=1&title=Tea")}), 0);
    // A minute of real time: the engine counts real seconds.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.notifications().isEmpty(); }, 75'000))
        << first.log().toStdString();
    EXPECT_EQ(server.notifications().first().summary, QStringLiteral("TarvolinTimer"));
    EXPECT_EQ(server.notifications().first().body, QStringLiteral("Tea - timer done"));
    stop(first);
}

TEST_F(DesktopProgramTest, EveryWayOfStoppingItSavesTheListAndTheNextStartRestoresItPaused) {
    const struct {
        const char* behaviour;
        std::function<void(DesktopProgramTest&, Program&)> stopIt;
        bool quitsCleanly = true; // Qt itself may end the program with status 1 when the display dies
    } rows[] = {
        {"SIGTERM", [](DesktopProgramTest&, Program& p) { p.signal(SIGTERM); }},
        {"SIGINT", [](DesktopProgramTest&, Program& p) { p.signal(SIGINT); }},
        {"SIGHUP", [](DesktopProgramTest&, Program& p) { p.signal(SIGHUP); }},
        {"the system shutting down",
         [](DesktopProgramTest& t, Program& p) {
             QDBusConnection logind = t.system->connect(QStringLiteral("logind"));
             // The program listens only once its start-up has returned: say it until it goes.
             [[maybe_unused]] const bool ended = QTest::qWaitFor(
                 [&] {
                     QDBusMessage signal =
                         QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                    QStringLiteral("org.freedesktop.login1.Manager"),
                                                    QStringLiteral("PrepareForShutdown"));
                     signal << true;
                     logind.send(signal);
                     return !p.running();
                 },
                 kWaitMs);
         }},
        {"the display going away", [](DesktopProgramTest& t, Program&) { t.display.reset(); }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true}});
        if (!display) {
            display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
        }
        {
            Program program;
            program.start(environment());
            ASSERT_TRUE(program.waitFor(kReady));
            EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=5&title=kept")}), 0);
            ASSERT_TRUE(program.waitFor(QStringLiteral("Adding timer")));
            QTest::qWait(300);
            row.stopIt(*this, program);
            ASSERT_TRUE(program.waitForExit()) << program.log().toStdString();
            EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
            if (row.quitsCleanly) {
                EXPECT_EQ(program.exitCode(), 0) << program.log().toStdString();
            }
        }
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        ASSERT_EQ(saved->size(), 1);
        EXPECT_EQ(saved->first().title, QStringLiteral("kept"));

        if (!display) {
            display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
        }
        Program next;
        next.start(environment());
        ASSERT_TRUE(next.waitFor(QStringLiteral("[Main] Running with 1 timers"))) << next.log().toStdString();
        stop(next);
        const auto restored = savedTimers();
        ASSERT_TRUE(restored.has_value());
        ASSERT_EQ(restored->size(), 1);
        EXPECT_EQ(restored->first().id, saved->first().id);
        EXPECT_EQ(restored->first().state, TimerState::paused);
    }
}

TEST_F(DesktopProgramTest, AHundredStartsAndTermsLoseNoneOfAThousandTimers) {
    QList<TimerItem> timers;
    const TimerState states[] = {TimerState::running, TimerState::paused, TimerState::idle};
    for (int i = 0; i < 1000; ++i) {
        TimerItem item =
            TimerItem::make(QUuid::createUuid(), QStringLiteral("timer %1").arg(i), 600 + i, states[i % 3],
                            false, std::nullopt, std::nullopt, QDateTime::currentDateTimeUtc());
        item.remaining = 300 + i;
        timers << item;
    }
    writePreferences(
        {{QStringLiteral("bl.hasSeenOnboarding"), true}, {kActiveTimers, *TimerItem::encodeList(timers)}});
    for (int cycle = 0; cycle < 100; ++cycle) {
        SCOPED_TRACE(cycle);
        Program program;
        program.start(environment());
        ASSERT_TRUE(program.waitFor(QStringLiteral("[Main] Running with 1000 timers")))
            << program.log().toStdString();
        stop(program);
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        ASSERT_EQ(ids(*saved), ids(timers));
    }
}

TEST_F(DesktopProgramTest, WithNoTrayTheWindowOpensAtLaunchAndALaterLaunchShowsItAgain) {
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=25&title=Tea")}), 0);
    const QString window = waitForWindow(QStringLiteral("440x720"));
    ASSERT_FALSE(window.isEmpty())
        << x11(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}).toStdString();
    EXPECT_TRUE(x11(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_NAME")})
                    .contains(QStringLiteral("TarvolinTimer")));
    EXPECT_FALSE(netWmState(window).contains(QStringLiteral("SKIP_TASKBAR")))
        << "an ordinary window is in the taskbar";
    QTest::qWait(500);
    screenshot(window, QStringLiteral("no-tray-window"));

    closeWindow(window);
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowsOfSize(QStringLiteral("440x720")).isEmpty(); }, kWaitMs));
    ASSERT_TRUE(first.running()) << "closing the window does not quit";
    EXPECT_EQ(launchAgain({}), 0);
    EXPECT_FALSE(waitForWindow(QStringLiteral("440x720")).isEmpty()) << "a later launch shows it again";
    stop(first);
}

TEST_F(DesktopProgramTest, ThePopoverAndTheFloatingWindowStayOutOfTheTaskbar) {
    FakeStatusNotifierWatcher watcher(session->connect(QStringLiteral("watcher")));
    ASSERT_TRUE(watcher.isRegistered());
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.floating.showOnStart"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    // The floating window: top right of the screen, 20 px in, above everything on every desktop.
    const QString floating = waitForWindow(QStringLiteral("200x54"));
    ASSERT_FALSE(floating.isEmpty());
    const QString geometry = x11(QStringLiteral("xwininfo"), {QStringLiteral("-id"), floating});
    EXPECT_TRUE(geometry.contains(QStringLiteral("Absolute upper-left X:  1060"))) << geometry.toStdString();
    EXPECT_TRUE(geometry.contains(QStringLiteral("Absolute upper-left Y:  20"))) << geometry.toStdString();
    for (const char* state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
                              "_NET_WM_STATE_SKIP_PAGER"}) {
        EXPECT_TRUE(netWmState(floating).contains(QString::fromLatin1(state))) << state;
    }
    EXPECT_TRUE(windowsOfSize(QStringLiteral("440x720")).isEmpty())
        << "with a tray nothing else opens at launch";
    QTest::qWait(300);
    screenshot(floating, QStringLiteral("floating-window")); // before the popover may cover it

    // A later launch opens the popover as a popover, since there is a tray.
    EXPECT_EQ(launchAgain({}), 0);
    const QString popover = waitForWindow(QStringLiteral("440x720"));
    ASSERT_FALSE(popover.isEmpty());
    for (const char* state : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        EXPECT_TRUE(netWmState(popover).contains(QString::fromLatin1(state))) << state;
    }
    QTest::qWait(500);
    screenshot(popover, QStringLiteral("popover"));
    stop(first);
}

TEST_F(DesktopProgramTest, TheLockOfAKilledFirstIsTakenOver) {
    Program killed;
    killed.start(environment());
    ASSERT_TRUE(killed.waitFor(kReady));
    killed.signal(SIGKILL);
    ASSERT_TRUE(killed.waitForExit());

    Program next;
    next.start(environment());
    ASSERT_TRUE(next.waitFor(kReady)) << next.log().toStdString();
    EXPECT_FALSE(next.log().contains(QStringLiteral("Handed over")));
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?title=after")}), 0);
    EXPECT_TRUE(next.waitFor(QStringLiteral("Adding timer: title=\"after\"")));
    stop(next);
}
