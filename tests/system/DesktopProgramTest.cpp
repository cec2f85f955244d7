// The real program on a display and buses of the test's own: URLs handed over by a later launch, the
// notification of a finished timer, every way of stopping it keeping the list, the window of a desktop
// without a tray, and the window hints of the popover and the floating window.
#include "ProgramFixture.h"

#include "platform/HandOver.h"
#include "platform/LocalSocketFile.h"
#include "platform/SingleInstance.h"
#include "support/FakeNotificationServer.h"
#include "support/FakeStatusNotifierWatcher.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString kActiveTimers = QStringLiteral("quorvane.activeTimers");

class DesktopProgramTest : public ProgramFixture {
public:
    bool runtimeFolder = true; // else the socket goes to the data folder
    QProcessEnvironment environment() const override {
        QProcessEnvironment env = ProgramFixture::environment();
        if (!runtimeFolder) {
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        }
        return env;
    }
    QString dataFolder() const { return home.filePath(QStringLiteral("config/TarvolinTimer")); }
    QString socketPath() const {
        return (runtimeFolder ? home.filePath(QStringLiteral("runtime")) : dataFolder()) + QLatin1Char('/') +
               SingleInstance::keyFor(dataFolder()) + QStringLiteral(".socket");
    }
    // A later launch, left running; held at the named moment of its start when `stopAt` names one.
    std::unique_ptr<Program> launch(const QStringList& arguments, const QString& stopAt = {}) const {
        QProcessEnvironment env = environment();
        if (!stopAt.isEmpty()) {
            env.insert(QStringLiteral("TT_STOP_AT"), stopAt);
        }
        auto later = std::make_unique<Program>();
        later->start(env, arguments);
        return later;
    }
    static QList<QUuid> ids(const QList<TimerItem>& timers) {
        QList<QUuid> out;
        for (const TimerItem& t : timers) {
            out << t.id;
        }
        return out;
    }
};

// Connections that say nothing and stay open, as many as a full queue lets through.
class HeldConnections {
public:
    HeldConnections(const QString& socketPath, int count) {
        sockaddr_un address;
        EXPECT_TRUE(LocalSocketFile::address(socketPath, address));
        for (int i = 0; i < count; ++i) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            int tries = 0;
            int connected = -1;
            while ((connected =
                        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address))) != 0 &&
                   errno == EAGAIN && ++tries < 1000) {
                QThread::msleep(2); // the queue is full: the program has not caught up yet
            }
            m_held.push_back(fd);
            m_connected += connected == 0 ? 1 : 0;
        }
    }
    ~HeldConnections() {
        for (const int fd : m_held) {
            ::close(fd);
        }
    }
    int count() const { return m_connected; }

private:
    std::vector<int> m_held;
    int m_connected = 0;
};

// Connections that each hand `framed` over and never confirm the answer, held open.
class UnconfirmedHandOvers {
public:
    UnconfirmedHandOvers(const QString& socketPath, const QByteArray& framed, int count) {
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QLocalSocket>();
            socket->connectToServer(socketPath);
            EXPECT_TRUE(socket->waitForConnected(kWaitMs)) << socket->errorString().toStdString();
            socket->write(framed);
            EXPECT_TRUE(socket->waitForBytesWritten(kWaitMs)) << socket->errorString().toStdString();
            m_sockets.push_back(std::move(socket));
        }
    }

private:
    std::vector<std::unique_ptr<QLocalSocket>> m_sockets;
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

TEST_F(DesktopProgramTest, UnderAFloodEveryLaunchIsCarriedOutExactlyOnce) {
    using Launches = std::vector<std::unique_ptr<Program>>;
    const auto links = [](int count) {
        QList<QStringList> out;
        for (int i = 0; i < count; ++i) {
            out << QStringList{QStringLiteral("quorvane://start?minutes=3&title=Launch%1").arg(i)};
        }
        return out;
    };
    const struct {
        const char* behaviour;
        rlim_t descriptors; // for the program; 0 leaves its own
        // Floods the running copy and starts the launches; returns the flood, held until the launches end.
        std::function<std::shared_ptr<void>(DesktopProgramTest&, Program& first, Launches&)> flood;
    } rows[] = {
        {"idle connections, more than the copy may open", 256,
         [&](DesktopProgramTest& t, Program&, Launches& launches) -> std::shared_ptr<void> {
             auto held = std::make_shared<HeldConnections>(t.socketPath(), 1000);
             EXPECT_GT(held->count(), 256);
             launches.push_back(t.launch(links(1).first()));
             return held;
         }},
        // The worst moment: the copy reads the launches' messages and then a flood of others at one go.
        {"hand-overs that are never confirmed, queued just behind the launches", 0,
         [&](DesktopProgramTest& t, Program& first, Launches& launches) -> std::shared_ptr<void> {
             first.signal(SIGSTOP);
             for (const QStringList& link : links(24)) {
                 launches.push_back(t.launch(link, QStringLiteral("hand-over.sent")));
                 EXPECT_TRUE(launches.back()->waitUntilStopped()) << launches.back()->log().toStdString();
             }
             auto flood = std::make_shared<UnconfirmedHandOvers>(
                 t.socketPath(), HandOver::frame("url:quorvane://start?minutes=9&title=Unconfirmed"), 64);
             for (const auto& launch : launches) {
                 launch->signal(SIGCONT);
             }
             first.signal(SIGCONT);
             return flood;
         }},
    };
    rlimit own{};
    ::getrlimit(RLIMIT_NOFILE, &own);
    if (own.rlim_max < 1200) {
        TT_SKIP_OR_FAIL("too few descriptors allowed for the flood: " << own.rlim_max);
    }
    const rlimit roomy{own.rlim_max, own.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &roomy), 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Program first;
        if (row.descriptors > 0) {
            first.limitDescriptors(row.descriptors);
        }
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        Launches launches;
        std::shared_ptr<void> flood = row.flood(*this, first, launches);
        for (const auto& launch : launches) {
            ASSERT_TRUE(launch->waitForExit()) << launch->log().toStdString();
            EXPECT_EQ(launch->exitCode(), 0) << launch->log().toStdString();
        }
        flood.reset();
        stop(first);
        for (int i = 0; i < int(launches.size()); ++i) {
            EXPECT_EQ(first.count(QStringLiteral("Adding timer: title=\"Launch%1\"").arg(i)), 1)
                << "the link of launch " << i << " carried out once\n"
                << first.log().toStdString();
        }
        EXPECT_EQ(first.count(QStringLiteral("title=\"Unconfirmed\"")), 0);
    }
    ::setrlimit(RLIMIT_NOFILE, &own);
}

TEST_F(DesktopProgramTest, ALinkWhoseLaunchFailedWhileTheCopyWasStoppedIsNotCarriedOutLater) {
    const QString url = QStringLiteral("quorvane://start?minutes=2&title=Stopped");
    const QString added = QStringLiteral("Adding timer: title=\"Stopped\"");
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
    first.signal(SIGSTOP);
    const int failedLaunch = launchAgain({url}); // runs out its whole deadline
    first.signal(SIGCONT);
    EXPECT_EQ(failedLaunch, 1);
    // Continued, the copy reads the message, finds its sender gone and drops it.
    ASSERT_TRUE(first.waitFor(QStringLiteral("[SingleInstance] Dropped a handed-over message")))
        << first.log().toStdString();
    // The user tries again: exactly one timer.
    EXPECT_EQ(launchAgain({url}), 0);
    ASSERT_TRUE(first.waitFor(added)) << first.log().toStdString();
    QTest::qWait(300); // the timer is added from the event loop, just after the line
    stop(first);
    EXPECT_EQ(first.count(added), 1) << first.log().toStdString();
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1);
    EXPECT_EQ(saved->first().title, QStringLiteral("Stopped"));
}

TEST_F(DesktopProgramTest, WhateverHappensToItsFoldersALaterLaunchReachesTheOneRunningCopy) {
    const auto empty = [](const QString& path) {
        for (const QFileInfo& entry : QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                               QDir::System | QDir::NoDotAndDotDot)) {
            ASSERT_TRUE(entry.isDir() ? QDir(entry.filePath()).removeRecursively()
                                      : QFile::remove(entry.filePath()))
                << entry.filePath().toStdString();
        }
    };
    const struct {
        const char* behaviour;
        const char* title; // of the later launch's link
        bool runtimeFolder;
        // Done to the running copy's folders; returns the later launch, still running.
        std::function<std::unique_ptr<Program>(DesktopProgramTest&, Program& first, const QStringList& link)>
            meanwhile;
    } rows[] = {
        {"a cleaner empties the runtime folder", "Cleaned", true,
         [&](DesktopProgramTest& t, Program&, const QStringList& link) {
             empty(t.home.filePath(QStringLiteral("runtime")));
             return t.launch(link);
         }},
        {"someone removes the data folder", "Removed", true,
         [](DesktopProgramTest& t, Program&, const QStringList& link) {
             EXPECT_TRUE(QDir(t.dataFolder()).removeRecursively());
             return t.launch(link);
         }},
        // The worst moment: the launch has locked the new folder and is about to make the socket, just as the
        // running copy makes it again.
        {"the data folder made anew and the socket removed, the copy making it again last", "Remade", true,
         [&](DesktopProgramTest& t, Program& first, const QStringList& link) {
             first.signal(SIGSTOP);
             EXPECT_TRUE(QDir(t.dataFolder()).removeRecursively());
             EXPECT_TRUE(QDir().mkpath(t.dataFolder()));
             EXPECT_TRUE(QFile::remove(t.socketPath()));
             auto later = t.launch(link, QStringLiteral("single-instance.locked"));
             EXPECT_TRUE(later->waitUntilStopped()) << later->log().toStdString();
             first.signal(SIGCONT);
             EXPECT_TRUE(first.waitFor(QStringLiteral("made it again")));
             later->signal(SIGCONT);
             return later;
         }},
        {"someone removes the data folder, where the socket lives", "Gone", false,
         [](DesktopProgramTest& t, Program& first, const QStringList& link) {
             EXPECT_TRUE(QDir(t.dataFolder()).removeRecursively());
             EXPECT_TRUE(first.waitFor(QStringLiteral("made it again")));
             return t.launch(link);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        runtimeFolder = row.runtimeFolder;
        const QString title = QString::fromLatin1(row.title);
        const QString added = QStringLiteral("Adding timer: title=\"%1\"").arg(title);
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        auto later =
            row.meanwhile(*this, first, {QStringLiteral("quorvane://start?minutes=4&title=") + title});
        ASSERT_TRUE(later->waitForExit()) << later->log().toStdString();
        EXPECT_EQ(later->exitCode(), 0) << later->log().toStdString();
        EXPECT_FALSE(later->log().contains(kReady)) << "one running copy only";
        EXPECT_TRUE(first.waitFor(added)) << first.log().toStdString();
        stop(first);
        EXPECT_EQ(first.count(added), 1);
        EXPECT_LE(first.count(QStringLiteral("made it again")), 1) << first.log().toStdString();
        // The data folder is back with the list, saved at quit.
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(saved->constLast().title, title);
    }
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
    ASSERT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"Tea\"")));
    QElapsedTimer sinceStart;
    sinceStart.start();
    // Held up for 20 s five seconds in (a frozen session, a debugger): the time still counts, so the timer
    // ends a minute after it started, not 20 s later.
    QTest::qWait(5000);
    first.signal(SIGSTOP);
    QTest::qWait(20'000);
    first.signal(SIGCONT);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.notifications().isEmpty(); }, 72'000 - 25'000))
        << first.log().toStdString();
    EXPECT_GT(sinceStart.elapsed(), 55'000);
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
    startWatcher();
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.floating.showOnStart"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    // The floating window: its card top right of the screen, 20 px in, above everything on every desktop.
    const ProgramWindow card = waitForCard(QSize(200, 54));
    const QString floating = card.id;
    ASSERT_FALSE(floating.isEmpty());
    EXPECT_EQ(cardOf(card).topLeft(), QPoint(1060, 20));
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
